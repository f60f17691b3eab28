#include "sound/music_playback.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/media_player.h"

namespace quib {
namespace {

struct FakeShell final : ShellServices {
  bool timerRunning = true;
  int framesDrawn = 0;
  void StartFrameTimer() override { timerRunning = true; }
  void StopFrameTimer() override { timerRunning = false; }
  bool FrameTimerRunning() const override { return timerRunning; }
  void DrawFrameNow() override { ++framesDrawn; }
  void SetCaption(const std::string&) override {}
  void Beep() override {}
  void RequestClose() override {}
};

struct FakeSongs final : SongSwitcher {
  std::string next;
  bool accept = true;
  std::vector<int> picks;
  std::vector<std::string> selected;
  std::string PickSong(int step) override {
    picks.push_back(step);
    return next;
  }
  bool SelectSong(const std::string& path) override {
    selected.push_back(path);
    return accept;
  }
};

class MusicPlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx.clock = &clock;
    ctx.player = &player;
    ctx.shell = &shell;
    ctx.songs = &songs;
    ctx.settings.BGM = "/music/one.mp3";
    ctx.settings.UseBGM = true;
  }
  // An open, playing song of the given length at the given position.
  void Playing(int length, int position) {
    player.open = true;
    player.playing = true;
    player.length = length;
    player.position = position;
    ctx.playback.SongLength = length;
  }
  ManualClock clock;
  FakeMediaPlayer player;
  FakeShell shell;
  FakeSongs songs;
  SaverContext ctx;
};

TEST(LyricClockTest, ScalesOffsetsAndTruncatesTowardZero) {
  struct Case {
    int position;
    float ratio;
    int timing;
    int clock;
  } cases[] = {
      {1000, 1.5f, 200, 1300},
      {100, 1.0f, 200, -100},  // the offset may put the clock before the song
      {333, 0.5f, 0, 166},
      {1, 1.5f, 3, -1},  // -1.5 truncates up, not down
      {0, 1.0f, 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LyricClockAt(c.position, c.ratio, c.timing), c.clock)
        << c.position << " x " << c.ratio << " - " << c.timing;
}

TEST_F(MusicPlaybackTest, PositionComesFromThePlayerOrTheFrameClock) {
  struct Case {
    const char* what;
    bool useBGM, isMidi, useMessage;
    int expectPosition, expectLength;
  } cases[] = {
      {"music is read from the player", true, false, false, 5000, 9000},
      {"MIDI is counted by frames", true, true, false, 1015, 9000},
      {"lyrics alone count frames to their last line", false, false, true, 1015, 62340},
      {"neither: nothing moves", false, false, false, 1000, 9000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ctx.settings.UseBGM = c.useBGM;
    ctx.settings.UseMessage = c.useMessage;
    ctx.playback.IsMidi = c.isMidi;
    ctx.playback.PlayPosition = 1000;
    ctx.playback.SongLength = 9000;
    ctx.lyrics.LineTimes = {"[00:00:00]", "[01:02:34]"};
    ctx.lyrics.TimeRatio = 1.5f;
    ctx.settings.iTextTiming = 200;
    player.position = 5000;
    UpdatePlayPosition(ctx, 15);
    EXPECT_EQ(ctx.playback.PlayPosition, c.expectPosition);
    EXPECT_EQ(ctx.playback.SongLength, c.expectLength);
    EXPECT_EQ(ctx.playback.LyricClock, LyricClockAt(c.expectPosition, 1.5f, 200));
  }
}

TEST_F(MusicPlaybackTest, SongEndIsComparedInHundredths) {
  struct Case {
    int position, length;
    bool timeTag;
    bool ends;
  } cases[] = {
      {179989, 180000, false, false}, {179990, 180000, false, false},  // 17999 < 18000
      {180000, 180000, false, true},  {180000, 180009, false, true},   // the last 9 ms do not count
      {250000, 180000, true, false},  // the time-edit mode plays on to the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    ctx.settings.bFRepeat = false;
    ctx.settings.TimeTag = c.timeTag;
    Playing(c.length, c.position);
    ctx.playback.PlayPosition = c.position;
    ctx.CurrentLine = 7;
    player.stopCount = player.playCount = 0;
    CheckSongEnd(ctx);
    EXPECT_EQ(ctx.playback.PlayPosition, c.ends ? 0 : c.position);
    EXPECT_EQ(ctx.CurrentLine, c.ends ? 0 : 7);
    EXPECT_EQ(player.stopCount, c.ends ? 1 : 0);
  }
}

TEST_F(MusicPlaybackTest, SongEndWithoutFolderPlayRestartsTheMusic) {
  ctx.settings.bFRepeat = false;
  Playing(180000, 180000);
  ctx.playback.PlayPosition = 180000;
  CheckSongEnd(ctx);
  EXPECT_EQ(player.position, 0);
  EXPECT_TRUE(player.playing);
  EXPECT_TRUE(songs.picks.empty());
  EXPECT_TRUE(shell.timerRunning);
}

TEST_F(MusicPlaybackTest, SongEndOfLyricsAloneStartsTheWordsOver) {
  ctx.settings.UseBGM = false;
  ctx.settings.UseMessage = true;
  ctx.lyrics.LineTimes = {"[00:00:00]", "[00:10:00]"};
  ctx.playback.PlayPosition = 9990;
  UpdatePlayPosition(ctx, 15);
  CheckSongEnd(ctx);
  EXPECT_EQ(ctx.playback.PlayPosition, 0);
  EXPECT_EQ(ctx.CurrentLine, 0);
  EXPECT_EQ(player.stopCount + player.playCount, 0);
  EXPECT_TRUE(songs.picks.empty());
}

TEST_F(MusicPlaybackTest, SongEndWithFolderPlayMovesToTheNextFile) {
  ctx.settings.bFRepeat = true;
  Playing(3000, 3000);
  ctx.playback.PlayPosition = 3000;
  songs.next = "/music/Two Song.wma";
  CheckSongEnd(ctx);
  EXPECT_FALSE(shell.timerRunning);  // the song load restarts it
  EXPECT_FALSE(player.playing);
  EXPECT_EQ(songs.picks, std::vector<int>{1});
  EXPECT_EQ(songs.selected, std::vector<std::string>{"/music/Two Song.wma"});
  EXPECT_EQ(ctx.settings.BGM, "/music/Two Song.wma");
  EXPECT_EQ(ctx.message.MessageText, "Two Song");
}

TEST_F(MusicPlaybackTest, FolderThatCannotBeSearchedKeepsTheCurrentSong) {
  ctx.settings.bFRepeat = true;
  Playing(3000, 3000);
  ctx.playback.PlayPosition = 3000;
  songs.next = "";
  CheckSongEnd(ctx);
  EXPECT_EQ(ctx.settings.BGM, "/music/one.mp3");
}

TEST_F(MusicPlaybackTest, SeekKeysStepTwoSecondsWithinTheSong) {
  struct Case {
    const char* what;
    bool forward, isMidi, playing;
    int length, position;
    int expectStart;  // -1: nothing happens
    const char* message;
  } cases[] = {
      {"rewind at 1500 starts at 0", false, false, true, 60000, 1500, 0, "Rewind!"},
      {"rewind in the middle", false, false, true, 60000, 30000, 28000, "Rewind!"},
      {"forward stops 1 s before the end", true, false, true, 60000, 58500, 59000, "Fastforward!"},
      {"forward in the middle", true, false, true, 60000, 10000, 12000, "Fastforward!"},
      {"forward in a song shorter than 1 s", true, false, true, 600, 100, 0, "Fastforward!"},
      {"forward with MIDI", true, true, true, 60000, 10000, 12000, "Fastforward!"},
      {"rewind with MIDI does nothing", false, true, true, 60000, 10000, -1, ""},
      {"not playing: nothing", true, false, false, 60000, 10000, -1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Playing(c.length, c.position);
    player.playing = c.playing;
    player.lastStart = -1;
    ctx.playback.IsMidi = c.isMidi;
    ctx.message.MessageText.clear();
    shell.framesDrawn = 0;
    if (c.forward)
      FastForward(ctx);
    else
      Rewind(ctx);
    EXPECT_EQ(player.lastStart, c.expectStart);
    EXPECT_EQ(ctx.message.MessageText, c.message);
    EXPECT_EQ(shell.framesDrawn, c.expectStart < 0 ? 0 : 1);
  }
}

TEST_F(MusicPlaybackTest, OpenFailureSwitchesMusicOffWithThePlayersText) {
  player.failOpen = true;
  player.failMessage = "Resource not found.";
  OpenMusic(ctx);
  EXPECT_FALSE(ctx.settings.UseBGM);
  EXPECT_EQ(ctx.message.MessageText, "Resource not found.");
  EXPECT_EQ(player.fileName, "/music/one.mp3");
}

TEST_F(MusicPlaybackTest, OpenReadsTheLength) {
  player.length = 123456;
  OpenMusic(ctx);
  EXPECT_TRUE(ctx.settings.UseBGM);
  EXPECT_EQ(ctx.playback.SongLength, 123456);
}

TEST_F(MusicPlaybackTest, MidiStartWaitsForPlayingAtMostTenSeconds) {
  ctx.playback.IsMidi = true;
  ctx.playback.PlayPosition = 500;
  player.open = false;  // a device that never starts
  StartMusic(ctx);
  EXPECT_EQ(clock.tick, 10000u);
  EXPECT_EQ(ctx.playback.PlayPosition, 0);

  clock.tick = 0;
  player.open = true;  // starts at once
  StartMusic(ctx);
  EXPECT_EQ(clock.tick, 0u);
}

TEST_F(MusicPlaybackTest, MidiPlayFromTakesTheDevicePositionOnce) {
  ctx.playback.IsMidi = true;
  Playing(60000, 0);
  PlayFrom(ctx, 4000);
  EXPECT_EQ(ctx.playback.PlayPosition, 4000);
  player.position = 9999;  // from here on the frames count
  UpdatePlayPosition(ctx, 15);
  EXPECT_EQ(ctx.playback.PlayPosition, 4015);
}

}  // namespace
}  // namespace quib
