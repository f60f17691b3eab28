#include "render/noise_layer.h"

#include <gtest/gtest.h>

#include "render/layer_fixtures.h"

namespace quib {
namespace {

using test::Frame;

struct Noisy {
  SaverContext ctx;
  NoiseLayer layer;
  Canvas back;
  Noisy(int w, int h, int type, int colour) : back(w, h) {
    ctx.settings.iNoiseT = type;
    ctx.settings.iNoiseC = colour;
  }
  int Run(const FrameValues& f) {
    const Random before = ctx.random;
    layer.Draw(back, f, ctx);
    return test::DrawsBetween(before, ctx.random);
  }
};

// Columns painted from row 0 to row n - 1 without a gap: the scratches.
int FullColumns(const Canvas& c, int n, auto pred) {
  int count = 0;
  for (int x = 0; x < c.Width(); ++x) {
    int y = 0;
    while (y < n && pred(c.Pixel(x, y))) ++y;
    if (y == n) ++count;
  }
  return count;
}

TEST(NoiseLayer, MarksPerFrameOnA1024WideScreen) {
  // Two draws per random colour; a scratch takes one, a dust stroke and a block four.
  struct Case {
    int type, colour, draws;
  };
  const Case cases[] = {
      {1, 0, 2 + 2 + 34 * 4},  // cinema: 2 scratches, 34 dust strokes
      {1, 2, 2 + 34 * 4},
      {2, 0, 204 * (2 + 4)},  // digital: 204 blocks
      {2, 1, 204 * 4},
      {3, 0, 0},
      {0, 0, 0},
      {7, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.type << "/" << c.colour);
    Noisy n(1024, 768, c.type, c.colour);
    EXPECT_EQ(n.Run(Frame(1024, 768)), c.draws);
  }
}

TEST(NoiseLayer, CinemaScratchesRunTheNoiseAreaAboveTheBottomPanel) {
  struct Case {
    bool debug, timeTag;
    int rows;
  };
  for (const Case& c : {Case{false, false, 768}, Case{true, false, 558}, Case{false, true, 558}}) {
    SCOPED_TRACE(c.rows);
    Noisy n(1024, 768, 1, 2);
    n.ctx.settings.Debug = c.debug;
    n.ctx.settings.TimeTag = c.timeTag;
    const FrameValues f = Frame(1024, 768);
    EXPECT_EQ(NoiseLayer::NoiseHeight(f, n.ctx), c.rows);
    n.Run(f);
    const auto white = [](Colour p) { return p == RGB(255, 255, 255); };
    EXPECT_EQ(FullColumns(n.back, c.rows, white), 2);
    // Dust strokes reach at most a few rows past the area's last row.
    for (int y = c.rows + 4; y < 768; ++y)
      for (int x = 0; x < 1024; ++x) ASSERT_EQ(n.back.Pixel(x, y), 0u) << x << "," << y;
  }
}

TEST(NoiseLayer, WhiteCinemaScratchesInvertWhatLiesBeneath) {
  Noisy n(400, 300, 1, 2);
  n.back.SetBrushColour(RGB(0x40, 0x80, 0xC0));
  n.back.FillRect(0, 0, 400, 300);
  Random copy = n.ctx.random;
  const int x = copy.Next() % 400;
  n.Run(Frame(400, 300));
  const auto inverted = [](Colour p) { return p == RGB(0xBF, 0x7F, 0x3F); };
  int rows = 0;
  for (int y = 0; y < 300; ++y)
    if (inverted(n.back.Pixel(x, y))) ++rows;
  EXPECT_GT(rows, 290);  // a few rows may be covered by dust
  EXPECT_EQ(n.back.Pixel(x, 0) ^ 0xFFFFFFu, RGB(0x40, 0x80, 0xC0));
}

TEST(NoiseLayer, PseudoInterlaceDrawsEveryOtherFrameAndStepsAfter50MsOfItsOwnClock) {
  struct Step {
    int frame;
    bool lines;
    int firstRow;
    Colour colour;
  };
  // 15 ms frames: the clock runs only on the even frames, passing 50 on frame 8.
  const Step steps[] = {
      {1, false, 0, 0}, {2, true, 0, RGB(255, 0, 0)},  {8, true, 0, RGB(255, 0, 0)},
      {9, false, 0, 0}, {10, true, 1, RGB(254, 0, 1)},
  };
  Noisy n(60, 40, 3, 0);
  int frame = 0;
  for (const Step& s : steps) {
    while (frame < s.frame) {
      n.back.SetBrushColour(0);
      n.back.FillRect(0, 0, 60, 40);
      n.Run(Frame(60, 40, 15));
      ++frame;
    }
    SCOPED_TRACE(s.frame);
    if (!s.lines) {
      EXPECT_EQ(test::CountNonBlack(n.back), 0);
      continue;
    }
    for (int y = 0; y < 40; ++y) {
      const bool line = y % 5 == s.firstRow;
      EXPECT_EQ(n.back.Pixel(0, y), line ? s.colour : 0u) << y;
      EXPECT_EQ(n.back.Pixel(59, y), line ? s.colour : 0u) << y;
    }
  }
}

TEST(NoiseLayer, NoNoiseAreaMeansNoDustNoBlocksNoScanLines) {
  // 1000 x 200 with the panel on: N = 200 - 10 * 20 = 0.
  struct Case {
    int type, draws;
  };
  for (const Case& c : {Case{1, 2}, Case{2, 0}, Case{3, 0}}) {
    SCOPED_TRACE(c.type);
    Noisy n(1000, 200, c.type, 2);
    n.ctx.settings.Debug = true;
    EXPECT_EQ(n.Run(Frame(1000, 200)), c.draws);
    n.Run(Frame(1000, 200));
    EXPECT_EQ(test::CountNonBlack(n.back), 0);
  }
}

TEST(NoiseLayer, DigitalBlocksInTheChosenColourLeaveTheBrushSolid) {
  struct Case {
    int colour;
    Colour expected;
  };
  for (const Case& c : {Case{1, RGB(0, 0, 0)}, Case{2, RGB(255, 255, 255)}}) {
    SCOPED_TRACE(c.colour);
    Noisy n(500, 400, 2, c.colour);
    n.back.SetBrushColour(RGB(9, 9, 9));
    n.back.FillRect(0, 0, 500, 400);
    n.back.SetBrushStyle(BrushStyle::Clear);
    n.Run(Frame(500, 400));
    EXPECT_GT(test::CountPixels(n.back, [&](Colour p) { return p == c.expected; }), 100);
    EXPECT_EQ(n.back.GetBrushStyle(), BrushStyle::Solid);
  }
}

}  // namespace
}  // namespace quib
