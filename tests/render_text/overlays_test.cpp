#include "render/overlays.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/lyrics_display.h"
#include "shell/saver_context.h"

namespace quib {
namespace {

constexpr int kW = 480, kH = 270;

FrameValues Frame(int dt) {
  FrameValues f;
  f.W = kW;
  f.H = kH;
  f.u = kW / 48;
  f.v = kH / 64;
  f.dt = dt;
  return f;
}

TEST(PanelTexts, AreWrittenExactly) {
  struct Case {
    std::string got, expected;
  } cases[] = {
      {PanelTimeText(83450, 245000), " Time : 01:23:45/04:05:00 "},
      {PanelTimeText(0, 0), " Time : 00:00:00/00:00:00 "},
      {TimeRatioText(1.5f), " TimeRatio=1.5 "},
      {TimeRatioText(1.1f), " TimeRatio=1.10000002384186 "},
      {TimeRatioText(1.0f), " TimeRatio=1 "},
      {LineCounterText(4, 12), "Line : 005/012 "},
      {LineCounterText(-1, 0), "Line : 000/000 "},
      {FrameRateText(66), "Frame Rate :  66 "},
      {TagTypeText(1), "TagType : Plain Text "},
      {TagTypeText(4), "TagType : ukagaka Tag "},
      {TagTypeText(7), "TagType : ---- "},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected);
}

TEST(MessageLines, SplitAtBars) {
  using V = std::vector<std::string_view>;
  EXPECT_EQ(SplitMessageLines("A|B"), (V{"A", "B"}));
  EXPECT_EQ(SplitMessageLines("A||B"), (V{"A", "", "B"}));
  EXPECT_EQ(SplitMessageLines("A|"), (V{"A"}));
  EXPECT_EQ(SplitMessageLines("|"), (V{""}));
  EXPECT_EQ(SplitMessageLines("||"), (V{"", ""}));
}

TEST(FadeLevels, MessageAndPrompt) {
  const int message[][2] = {{5000, 100}, {2000, 100}, {1999, 99}, {1000, 50}, {19, 0}};
  for (const auto& m : message) EXPECT_EQ(MessageOpacity(m[0]), m[1]) << m[0];
  const int prompt[][2] = {{10000, 255}, {2048, 255}, {2047, 255}, {1600, 200}, {7, 0}};
  for (const auto& p : prompt) EXPECT_EQ(PasswordLevel(p[0]), p[1]) << p[0];
}

class OverlayFrames : public ::testing::Test {
 protected:
  void Draw(int dt) { overlays.DrawOverlays(back, Frame(dt), ctx, lyrics, 0); }
  SaverContext ctx;
  Canvas back{kW, kH};
  LyricsDisplay lyrics;
  Overlays overlays;
};

TEST_F(OverlayFrames, FrameRateAveragesTheLastTenPanelFrames) {
  ctx.settings.Debug = true;
  for (int i = 0; i < 5; ++i) Draw(15);
  EXPECT_EQ(overlays.FrameRate(), 33);  // five samples of 66, five zeros
  for (int i = 0; i < 5; ++i) Draw(15);
  EXPECT_EQ(overlays.FrameRate(), 66);
  // Samples are only taken while the panel is up.
  ctx.settings.Debug = false;
  for (int i = 0; i < 10; ++i) Draw(100);
  EXPECT_EQ(overlays.FrameRate(), 66);
}

TEST_F(OverlayFrames, MessageShowsFiveSecondsAndIsNotRestartedByTheSameText) {
  ctx.message.MessageText = "Master Volume : 40";
  std::vector<int> opacity;
  for (int t = 0; t < 5000; t += 100) {
    ASSERT_FALSE(ctx.message.MessageText.empty()) << t;
    if (t > 0) ctx.message.MessageText = "Master Volume : 40";  // set again: no restart
    Draw(100);
    opacity.push_back(MessageOpacity(ctx.message.MessageTime + 100));
  }
  EXPECT_TRUE(ctx.message.MessageText.empty());
  EXPECT_EQ(opacity[30], 100);  // at 3000 ms
  EXPECT_EQ(opacity[31], 95);
  EXPECT_FALSE(overlays.MessageWide());

  // Writing the time of the text on display sets what is left of it.
  ctx.message.MessageText = "Push";
  Draw(100);
  ctx.message.MessageTime = 10000;
  Draw(100);
  EXPECT_EQ(ctx.message.MessageTime, 9900);
  // A new text starts again from 5000.
  ctx.message.MessageText = "曲を変更しました";
  Draw(100);
  EXPECT_EQ(ctx.message.MessageTime, 4900);
  EXPECT_TRUE(overlays.MessageWide());
  // The face of the lyric step is back when the block ends.
  EXPECT_EQ(back.Font().face, "");
}

TEST_F(OverlayFrames, MessageIsDrawnInWhiteWithAMagentaRim) {
  ctx.message.MessageText = "Hello|World";
  Draw(15);
  int white = 0, magenta = 0, lowRows = 0;
  const int u = kW / 48;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const Colour c = back.Pixel(x, y);
      white += c == 0xFFFFFF;
      magenta += c == 0xFF00FF;
      if (c != 0 && y >= u / 2 + u + u) ++lowRows;  // nothing below the second line
    }
  EXPECT_GT(white, 10);
  EXPECT_GT(magenta, 10);
  EXPECT_EQ(lowRows, 0);
}

TEST_F(OverlayFrames, PasswordPromptLastsTenSecondsFromTheLastChange) {
  ctx.password.PasswordMode = true;
  Draw(1000);
  EXPECT_EQ(overlays.PasswordTime(), 9000);
  ctx.password.PasswordInput = "a";
  for (int i = 0; i < 9; ++i) Draw(1000);
  EXPECT_TRUE(ctx.password.PasswordMode);
  Draw(1000);
  EXPECT_FALSE(ctx.password.PasswordMode);
  // A prompt opened again starts its ten seconds, whatever was typed before.
  ctx.password.PasswordMode = true;
  Draw(15);
  EXPECT_EQ(overlays.PasswordTime(), 9985);
  EXPECT_EQ(overlays.CaretPhase(), (10 * 1000 + 15) % 1000);
  // Esc takes the prompt down with the text unchanged: the next one still gets ten seconds.
  Draw(5000);
  ctx.password.PasswordMode = false;
  Draw(15);
  ctx.password.PasswordMode = true;
  Draw(15);
  EXPECT_EQ(overlays.PasswordTime(), 9985);
}

TEST_F(OverlayFrames, PasswordPromptFadesToMagentaAndGreyOfItsLevel) {
  ctx.password.PasswordMode = true;
  ctx.password.PasswordInput = "x";
  Draw(8400);  // 1600 ms left on the next frame
  back = Canvas(kW, kH);
  Draw(15);
  int magenta = 0, grey = 0, brighter = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const Colour c = back.Pixel(x, y);
      magenta += c == 0xC800C8;
      grey += c == 0xC8C8C8;
      brighter += (c & 0xFF) > 0xC8 || ((c >> 8) & 0xFF) > 0xC8;
    }
  EXPECT_GT(magenta, 10);
  EXPECT_GT(grey, 10);
  EXPECT_EQ(brighter, 0);
}

TEST_F(OverlayFrames, PanelDrawsThePreviousLineMarkerAndSurvivesOddIndexes) {
  ctx.settings.Debug = true;
  ctx.lyrics.LyricTagType = 1;
  ctx.lyrics.LyricLines = {"one", "two", ""};
  ctx.lyrics.LineTimes = {"[00:00:00]"};
  ctx.playback.SongLength = 0;  // no progress bar, no division
  for (int current : {-1, 0, 1, 2, 5}) {
    ctx.CurrentLine = current;
    Draw(15);
  }
  ctx.CurrentLine = 0;
  lyrics.DrawLyricLines(back, Frame(15), ctx, 0);
  Draw(15);
  EXPECT_EQ(lyrics.Cache().PrevText, "*TextTop*");
}

}  // namespace
}  // namespace quib
