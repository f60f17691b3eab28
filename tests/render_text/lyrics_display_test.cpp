#include "render/lyrics_display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lyrics/lyrics_format.h"
#include "shell/saver_context.h"

namespace quib {
namespace {

constexpr int kW = 480, kH = 270;  // u = 10, v = 4

FrameValues Frame() {
  FrameValues f;
  f.W = kW;
  f.H = kH;
  f.u = kW / 48;
  f.v = kH / 64;
  return f;
}

// A song whose lines start at the given times (ms), with the final empty line.
void LoadSong(SaverContext& ctx, std::vector<std::string> lines, const std::vector<int>& starts,
              int tagType) {
  ctx.settings.UseMessage = true;
  ctx.lyrics.LyricTagType = tagType;
  ctx.lyrics.encoding = Encoding::Utf8;
  lines.push_back("");
  ctx.lyrics.LyricLines = lines;
  ctx.lyrics.LineTimes.clear();
  for (int t : starts) ctx.lyrics.LineTimes.push_back(FormatTimeTag(t));
  ctx.playback.SongLength = 60000;
  ctx.CurrentLine = -1;
}

struct FadeCase {
  int clock;
  float percent;
  float slide;
  int progress;
};

TEST(LineFade, TenSecondLineFadesAtBothEndsAndProgressesBetween) {
  const std::vector<std::string> times = {"[00:00:00]", "[00:10:00]", "[00:14:00]", "[00:20:00]"};
  int current = 0;
  // From line 0 the line tagged 10 s is current once the clock reaches 9610.
  SelectCurrentLine(current, times, 9609);
  EXPECT_EQ(current, 0);
  SelectCurrentLine(current, times, 9610);
  ASSERT_EQ(current, 1);

  const FadeCase cases[] = {
      {9610, 0, 1, 0},
      {9730, 40, 0.6f, 0},
      {9910, 100, 0, 0},
      {11610, 100, 0, 5000},
      {13310, 100, 0, 10000},
      {13460, 50, -0.5f, 10000},
      {13609, 1.0f / 3, -0.99666f, 10000},
  };
  for (const auto& c : cases) {
    int line = 1;
    const LineWindow w = SelectCurrentLine(line, times, c.clock);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(w.LineStart, 9610);
    EXPECT_EQ(w.NextStart, 13610);
    const LineFade fade = ComputeLineFade(c.clock, w, false);
    EXPECT_FLOAT_EQ(fade.FadeLength, 300);
    EXPECT_NEAR(fade.FadePercent, c.percent, 1e-3) << c.clock;
    EXPECT_NEAR(fade.Slide, c.slide, 1e-4) << c.clock;
    EXPECT_EQ(fade.LineProgress, c.progress) << c.clock;
  }
}

TEST(LineFade, FadeLengthIsATenthOfTheLineUpTo300) {
  struct Case {
    int length;
    float fade;
  } cases[] = {{1500, 150}, {8, 0}, {4000, 300}, {2999, 299}};
  for (const auto& c : cases) {
    const LineWindow w{1000, 1000 + c.length};
    const LineFade atStart = ComputeLineFade(1000, w, false);
    EXPECT_FLOAT_EQ(atStart.FadeLength, c.fade) << c.length;
    EXPECT_FLOAT_EQ(atStart.FadePercent, c.fade > 0 ? 0 : 100) << c.length;
    EXPECT_EQ(atStart.Slide, c.fade > 0 ? 1 : 0) << c.length;
  }
  // The time-edit mode shows the line steadily.
  const LineFade edit = ComputeLineFade(1000, LineWindow{1000, 2500}, true);
  EXPECT_FLOAT_EQ(edit.FadePercent, 100);
  EXPECT_FLOAT_EQ(edit.Slide, 0);
}

TEST(LinePosition, SlideMovesSideOrUpAndLongLinesScroll) {
  const FrameValues f = Frame();
  const int tw = 100;
  const Point side = CurrentLinePosition(f, 1, tw, 0, 0);
  EXPECT_EQ(side, (Point{static_cast<int>(kW * 0.45) - 50 + kW / 20, kH - 5 * f.u}));
  // At 40 % of the fade-in the slide is 0.6.
  const float slide = ComputeLineFade(1120, LineWindow{1000, 4000}, false).Slide;
  EXPECT_EQ(CurrentLinePosition(f, 1, tw, slide, 0).x, side.x + 18 * f.u);
  const Point up = CurrentLinePosition(f, 0, tw, slide, 0);
  EXPECT_EQ(up.x, side.x);
  EXPECT_EQ(up.y, kH - 5 * f.u + 18);  // 1.8 u below

  const int longWidth = kW;  // wider than 90 % of the screen
  EXPECT_EQ(CurrentLinePosition(f, 1, longWidth, 0, 0).x, kW / 20);
  const int half = CurrentLinePosition(f, 1, longWidth, 0, 5000).x;
  const int end = CurrentLinePosition(f, 1, longWidth, 0, 9500).x;
  EXPECT_LT(half, kW / 20);
  EXPECT_LT(end, half);
  // Where it scrolls to: its right end at 95 % of the screen.
  EXPECT_EQ(end + longWidth, kW - kW / 20);
}

TEST(EditBox, PulsesUpAndDownIn40s) {
  int level = 0, step = 40;
  std::vector<int> seen;
  for (int i = 0; i < 15; ++i) {
    StepEditBox(level, step);
    seen.push_back(level);
  }
  EXPECT_EQ(seen,
            (std::vector<int>{40, 80, 120, 160, 200, 240, 255, 215, 175, 135, 95, 55, 15, 0, 40}));
}

// ---------------------------------------------------------------------------
// Whole frames of the lyric step.

class LyricFrames : public ::testing::Test {
 protected:
  void Draw(int clock) { display.DrawLyricLines(back, Frame(), ctx, clock); }
  int Lit() const {
    int n = 0;
    for (int y = 0; y < back.Height(); ++y)
      for (int x = 0; x < back.Width(); ++x) n += back.Pixel(x, y) != 0 ? 1 : 0;
    return n;
  }
  SaverContext ctx;
  Canvas back{kW, kH};
  LyricsDisplay display;
};

TEST_F(LyricFrames, AfterAJumpTheIndexWalksOneLinePerFrameDrawingNothing) {
  std::vector<std::string> lines;
  std::vector<int> starts;
  for (int i = 0; i < 14; ++i) {
    lines.push_back("line " + std::to_string(i));
    starts.push_back(i * 1000);
  }
  starts.push_back(14000);
  LoadSong(ctx, lines, starts, kTagPlain);
  ctx.CurrentLine = 0;
  const int clock = 10500;  // inside line 10 (10000 - 390 .. 11000 - 390)
  for (int frame = 1; frame <= 10; ++frame) {
    back = Canvas(kW, kH);
    Draw(clock);
    EXPECT_EQ(ctx.CurrentLine, frame);
    EXPECT_FALSE(display.Frame().lineDrawn) << frame;
  }
  back = Canvas(kW, kH);
  Draw(clock);
  EXPECT_EQ(ctx.CurrentLine, 10);
  EXPECT_TRUE(display.Frame().lineDrawn);
  EXPECT_EQ(display.Cache().LineText, "line 10");
  EXPECT_GT(Lit(), 0);
}

TEST_F(LyricFrames, StepBackFrameKeepsTheFadeInRangeAndShowsNothing) {
  LoadSong(ctx, {"a", "b", "c", "d"}, {0, 2000, 4000, 6000, 8000}, kTagPlain);
  ctx.ShowNextLine = false;
  ctx.CurrentLine = 2;
  Draw(4500);
  ASSERT_EQ(ctx.CurrentLine, 2);
  back = Canvas(kW, kH);
  Draw(1000);  // the music went back into line 0
  EXPECT_EQ(ctx.CurrentLine, 1);
  const LineFade& fade = display.Frame().fade;
  EXPECT_GE(fade.FadePercent, 0);
  EXPECT_LE(fade.FadePercent, 100);
  EXPECT_GE(fade.Slide, -1);
  EXPECT_LE(fade.Slide, 1);
  EXPECT_EQ(Lit(), 0);
  Draw(1000);
  EXPECT_EQ(ctx.CurrentLine, 0);
}

TEST_F(LyricFrames, LineZeroStartsAtZeroAndTheTimeTagWipeHasAdvanced) {
  LoadSong(ctx, {"first", "second"}, {5000, 8000, 11000}, kTagTime);
  Draw(4609);
  EXPECT_EQ(ctx.CurrentLine, -1);
  Draw(4610);
  EXPECT_EQ(ctx.CurrentLine, 0);
  Draw(4625);
  const LyricFrame& fr = display.Frame();
  ASSERT_TRUE(fr.lineDrawn);
  EXPECT_EQ(fr.window.LineStart, 0);
  EXPECT_FLOAT_EQ(fr.fade.FadePercent, 100);
  EXPECT_TRUE(fr.karaoke);
  EXPECT_EQ(fr.split.UpToCurrent, "first");
  // (4625 - 300) * 10000 / (7610 - 600)
  EXPECT_EQ(fr.split.PieceProgress, 6169);
  EXPECT_EQ(fr.split.PieceProgress, fr.fade.LineProgress);

  ctx.settings.bTimeForce = false;
  Draw(4640);
  EXPECT_FALSE(display.Frame().karaoke);
}

TEST_F(LyricFrames, KaraokeLineOnItsWayOutIsShownFullySung) {
  LoadSong(ctx, {"[00:02:00]Hel[00:02:50]lo[00:03:00]", "next"}, {2000, 4000, 8000}, kTagKaraoke);
  ctx.CurrentLine = 0;
  Draw(2100);
  EXPECT_EQ(display.Frame().split.UpToCurrent, "Hel");
  EXPECT_EQ(display.Frame().split.RestText, "lo");
  Draw(3500);  // fade-out: 3610 - 300 .. 3610
  EXPECT_TRUE(display.Frame().fade.fadingOut);
  EXPECT_EQ(display.Frame().split.UpToCurrent, "Hello");
  EXPECT_EQ(display.Frame().split.RestText, "");
  ctx.settings.bNoKaraoke = true;
  Draw(2100);
  EXPECT_FALSE(display.Frame().karaoke);
  EXPECT_EQ(display.Frame().split.UpToCurrent, "");
}

TEST_F(LyricFrames, OverlayMarkersComeAndGoWithTheCache) {
  LoadSong(ctx, {"[#FF0000]one", "", "three"}, {0, 3000, 6000, 9000}, kTagPlain);
  ctx.settings.Debug = true;
  ctx.CurrentLine = 0;
  Draw(100);
  EXPECT_EQ(display.Cache().LineText, "one");
  EXPECT_EQ(display.Cache().LineColour, 0x0000FFu);
  display.DrawPreviousLine(back, Frame(), ctx, 100);
  EXPECT_EQ(display.Cache().PrevText, "*TextTop*");
  EXPECT_EQ(display.Cache().PrevColour, 0x0000FFu);

  Draw(2700);
  Draw(2700);
  ASSERT_EQ(ctx.CurrentLine, 1);
  EXPECT_EQ(display.Cache().LineText, "*BlankLine*");
  EXPECT_EQ(display.Cache().LineColour, 0x00FF00u);
  EXPECT_EQ(display.Cache().NextText, "three");

  Draw(5700);
  Draw(5700);
  ASSERT_EQ(ctx.CurrentLine, 2);
  EXPECT_EQ(display.Cache().NextText, "*TextEnd*");
  EXPECT_EQ(display.Cache().NextColour, 0x0000FFu);

  // Back to line 1 without the debug mode: the rebuilt cache has no marker.
  ctx.settings.Debug = false;
  ctx.CurrentLine = 1;
  Draw(3000);
  EXPECT_EQ(display.Cache().LineText, "");
  EXPECT_EQ(display.Cache().NextText, "three");
}

TEST_F(LyricFrames, ANewSongOfTheSameLengthShowsItsOwnLines) {
  LoadSong(ctx, {"old first", "old second"}, {0, 3000, 6000}, kTagPlain);
  ctx.CurrentLine = 0;
  Draw(1000);
  EXPECT_EQ(display.Cache().LineText, "old first");
  EXPECT_EQ(display.Cache().NextText, "old second");
  LoadSong(ctx, {"new first", "new second"}, {0, 3000, 6000}, kTagPlain);  // same length
  Draw(0);
  Draw(100);
  EXPECT_EQ(display.Cache().LineText, "new first");
  EXPECT_EQ(display.Cache().NextText, "new second");
}

TEST_F(LyricFrames, TimeEditModeShowsTheLineWithItsTagAndArmsRewind) {
  LoadSong(ctx, {"alpha", "beta"}, {0}, kTagTime);
  ctx.lyrics.LineTimes = {"[00:00:00]"};  // only line 0 recorded so far
  ctx.lyrics.LyricLines[0] = "[00:00:00]alpha";
  ctx.settings.TimeTag = true;
  ctx.CurrentLine = 0;
  Draw(50000);
  EXPECT_TRUE(display.Frame().lineDrawn);
  EXPECT_EQ(display.Cache().LineText, "[00:00:00]alpha");
  EXPECT_TRUE(ctx.RewindArmed);
  EXPECT_EQ(display.EditBoxLevel(), 40);
  // The frame around the line in the frame's red.
  const Point p = display.Frame().linePos;
  EXPECT_EQ(back.Pixel(p.x - Frame().u / 2 - 1, p.y - 1), 40u);
}

TEST_F(LyricFrames, BandsCoverTheirRows) {
  LoadSong(ctx, {}, {0}, kTagNone);
  const int u = Frame().u;
  back.SetFont(LyricFont(ctx, 100 * u / 100));
  const int rows = back.TextHeight("1A") + 12;
  const int top = kH - 5 * u - 6;
  for (int textBack : {1, 2}) {
    back.SetBrushStyle(BrushStyle::Solid);
    back.SetBrushColour(0xFFFFFF);
    back.FillRect(0, 0, kW, kH);
    ctx.settings.TextBack = textBack;
    ctx.settings.WipeStyle = 1;
    Draw(0);
    for (int y = top - 1; y <= top + rows; ++y) {
      const bool inBand = y >= top && y < top + rows && (textBack == 2 || (y - top) % 2 == 0);
      EXPECT_EQ(back.Pixel(kW / 2, y), inBand ? 0u : 0xFFFFFFu) << textBack << " row " << y;
    }
  }
  // The gradient band of the overlay modes: blue rising to the bottom, every other row.
  ctx.settings.TextBack = 0;
  ctx.settings.Debug = true;
  back = Canvas(kW, kH);
  Draw(0);
  const int b = 10 * u;
  EXPECT_EQ(back.Pixel(7, kH - b), 0u);
  EXPECT_EQ(back.Pixel(7, kH - b + 50), static_cast<Colour>(50 * 255 / b) << 16);
  EXPECT_EQ(back.Pixel(7, kH - b + 51), 0u);
  EXPECT_EQ(back.Pixel(kW - 1, kH - 2), static_cast<Colour>(98 * 255 / b) << 16);
}

}  // namespace
}  // namespace quib
