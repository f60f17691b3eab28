#include "render/background_layer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/layer_fixtures.h"

namespace quib {
namespace {

using test::Frame;

struct Scene {
  SaverContext ctx;
  BackgroundLayer layer;
  Canvas back;
  explicit Scene(int w, int h, int backType) : back(w, h) { ctx.settings.iBackT = backType; }
  void Run(const FrameValues& f) {
    back.SetBrushStyle(BrushStyle::Solid);
    back.SetBrushColour(0);
    back.FillRect(0, 0, f.W, f.H);
    layer.Draw(back, f, ctx);
  }
};

TEST(BackgroundLayer, RandomModePicksAtOnceEveryFiveSecondsNeverTheSameTwice) {
  for (uint32_t seed : {1u, 7u, 12345u, 0xDEADBEEFu}) {
    SCOPED_TRACE(seed);
    Scene s(64, 48, 1);
    s.ctx.random.SetState(seed);
    Random expected = s.ctx.random;
    s.Run(Frame(64, 48, 15));
    EXPECT_EQ(s.layer.SceneEffect, expected.Next() % 3 + 2);

    // With 15 ms frames the scene time first exceeds 5000 at the start of frame 334.
    int previous = s.layer.SceneEffect;
    int picks = 0;
    for (int frame = 1; frame <= 334 * 4; ++frame) {
      s.Run(Frame(64, 48, 15));
      if (frame % 334 == 0) {
        EXPECT_NE(s.layer.SceneEffect, previous) << "frame " << frame;
        ++picks;
      } else {
        EXPECT_EQ(s.layer.SceneEffect, previous) << "frame " << frame;
      }
      EXPECT_GE(s.layer.SceneEffect, 2);
      EXPECT_LE(s.layer.SceneEffect, 4);
      previous = s.layer.SceneEffect;
    }
    EXPECT_EQ(picks, 4);
  }
}

TEST(BackgroundLayer, NoEffectValuesLeaveTheScreenBlackAndDrawNoNumbers) {
  for (int backType : {0, 5, -1, 99}) {
    SCOPED_TRACE(backType);
    Scene s(80, 60, backType);
    const Random before = s.ctx.random;
    for (int i = 0; i < 3; ++i) s.Run(Frame(80, 60));
    EXPECT_EQ(test::CountNonBlack(s.back), 0);
    EXPECT_EQ(s.ctx.random.State(), before.State());
  }
}

TEST(BackgroundLayer, StarLeavingTheFieldIsDrawnOnceMoreThenRestartsNearTheCentre) {
  // On a tall window a star heading straight down is still inside when its
  // distance reaches the limit 57; heading right, it leaves through the side first.
  struct Case {
    const char* name;
    int w, h, angle;
    double distance;
    bool oldPlaceVisible;
  };
  const Case cases[] = {
      {"distance limit", 100, 400, 90, 56.95, true},
      {"left the screen", 100, 100, 0, 50.0, false},
  };
  constexpr double K = 3.14 / 180;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scene s(c.w, c.h, 2);
    s.Run(Frame(c.w, c.h, 15));
    for (int i = 0; i < BackgroundLayer::StarCount; ++i) {
      s.layer.StarAngle[i] = 0;
      s.layer.StarDistance[i] = 0;
      s.layer.StarSpeed[i] = 1;
    }
    s.layer.StarAngle[0] = c.angle;
    s.layer.StarDistance[0] = c.distance;
    const double sa = std::asin(c.distance * K);
    const int oldX = static_cast<int>(sa * std::cos(c.angle * K) * c.w * 0.5) + c.w / 2;
    const int oldY = static_cast<int>(sa * std::sin(c.angle * K) * c.w * 0.5) + c.h / 2;

    Random expected = s.ctx.random;
    s.Run(Frame(c.w, c.h, 15));
    EXPECT_EQ(s.layer.StarAngle[0], expected.Next() % 360);
    EXPECT_EQ(s.layer.StarDistance[0], expected.Next() % 30 + 1);
    EXPECT_EQ(s.layer.StarSpeed[0], expected.Next() % 3 + 1);
    EXPECT_GE(s.layer.StarDistance[0], 1);
    EXPECT_LE(s.layer.StarDistance[0], 30);
    // No other star restarted: the three draws were all.
    EXPECT_EQ(s.ctx.random.State(), expected.State());
    if (c.oldPlaceVisible) {
      EXPECT_NE(s.back.Pixel(oldX, oldY), 0u);
    }
  }
}

TEST(BackgroundLayer, RippleDiscsAreCappedAtATenthOfTheWidthAndRestartPast128) {
  // Disc n of a ripple has radius trunc(radius - 4n) on a 1024-wide screen,
  // capped at 102; of the capped discs the darkest is drawn last.
  struct Case {
    float radius;
    int rimBlue;  // the colour at distance 101..102 from the centre
    bool restarts;
  };
  const Case cases[] = {
      {110.0f, 175, false}, {124.9f, 100, false}, {125.1f, 100, true}, {127.9f, 75, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radius);
    Scene s(1024, 768, 4);
    s.Run(Frame(1024, 768, 15));
    for (int t = 0; t < BackgroundLayer::RippleCount; ++t) s.layer.RippleRadius[t] = -1000;
    s.layer.RippleX[0] = 512;
    s.layer.RippleY[0] = 384;
    s.layer.RippleRadius[0] = c.radius;
    s.Run(Frame(1024, 768, 15));  // drawn at the radius, then grown by 3

    EXPECT_EQ(s.back.Pixel(512 + 101, 384), RGB(0, 0, c.rimBlue));
    EXPECT_EQ(s.back.Pixel(512 - 102, 384), RGB(0, 0, c.rimBlue));
    EXPECT_EQ(s.back.Pixel(512 + 102, 384), 0u);
    EXPECT_EQ(s.back.Pixel(512 - 103, 384), 0u);
    EXPECT_EQ(s.back.Pixel(512, 384), 0u);  // the innermost disc is black
    if (c.restarts) {
      EXPECT_LE(s.layer.RippleRadius[0], 0.0f);
      EXPECT_GT(s.layer.RippleRadius[0], -102.0f);
    } else {
      EXPECT_FLOAT_EQ(s.layer.RippleRadius[0], c.radius + 3.0f);
    }
  }
}

TEST(BackgroundLayer, RipplesLookLikeTenStackedDiscs) {
  // The reference: every disc filled in full, largest first.
  for (const auto& [w, h] : {std::pair{640, 360}, std::pair{333, 201}, std::pair{1024, 768}}) {
    SCOPED_TRACE(w);
    Scene s(w, h, 4);
    for (int frame = 0; frame < 240; ++frame) {
      BackgroundLayer before = s.layer;
      s.Run(Frame(w, h, 15));
      if (frame % 20 != 19) continue;
      Canvas expected(w, h);
      expected.SetPenStyle(PenStyle::Clear);
      for (int t = 0; t < BackgroundLayer::RippleCount; ++t) {
        for (int n = 0; n < BackgroundLayer::RingCount; ++n) {
          int rr = static_cast<int>(before.RippleRadius[t] - (n * w) / 256);
          if (rr < 0) continue;
          if (w * 0.1 < rr) rr = static_cast<int>(w * 0.1);
          expected.SetBrushColour(RGB(0, 0, (9 - n) * 25));
          const int x = before.RippleX[t], y = before.RippleY[t];
          expected.Ellipse(x - rr, y - rr, x + rr, y + rr);
        }
      }
      int differing = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          if (s.back.Pixel(x, y) != expected.Pixel(x, y)) ++differing;
      ASSERT_EQ(differing, 0) << "frame " << frame;
    }
    EXPECT_EQ(s.back.GetBrushStyle(), BrushStyle::Solid);
  }
}

TEST(BackgroundLayer, NarrowWindowDrawsNoRipplesAndWaitsToFillThem) {
  Scene s(9, 40, 4);
  const Random before = s.ctx.random;
  s.Run(Frame(9, 40));
  EXPECT_EQ(test::CountNonBlack(s.back), 0);
  EXPECT_TRUE(s.layer.RipplesReady);
  EXPECT_EQ(s.ctx.random.State(), before.State());
}

TEST(BackgroundLayer, LaserStartsOnPhaseOneAndFadesFromRedToBlueAndBack) {
  // dt 1 keeps the turn nearly still over the 27 beams of a frame.
  struct Case {
    float turn;
    Colour colour;  // of the frame's last beam
  };
  const Case cases[] = {
      {0.0f, 0x000100},          // level 0: the value 256, a green of 1
      {180.0f, RGB(1, 0, 255)},  // level 255
      {270.0f, RGB(128, 0, 128)},
      {359.9f, RGB(255, 0, 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.turn);
    Scene s(200, 150, 3);
    s.layer.BeamTurn = c.turn;
    s.Run(Frame(200, 150, 1));
    EXPECT_EQ(s.layer.BeamPhase, 1);
    EXPECT_EQ(s.back.PenColour(), c.colour);
    EXPECT_GT(test::CountNonBlack(s.back), 0);
  }
}

TEST(BackgroundLayer, SwitchingEffectsKeepsEachOnesState) {
  Scene s(200, 150, 3);
  for (int i = 0; i < 10; ++i) s.Run(Frame(200, 150));
  int angles[BackgroundLayer::BeamCount];
  std::copy(std::begin(s.layer.BeamAngle), std::end(s.layer.BeamAngle), angles);
  const float turn = s.layer.BeamTurn;
  const int phase = s.layer.BeamPhase;

  s.ctx.settings.iBackT = 4;
  for (int i = 0; i < 10; ++i) s.Run(Frame(200, 150));
  s.ctx.settings.iBackT = 3;
  s.Run(Frame(200, 150));
  EXPECT_TRUE(std::equal(std::begin(angles), std::end(angles), std::begin(s.layer.BeamAngle)));
  EXPECT_EQ(s.layer.BeamPhase, (phase + 1) % 3);
  EXPECT_GT(s.layer.BeamTurn, turn);
  EXPECT_FALSE(s.layer.RipplesReady);
}

}  // namespace
}  // namespace quib
