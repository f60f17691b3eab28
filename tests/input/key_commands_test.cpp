#include "input/key_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "input/virtual_keys.h"
#include "input_fakes.h"
#include "platform/files.h"
#include "render/overlays.h"
#include "support/test_support.h"

namespace quib {
namespace {

using test::Rig;

struct CycleCase {
  const char* name;
  int key;
  std::vector<std::string> messages;  // after each press, in order
};

class KeyCycles : public testing::TestWithParam<CycleCase> {};

TEST_P(KeyCycles, StepsTheValueAndReportsIt) {
  const CycleCase& c = GetParam();
  for (bool ctrl : {false, true}) {
    Rig rig;
    for (const std::string& expected : c.messages) {
      rig.Press(c.key, ctrl);
      EXPECT_EQ(rig.Message(), expected) << (ctrl ? "with Ctrl" : "without Ctrl");
    }
    EXPECT_EQ(rig.shell.closeRequests, 0);
  }
}

// Start values are the saver's defaults: ShowNextLine on, iBackT 1.
INSTANTIATE_TEST_SUITE_P(
    Toggles, KeyCycles,
    testing::Values(CycleCase{"Debug", VkD, {"DebugMode : 1", "DebugMode : 0"}},
                    CycleCase{"NextLine", VkN, {"NextMessage : 0", "NextMessage : 1"}},
                    CycleCase{"TextBack",
                              VkT,
                              {"TextBack : 1", "TextBack : 2", "TextBack : 3", "TextBack : 0"}},
                    CycleCase{"Noise",
                              VkZ,
                              {"NoiseType : 1", "NoiseType : 2", "NoiseType : 3", "NoiseType : 0"}},
                    CycleCase{"Images",
                              VkI,
                              {"ImageDspType : 1", "ImageDspType : 2", "ImageDspType : 3",
                               "ImageDspType : 4", "ImageDspType : 5", "ImageDspType : 0"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyCommands, PAndSStepTheLookOnlyWithoutCtrl) {
  Rig rig;
  rig.Press(VkP);
  EXPECT_EQ(rig.Message(), "QuibObject : 1");
  rig.Press(VkS);
  rig.Press(VkS);
  rig.Press(VkS);
  rig.Press(VkS);
  EXPECT_EQ(rig.Message(), "SceneStyle : 0");  // 1 -> 2 -> 3 -> 4 -> 0

  rig.ctx.message.MessageText.clear();
  rig.Press(VkP, true);  // lyrics are off: the export does nothing, and nothing else happens
  rig.Press(VkS, true);
  EXPECT_TRUE(rig.ctx.ShowObject);
  EXPECT_EQ(rig.ctx.settings.iBackT, 0);
  EXPECT_EQ(rig.Message(), "");
  EXPECT_EQ(rig.shell.closeRequests, 0);
}

TEST(KeyCommands, CtrlPAndCtrlSExportInsteadOfSteppingTheLook) {
  test::TempDir dir;
  Rig rig;
  rig.ctx.settings.UseMessage = true;
  rig.ctx.settings.BGM = dir.Write("song.mp3", "");
  rig.ctx.lyrics.LyricLines = {"[00:01:00]Hello", ""};
  rig.ctx.lyrics.LyricTagType = 2;

  rig.Press(VkS, true);
  EXPECT_EQ(rig.ctx.settings.iBackT, 1);
  EXPECT_TRUE(PathExists(dir.File("song_safe.txt")));
  EXPECT_EQ(rig.Message(), "\"song_safe.txt\" save completed.");

  rig.Press(VkP, true);
  EXPECT_FALSE(rig.ctx.ShowObject);
  EXPECT_TRUE(PathExists(dir.File("song_plain.txt")));
  EXPECT_EQ(rig.Message(), "\"song_plain.txt\" save completed.");
  EXPECT_EQ(rig.shell.closeRequests, 0);
}

TEST(KeyCommands, QuickReferenceIsEighteenLinesForTenSeconds) {
  Rig rig;
  rig.Press(VkReturn);
  EXPECT_EQ(SplitMessageLines(rig.Message()).size(), 18u);
  EXPECT_EQ(rig.Message().substr(0, 14), "D : DebugMode|");
  EXPECT_EQ(rig.ctx.message.MessageTime, 10000);
}

struct CloseCase {
  const char* name;
  int key;
  bool ctrl;
  bool stopOnKey;
  bool timeTag;
  int closeRequests;
};

class StopOnKey : public testing::TestWithParam<CloseCase> {};

TEST_P(StopOnKey, OnlyNonCommandKeysEndTheSaver) {
  const CloseCase& c = GetParam();
  Rig rig;
  rig.ctx.settings.StopOnKey = c.stopOnKey;
  rig.ctx.settings.TimeTag = c.timeTag;
  rig.Press(c.key, c.ctrl);
  EXPECT_EQ(rig.shell.closeRequests, c.closeRequests);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, StopOnKey,
    testing::Values(CloseCase{"Q", VkQ, false, true, false, 1},
                    CloseCase{"QWithCtrl", VkQ, true, true, false, 0},
                    CloseCase{"QInTimeEdit", VkQ, false, true, true, 0},
                    CloseCase{"QWithoutStopOnKey", VkQ, false, false, false, 0},
                    CloseCase{"UnnamedKey", 0, false, true, false, 1},
                    CloseCase{"F9WithoutCtrl", VkF9, false, true, false, 1},
                    CloseCase{"CtrlKeyItself", VkControl, false, true, false, 0},
                    CloseCase{"EscOnce", VkEscape, false, true, false, 1},
                    CloseCase{"EscInTimeEditWithCtrl", VkEscape, true, false, true, 1},
                    CloseCase{"SpaceInTimeEdit", VkSpace, false, true, true, 0},
                    CloseCase{"Enter", VkReturn, false, true, false, 0},
                    CloseCase{"D", VkD, false, true, false, 0},
                    CloseCase{"L", VkL, false, true, false, 0},
                    CloseCase{"Numpad4", VkNumpad4, false, true, false, 0},
                    CloseCase{"Right", VkRight, false, true, false, 0},
                    CloseCase{"CtrlLeft", VkLeft, true, true, false, 0},
                    CloseCase{"Down", VkDown, false, true, false, 0},
                    CloseCase{"CtrlF9", VkF9, true, true, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

std::vector<std::string> Catalogue(int n) {
  std::vector<std::string> files;
  for (int i = 0; i < n; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/music/song%02d.mp3", i);
    files.push_back(name);
  }
  return files;
}

TEST(PlayList, KeepsTheCurrentSongAsTheLastOfTwentyOneLines) {
  const auto files = Catalogue(30);
  const std::string text = PlayListText(files, "/MUSIC/SONG25.MP3");
  const auto lines = SplitMessageLines(text);
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[0], "[26/30]");
  EXPECT_EQ(lines[1], "    song05.mp3");
  EXPECT_EQ(lines[20], "    song24.mp3");
  EXPECT_EQ(lines[21], "> song25.mp3");
}

TEST(PlayList, ListsFromTheTopWhileTheCurrentSongIsNearIt) {
  const std::string text = PlayListText(Catalogue(30), "/music/song20.mp3");
  const auto lines = SplitMessageLines(text);
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[1], "    song00.mp3");
  EXPECT_EQ(lines[21], "> song20.mp3");
}

TEST(PlayList, SongOutsideTheCatalogueIsNumberZeroAndUnmarked) {
  const std::string text = PlayListText(Catalogue(3), "/music/notes.txt");
  EXPECT_EQ(text, "[0/3]|    song00.mp3|    song01.mp3|    song02.mp3|");
}

TEST(PlayList, LBuildsTheCatalogueAndDrawsAtOnce) {
  Rig rig;
  rig.songs.folder = Catalogue(3);
  rig.ctx.settings.BGM = "/music/song01.mp3";
  rig.Press(VkL);
  EXPECT_EQ(rig.Message(), "[2/3]|    song00.mp3|> song01.mp3|    song02.mp3|");
  EXPECT_EQ(rig.shell.drawNow, 1);
}

struct SongStepCase {
  const char* name;
  int key;
  bool ctrl;
  std::string expectedBgm;
};

class SongKeys : public testing::TestWithParam<SongStepCase> {};

TEST_P(SongKeys, SelectWithTimerAndMusicStoppedThenShowTheList) {
  const SongStepCase& c = GetParam();
  Rig rig;
  rig.songs.folder = Catalogue(3);
  rig.ctx.settings.UseBGM = true;
  rig.ctx.settings.BGM = "/music/song00.mp3";
  rig.player.playing = true;
  rig.Press(c.key, c.ctrl);
  EXPECT_EQ(rig.ctx.settings.BGM, c.expectedBgm);
  ASSERT_EQ(rig.songs.selected, std::vector<std::string>{c.expectedBgm});
  EXPECT_TRUE(rig.songs.stoppedBeforeSelect);
  EXPECT_NE(rig.Message().find("> " + FileNamePart(c.expectedBgm)), std::string::npos);
  EXPECT_EQ(rig.shell.drawNow, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SongKeys,
    testing::Values(SongStepCase{"Left", VkLeft, false, "/music/song02.mp3"},
                    SongStepCase{"Four", Vk4, true, "/music/song02.mp3"},
                    SongStepCase{"Numpad4", VkNumpad4, false, "/music/song02.mp3"},
                    SongStepCase{"Right", VkRight, false, "/music/song01.mp3"},
                    SongStepCase{"Six", Vk6, false, "/music/song01.mp3"},
                    SongStepCase{"Numpad6", VkNumpad6, true, "/music/song01.mp3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SongKeysFail, WithoutMusicNothingHappens) {
  Rig rig;
  rig.songs.folder = Catalogue(3);
  rig.ctx.settings.BGM = "/music/song00.mp3";
  rig.Press(VkRight);
  EXPECT_TRUE(rig.songs.selected.empty());
  EXPECT_EQ(rig.Message(), "");
  EXPECT_EQ(rig.shell.drawNow, 0);
}

TEST(SongKeysFail, RefusedSongLeavesTimerStoppedAndStillShowsTheList) {
  Rig rig;
  rig.songs.folder = Catalogue(3);
  rig.songs.accept = false;
  rig.ctx.settings.UseBGM = true;
  rig.ctx.settings.BGM = "/music/song00.mp3";
  rig.Press(VkRight);
  EXPECT_FALSE(rig.shell.timerRunning);
  EXPECT_EQ(rig.Message().substr(0, 6), "[2/3]|");
}

TEST(SongKeysFail, UnreadableFolderKeepsTheSongPlaying) {
  Rig rig;  // empty folder: nothing to pick
  rig.ctx.settings.UseBGM = true;
  rig.ctx.settings.BGM = "/music/song00.mp3";
  rig.player.playing = true;
  rig.Press(VkLeft);
  EXPECT_EQ(rig.ctx.settings.BGM, "/music/song00.mp3");
  EXPECT_TRUE(rig.songs.selected.empty());
  EXPECT_TRUE(rig.player.playing);
  EXPECT_TRUE(rig.shell.timerRunning);
}

struct VolumeCase {
  uint32_t start;
  int key;
  uint32_t expected;
};

TEST(KeyCommands, VolumeStepsByFive) {
  for (const VolumeCase& c : {VolumeCase{47, VkUp, 50}, VolumeCase{100, VkUp, 100},
                              VolumeCase{3, VkDown, 0}, VolumeCase{50, VkDown, 45}}) {
    Rig rig;
    rig.mixer.raw = c.start;
    rig.Press(c.key);
    EXPECT_EQ(rig.mixer.raw, c.expected) << c.start;
    EXPECT_EQ(rig.Message(), "Master Volume : " + std::to_string(c.expected));
  }
}

TEST(KeyCommands, CtrlArrowsSeekOnlyWhilePlaying) {
  struct Case {
    int key;
    bool playing;
    bool midi;
    int position;
    int expectedStart;  // -1: the player was not touched
    const char* message;
  };
  for (const Case& c :
       {Case{VkLeft, true, false, 1500, 0, "Rewind!"},
        Case{VkRight, true, false, 178500, 179000, "Fastforward!"},
        Case{VkRight, false, false, 5000, -1, ""}, Case{VkLeft, true, true, 5000, -1, ""}}) {
    Rig rig;
    rig.ctx.settings.UseBGM = true;
    rig.songs.folder = Catalogue(3);
    rig.ctx.settings.BGM = "/music/song00.mp3";
    rig.ctx.playback.IsMidi = c.midi;
    rig.player.playing = c.playing;
    rig.player.position = c.position;
    rig.Press(c.key, true);
    EXPECT_EQ(rig.player.lastStart, c.expectedStart) << c.key << " at " << c.position;
    EXPECT_EQ(rig.Message(), c.message);
    EXPECT_TRUE(rig.songs.selected.empty());
  }
}

TEST(KeyCommands, CtrlF9SavesTheLookOnlyWithMusic) {
  for (bool useBgm : {true, false}) {
    test::TempDir dir;
    Rig rig;
    rig.ctx.settings.UseBGM = useBgm;
    rig.ctx.settings.BGM = dir.Write("song.mp3", "");
    rig.ctx.settings.TextBack = 2;
    rig.Press(VkF9, true);
    EXPECT_EQ(PathExists(dir.File("song.qka")), useBgm);
    EXPECT_EQ(rig.Message(), useBgm ? "\"song.qka\" save completed." : "");
  }
}

TEST(KeyCommands, PasswordEntryTakesEveryKey) {
  Rig rig;
  rig.ctx.password.PasswordMode = true;
  rig.ctx.settings.UseBGM = true;
  rig.songs.folder = Catalogue(3);
  rig.ctx.settings.BGM = "/music/song00.mp3";
  for (int key : {VkD, VkT, VkQ, VkRight, VkL, VkUp}) rig.Press(key);
  rig.Press(VkS, true);
  EXPECT_FALSE(rig.ctx.settings.Debug);
  EXPECT_EQ(rig.ctx.settings.TextBack, 0);
  EXPECT_TRUE(rig.songs.selected.empty());
  EXPECT_EQ(rig.mixer.writeCount, 0);
  EXPECT_EQ(rig.shell.closeRequests, 0);
  EXPECT_EQ(rig.ctx.password.PasswordInput, "DTQLS");
}

}  // namespace
}  // namespace quib
