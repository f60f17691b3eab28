#include "render/greeting_layer.h"

#include <gtest/gtest.h>

#include <set>

#include "render/layer_fixtures.h"

namespace quib {
namespace {

using test::Frame;

struct Greeter {
  SaverContext ctx;
  GreetingLayer layer;
  Canvas back;
  Greeter(int w, int h, int season) : back(w, h) { ctx.Season = season; }
  void Run(const FrameValues& f) {
    back.SetBrushColour(0);
    back.SetBrushStyle(BrushStyle::Solid);
    back.FillRect(0, 0, back.Width(), back.Height());
    back.SetBrushStyle(BrushStyle::Clear);
    layer.Draw(back, f, ctx);
  }
};

TEST(Greeting, ChosenByTheSeasonOnTheFirstFrame) {
  struct Case {
    int season;
    const char* text;
    int firstFrameDraws;  // 3 per flake to place, 2 per flake to move
  };
  const Case cases[] = {
      {4, "Merry Christmas!!", 120 * 3 + 120 * 2},
      {1, "Happy New Year!!", 0},
      {0, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.season);
    Greeter g(640, 480, c.season);
    const Random before = g.ctx.random;
    g.Run(Frame(640, 480));
    EXPECT_EQ(g.layer.GreetingText, c.text);
    EXPECT_FALSE(g.layer.GreetingPending);
    EXPECT_EQ(test::DrawsBetween(before, g.ctx.random), c.firstFrameDraws);
    if (c.text[0] == '\0') {
      EXPECT_EQ(test::CountNonBlack(g.back), 0);
      continue;
    }
    // Centred: the lettering's box has equal margins, give or take the rim.
    const test::Bounds b = test::BoundsOf(
        g.back, [](Colour p) { return p == RGB(255, 0, 255) || p == RGB(255, 255, 255); });
    ASSERT_FALSE(b.Empty());
    EXPECT_NEAR(b.left, 639 - b.right, 12);
    EXPECT_NEAR(b.top, 479 - b.bottom, 24);
  }
}

TEST(Greeting, FadesOutOverTheLast2048MsAndEndsAfterTenSeconds) {
  Greeter g(640, 480, 1);
  g.Run(Frame(640, 480, 15));
  g.layer.GreetingTime = 1024;
  g.Run(Frame(640, 480, 15));
  // Level 128: the rim 0x800080, the lettering 0x808080, nothing brighter.
  EXPECT_GT(test::CountPixels(g.back, [](Colour p) { return p == 0x800080u; }), 50);
  EXPECT_GT(test::CountPixels(g.back, [](Colour p) { return p == 0x808080u; }), 50);
  EXPECT_EQ(test::CountPixels(g.back,
                              [](Colour p) {
                                return test::R(p) > 0x80 || test::G(p) > 0x80 || test::B(p) > 0x80;
                              }),
            0);
  g.layer.GreetingTime = 15;
  g.Run(Frame(640, 480, 15));
  EXPECT_EQ(g.layer.GreetingText, "");
  g.Run(Frame(640, 480, 15));
  EXPECT_EQ(test::CountNonBlack(g.back), 0);
}

TEST(Greeting, LaterFramesNeverBringTheGreetingBack) {
  Greeter g(640, 480, 1);
  for (int t = 0; t < 10000; t += 100) g.Run(Frame(640, 480, 100));
  EXPECT_EQ(g.layer.GreetingText, "");
  EXPECT_EQ(g.layer.GreetingTime, 0);
  g.Run(Frame(640, 480, 100));
  EXPECT_EQ(test::CountNonBlack(g.back), 0);
  EXPECT_EQ(g.layer.GreetingTime, 0);
}

TEST(Snow, FlakesFallByTheirSizeWithASmallWobble) {
  // With 15 ms frames flake 0 falls 1.92 units a frame and flake 119 1.206,
  // plus a wobble (b - 2s/3) / 3 with b a whole number from 1 to s + 1.
  struct Case {
    int flake;
    double s;
  };
  for (const Case& c : {Case{0, 2.4}, Case{119, 1.5075}}) {
    SCOPED_TRACE(c.flake);
    Greeter g(1024, 768, 4);
    g.Run(Frame(1024, 768, 15));
    g.layer.GreetingTime = 0;  // the snow alone
    std::set<int> wobbles;
    for (int frame = 0; frame < 200; ++frame) {
      const float y = g.layer.SnowY[c.flake];
      g.Run(Frame(1024, 768, 15));
      const double fall = g.layer.SnowY[c.flake] - y;
      if (fall < 0) continue;  // wrapped to the top
      bool matched = false;
      for (int b = 1; b <= static_cast<int>(c.s + 1); ++b) {
        if (std::abs(fall - (c.s * 0.8 + (b - c.s * 2 / 3) / 3)) < 1e-3) {
          matched = true;
          wobbles.insert(b);
        }
      }
      EXPECT_TRUE(matched) << "frame " << frame << " fall " << fall;
    }
    EXPECT_GT(wobbles.size(), 1u);
  }
}

TEST(Snow, FlakesStartAboveTheScreenAndReenterAtTheTop) {
  Greeter g(1024, 768, 4);
  g.Run(Frame(1024, 768, 15));
  for (int i = 0; i < GreetingLayer::FlakeCount; ++i) {
    EXPECT_LT(g.layer.SnowY[i], 0.0f);
    EXPECT_GT(g.layer.SnowY[i], -21000.0f);
  }
  g.layer.SnowY[0] = 777.0f;  // passes 778 on this frame
  g.Run(Frame(1024, 768, 15));
  EXPECT_LT(g.layer.SnowY[0], 0.0f);
  EXPECT_GT(g.layer.SnowY[0], -11.0f);
  // A flake in view is a white disc with a light violet-blue rim.
  g.layer.SnowX[5] = 500;
  g.layer.SnowY[5] = 300;
  g.Run(Frame(1024, 768, 15));
  EXPECT_GT(test::CountPixels(g.back, [](Colour p) { return p == 0xFF6699u; }), 0);
}

}  // namespace
}  // namespace quib
