#pragma once
// The saver window's behaviour without its window: creation, showing, the
// stop conditions, the close query and destruction. The Qt window forwards
// its events here; tests drive it with fakes.
#include <memory>
#include <string>

#include "config/setting_model.h"
#include "input/key_commands.h"
#include "lyrics/song_loader.h"
#include "platform/mixer.h"
#include "render/frame_loop.h"
#include "shell/saver_context.h"
#include "sound/master_volume.h"

namespace quib {

struct SaverSetup {
  RunMode mode = RunMode::Saver;
  std::string settingsPath;
  int width = 0;  // of the window: the screen, or the host window in preview
  int height = 0;
  Point cursor;  // pointer position at start
  // Drawing into a window the screen-saver daemon gave us: music and lyrics
  // as configured, but the daemon owns input and ending.
  bool daemonWindow = false;
  // Another copy of the saver already plays the music (the daemon starts one per monitor).
  bool musicTakenElsewhere = false;
};

class SaverCore {
 public:
  SaverCore(Clock& clock, MediaPlayer& player, Mixer& mixer, ShellServices& shell);
  ~SaverCore();

  // FormCreate: settings, file checks, per-song overrides, mascot, volume, season.
  void FormCreate(const SaverSetup& setup);
  // FormShow: hands over to the song loader, which starts the frame timer.
  void FormShow();
  // One frame step (the timer's tick, or a key that wants a frame now).
  bool Timer1Timer(int W, int H, Point cursor);

  // Stop conditions: each only asks to close; FormCloseQuery decides.
  void FormMouseUp();
  void FormMouseMove(Point screenPos);
  void FormKeyDown(int virtualKey, bool ctrl);
  // True when the window may close now.
  bool FormCloseQuery();
  void FormDestroy();

  SaverContext& ctx() { return ctx_; }
  FrameLoop& frames() { return frames_; }
  bool DaemonWindow() const { return setup_.daemonWindow; }
  // The caption FormCreate set (the date number) or the song loader set later.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c) { caption_ = c; }

  // Which of the season values a date gives (0, 1 or 4), and the caption number.
  static int SeasonOf(int month, int day);

 private:
  void PrepareMascot(int width);

  SaverContext ctx_;
  SaverSetup setup_;
  MasterVolume volume_;
  std::unique_ptr<SettingModel> dialog_;
  std::unique_ptr<SongLoader> songs_;
  std::unique_ptr<KeyCommands> keys_;
  FrameLoop frames_;
  std::string caption_;
  bool destroyed_ = false;
  bool savedVolumeKnown_ = false;
};

}  // namespace quib
