#pragma once
// A saver context wired to fakes, for driving the key handler.
#include <string>
#include <vector>

#include "input/key_commands.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/media_player.h"
#include "platform/mixer.h"
#include "shell/saver_context.h"
#include "sound/master_volume.h"

namespace quib::test {

class FakeShell final : public ShellServices {
 public:
  bool timerRunning = true;
  int drawNow = 0, beeps = 0, closeRequests = 0;
  void StartFrameTimer() override { timerRunning = true; }
  void StopFrameTimer() override { timerRunning = false; }
  bool FrameTimerRunning() const override { return timerRunning; }
  void DrawFrameNow() override { ++drawNow; }
  void SetCaption(const std::string&) override {}
  void Beep() override { ++beeps; }
  void RequestClose() override { ++closeRequests; }
};

// A catalogue that steps like the real one, built into ctx.MusicFiles on
// first use; selections are recorded and accepted unless told otherwise.
class FakeSongs final : public SongSwitcher {
 public:
  FakeSongs(SaverContext& ctx, FakeShell& shell, FakeMediaPlayer& player)
      : ctx_(ctx), shell_(shell), player_(player) {}
  std::vector<std::string> folder;
  bool accept = true;
  std::vector<std::string> selected;
  bool stoppedBeforeSelect = true;  // timer and music were stopped at every selection

  std::string PickSong(int step) override {
    if (Index() < 0) ctx_.MusicFiles = folder;
    const int n = static_cast<int>(ctx_.MusicFiles.size());
    if (n == 0) return "";
    int i = Index() + step;
    if (i < 0) i = n - 1;
    if (i >= n) i = 0;
    return ctx_.MusicFiles[i];
  }
  bool SelectSong(const std::string& path) override {
    stoppedBeforeSelect = stoppedBeforeSelect && !shell_.timerRunning && !player_.playing;
    selected.push_back(path);
    if (accept) shell_.StartFrameTimer();
    return accept;
  }

 private:
  int Index() const {
    for (size_t i = 0; i < ctx_.MusicFiles.size(); ++i)
      if (CompareNoCase(ctx_.MusicFiles[i], ctx_.settings.BGM) == 0) return static_cast<int>(i);
    return -1;
  }
  SaverContext& ctx_;
  FakeShell& shell_;
  FakeMediaPlayer& player_;
};

struct Rig {
  SaverContext ctx;
  FakeShell shell;
  FakeMediaPlayer player;
  FakeMixer mixer;
  MasterVolume volume{mixer};
  ManualClock clock;
  FakeSongs songs{ctx, shell, player};
  KeyCommands keys{ctx};

  Rig() {
    ctx.shell = &shell;
    ctx.player = &player;
    ctx.volume = &volume;
    ctx.clock = &clock;
    ctx.songs = &songs;
    mixer.minRaw = 0;
    mixer.maxRaw = 100;  // raw value = percentage
    player.open = true;
    player.length = 180000;
  }
  void Press(int key, bool ctrl = false) { keys.FormKeyDown(key, ctrl); }
  const std::string& Message() const { return ctx.message.MessageText; }
};

}  // namespace quib::test
