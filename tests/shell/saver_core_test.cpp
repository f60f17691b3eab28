#include "shell/saver_core.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/media_player.h"
#include "platform/mixer.h"
#include "support/test_support.h"

namespace quib {
namespace {

class FakeShell : public ShellServices {
 public:
  void StartFrameTimer() override { running = true; }
  void StopFrameTimer() override { running = false; }
  bool FrameTimerRunning() const override { return running; }
  void DrawFrameNow() override { ++framesNow; }
  void SetCaption(const std::string& c) override { caption = c; }
  void Beep() override {}
  void RequestClose() override { ++closeRequests; }
  bool running = false;
  int framesNow = 0;
  int closeRequests = 0;
  std::string caption;
};

struct CoreFixture : ::testing::Test {
  void Create(const std::string& ini, RunMode mode = RunMode::Saver, int width = 1024) {
    settings = dir.Write("QUIBKARAOKE.ini", ini);
    core = std::make_unique<SaverCore>(clock, player, mixer, shell);
    SaverSetup setup;
    setup.mode = mode;
    setup.settingsPath = settings;
    setup.width = width;
    setup.height = 768;
    setup.cursor = Point{500, 400};
    core->FormCreate(setup);
  }

  test::TempDir dir;
  std::string settings;
  ManualClock clock;
  FakeMediaPlayer player;
  FakeMixer mixer;
  FakeShell shell;
  std::unique_ptr<SaverCore> core;
};

TEST_F(CoreFixture, MouseMoveBeyond64PixelsOnEitherAxisAsksToClose) {
  Create("");
  struct Case {
    Point p;
    int closes;
  };
  const Case cases[] = {{{564, 464}, 0}, {{436, 336}, 0}, {{565, 400}, 1}, {{500, 335}, 1}};
  for (const Case& c : cases) {
    shell.closeRequests = 0;
    core->FormMouseMove(c.p);
    EXPECT_EQ(shell.closeRequests, c.closes) << c.p.x << "," << c.p.y;
  }
}

TEST_F(CoreFixture, TimeTagModeIgnoresTheMouseMoveButNotTheClick) {
  Create("[Option]\nTimeTag=1\n");
  core->FormMouseMove(Point{900, 700});
  EXPECT_EQ(shell.closeRequests, 0);
  core->FormMouseUp();
  EXPECT_EQ(shell.closeRequests, 1);
}

TEST_F(CoreFixture, StopFlagsOff) {
  Create("[Setting]\nStopOnMouseMove=0\nStopOnMouseClick=0\n");
  core->FormMouseMove(Point{900, 700});
  core->FormMouseUp();
  EXPECT_EQ(shell.closeRequests, 0);
}

TEST_F(CoreFixture, PasswordTurnsEveryCloseIntoThePrompt) {
  Create("[Option]\nUsePass=1\nPassword=ABC\n");
  EXPECT_FALSE(core->FormCloseQuery());
  EXPECT_TRUE(core->ctx().password.PasswordMode);
  EXPECT_EQ(core->ctx().message.MessageText, "Please, enter password to escape.");
  core->ctx().password.PasswordOK = true;
  EXPECT_TRUE(core->FormCloseQuery());
}

TEST_F(CoreFixture, PreviewHasNoStopConditionsAndNoPassword) {
  Create("[Option]\nUsePass=1\nUseBGM=1\nTimeTag=1\n", RunMode::Preview);
  const Settings& s = core->ctx().settings;
  EXPECT_FALSE(s.StopOnKey);
  EXPECT_FALSE(s.StopOnMouseMove);
  EXPECT_FALSE(s.StopOnMouseClick);
  EXPECT_FALSE(s.UseBGM);
  EXPECT_FALSE(s.TimeTag);
  EXPECT_TRUE(core->FormCloseQuery());
}

TEST_F(CoreFixture, MissingFilesSwitchTheirFeaturesOff) {
  std::string song = dir.Write("song.wav", "x");
  Create("[Option]\nUseBGM=1\nBGM=" + song + "\nUseMessage=1\nMESSAGE=" + dir.File("none.txt") +
         "\nUseGaz=1\nImages=" + dir.File("nowhere") + "\n");
  EXPECT_TRUE(core->ctx().settings.UseBGM);
  EXPECT_FALSE(core->ctx().settings.UseMessage);
  EXPECT_FALSE(core->ctx().settings.UseGaz);
}

TEST_F(CoreFixture, BuiltInMascotIsScaledToAWentiethOfTheWidth) {
  Create("", RunMode::Saver, 1024);
  EXPECT_EQ(core->ctx().mascot.Width(), 51);
  EXPECT_EQ(core->ctx().mascot.Height(), 51);
}

TEST_F(CoreFixture, VolumeIsSetAtStartAndPutBackAtTheEnd) {
  mixer.raw = 30000;  // 46 %
  Create("[Option]\nSetVolume=1\nVolume=20\n");
  EXPECT_EQ(mixer.raw, 65535u * 20 / 100);
  EXPECT_EQ(core->ctx().SavedVolume, 46);
  core->FormDestroy();
  EXPECT_EQ(mixer.raw, 65535u * 46 / 100);
}

TEST_F(CoreFixture, AVolumeThatCouldNotBeReadIsNotWrittenBackAsZero) {
  // The control reads as nothing at start (empty range) but takes writes.
  mixer.minRaw = mixer.maxRaw = 0;
  Create("[Option]\nSetVolume=1\nVolume=20\n");
  mixer.maxRaw = 65535;
  mixer.raw = 40000;
  core->FormDestroy();
  EXPECT_EQ(mixer.raw, 40000u);
}

TEST(Season, Dates) {
  struct Case {
    int month, day, season;
  };
  const Case cases[] = {{12, 22, 0}, {12, 23, 4}, {12, 24, 4}, {12, 25, 4},
                        {12, 26, 0}, {1, 1, 1},   {1, 2, 0},   {12, 31, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(SaverCore::SeasonOf(c.month, c.day), c.season) << c.month << "/" << c.day;
}

TEST_F(CoreFixture, CaptionIsTheDateNumberAndPreviewHasNoSeason) {
  clock.date = LocalDate{2026, 12, 24};
  Create("");
  EXPECT_EQ(shell.caption, "1224");
  EXPECT_EQ(core->ctx().Season, 4);
  clock.date = LocalDate{2027, 1, 1};
  Create("", RunMode::Preview);
  EXPECT_EQ(shell.caption, "101");
  EXPECT_EQ(core->ctx().Season, 0);
}

}  // namespace
}  // namespace quib
