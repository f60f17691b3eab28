#pragma once
// The state of one saver window, shaped by subsystem, and the services the
// logic reaches the outside world through. Qt-free: the logic of every
// subsystem works on this and is tested with fakes behind the pointers.
#include <string>
#include <vector>

#include "config/settings.h"
#include "input/password_entry.h"
#include "lyrics/lyric_state.h"
#include "platform/canvas.h"
#include "render/message_line.h"
#include "render/random.h"
#include "sound/playback_state.h"

namespace quib {

class Clock;
class MediaPlayer;
class MasterVolume;

enum class RunMode { Preview = 0, Configure = 1, Saver = 2, ChangePassword = 3 };

// What the window does for the logic. The Qt window implements it; tests use a fake.
class ShellServices {
 public:
  virtual ~ShellServices() = default;
  virtual void StartFrameTimer() = 0;
  virtual void StopFrameTimer() = 0;
  virtual bool FrameTimerRunning() const = 0;
  virtual void DrawFrameNow() = 0;  // one frame step, at once
  virtual void SetCaption(const std::string& text) = 0;
  virtual void Beep() = 0;          // the desktop's information bell
  virtual void RequestClose() = 0;  // asks to close; the close query decides
};

// The hidden settings dialog's song switch: preset a music file, run the
// music choice, and when it was accepted, save everything as OK would.
class SongSwitchDialog {
 public:
  virtual ~SongSwitchDialog() = default;
  virtual void SetPresetBGM(const std::string& path) = 0;
  virtual void Button1Click() = 0;
  virtual bool BGMAccepted() const = 0;
  // Writes the settings file; false with the error text when a write was refused.
  virtual bool BitBtn1Click(std::string& error) = 0;
};

// Song stepping, supplied by the song catalogue and loader.
class SongSwitcher {
 public:
  virtual ~SongSwitcher() = default;
  virtual std::string PickSong(int step) = 0;
  virtual bool SelectSong(const std::string& path) = 0;
};

struct SaverContext {
  RunMode runMode = RunMode::Saver;
  Settings settings;
  LyricState lyrics;
  PlaybackState playback;
  MessageLine message;
  PasswordEntry password;
  Random random;

  std::vector<std::string> MusicFiles;
  std::vector<std::string> ImageFiles;

  int CurrentLine = -1;
  bool ShowNextLine = true;
  bool RewindArmed = false;
  bool ShowObject = false;

  int ImageIndex = 0;  // slideshow: next picture to load
  int ImageTime = 0;   // slideshow: ms into the current picture's cycle
  int LastTick = 0;    // frame loop: tick of the previous frame, 0 = not started

  Point StartCursorPos;
  int Season = 0;       // 0 none, 1 New Year's Day, 4 Christmas
  int SavedVolume = 0;  // master volume before the saver changed it

  Canvas mascot;  // Image1: the mascot picture as prepared at start
  Canvas banner;  // Image2: the 200 x 50 title banner

  // Services; any may be null in a test that does not need it.
  Clock* clock = nullptr;
  MediaPlayer* player = nullptr;
  MasterVolume* volume = nullptr;
  ShellServices* shell = nullptr;
  SongSwitchDialog* dialog = nullptr;
  SongSwitcher* songs = nullptr;
  std::string settingsPath;  // the settings file in use
};

}  // namespace quib
