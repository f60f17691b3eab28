#include "render/mascot_layer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/layer_fixtures.h"

namespace quib {
namespace {

using test::Frame;

constexpr Colour Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Key = RGB(255, 0, 255);

struct Stage {
  SaverContext ctx;
  MascotLayer layer;
  Canvas back;
  Stage(int w, int h) : back(w, h) {
    // Banner: left half red, right half blue, so mirroring shows.
    ctx.banner.SetSize(200, 50);
    ctx.banner.SetBrushColour(Red);
    ctx.banner.FillRect(0, 0, 100, 50);
    ctx.banner.SetBrushColour(Blue);
    ctx.banner.FillRect(100, 0, 200, 50);
    // Sprite: a red 4 x 4 square in the middle of a keyed 8 x 8 cell.
    ctx.mascot.SetSize(8, 8);
    ctx.mascot.SetBrushColour(Key);
    ctx.mascot.FillRect(0, 0, 8, 8);
    ctx.mascot.SetBrushColour(Red);
    ctx.mascot.FillRect(2, 2, 6, 6);
  }
  void Clear() {
    back.SetBrushColour(RGB(20, 20, 20));
    back.FillRect(0, 0, back.Width(), back.Height());
  }
};

TEST(Banner, SpinsToALineAndBackMirroredWith15MsFrames) {
  Stage s(400, 300);
  const auto red = [](Colour p) { return p == Red; };
  const auto blue = [](Colour p) { return p == Blue; };
  for (int frame = 1; frame <= 401; ++frame) {
    s.Clear();
    s.layer.DrawBanner(s.back, Frame(400, 300, 15), s.ctx);
    if (frame == 1) {  // full width, centred, top at row 10
      EXPECT_EQ(test::BoundsOf(s.back, red).left, 100);
      EXPECT_EQ(test::BoundsOf(s.back, blue).right, 299);
      EXPECT_EQ(test::BoundsOf(s.back, red).top, 10);
      EXPECT_EQ(test::BoundsOf(s.back, red).bottom, 59);
    } else if (frame == 201) {  // edge on: nothing shows
      EXPECT_EQ(test::CountPixels(s.back, red) + test::CountPixels(s.back, blue), 0);
    } else if (frame == 401) {  // full width, mirrored
      EXPECT_EQ(test::BoundsOf(s.back, blue).left, 100);
      EXPECT_EQ(test::BoundsOf(s.back, red).right, 299);
      EXPECT_EQ(test::CountPixels(s.back, blue), 100 * 50);
    }
  }
}

TEST(Banner, StepIsTakenFromTheFrameTimeAtEachBounce) {
  Stage s(400, 300);
  for (int frame = 0; frame < 400; ++frame) s.layer.DrawBanner(s.back, Frame(400, 300, 15), s.ctx);
  EXPECT_FLOAT_EQ(s.layer.BannerOffset, 200.0f);
  s.layer.DrawBanner(s.back, Frame(400, 300, 30), s.ctx);  // bounces with a 30 ms frame
  EXPECT_FLOAT_EQ(s.layer.BannerStep, -1.0f);
  EXPECT_FLOAT_EQ(s.layer.BannerOffset, 199.5f);
  s.layer.DrawBanner(s.back, Frame(400, 300, 15), s.ctx);  // the speed holds until the next bounce
  EXPECT_FLOAT_EQ(s.layer.BannerOffset, 198.5f);
}

TEST(Mascots, PairsStartInTheTopCornersAndStayMirroredAboutTheCentre) {
  Stage s(320, 200);
  s.ctx.ShowObject = true;
  s.Clear();
  s.layer.DrawMascots(s.back, Frame(320, 200, 15, true), s.ctx);
  // The first frame draws every sprite in its corner, without the keyed pixels.
  EXPECT_EQ(s.back.Pixel(0, 0), RGB(20, 20, 20));
  EXPECT_EQ(s.back.Pixel(3, 3), Red);
  EXPECT_EQ(s.back.Pixel(312 + 3, 3), Red);
  EXPECT_EQ(s.back.Pixel(319, 0), RGB(20, 20, 20));
  EXPECT_EQ(test::CountPixels(s.back, [](Colour p) { return p == Key; }), 0);
  for (int frame = 0; frame < 3000; ++frame) {
    s.layer.DrawMascots(s.back, Frame(320, 200, 15), s.ctx);
    for (int t = 0; t < 8; ++t) {
      ASSERT_NEAR(s.layer.MascotX[2 * t] + s.layer.MascotX[2 * t + 1], 320 - 8, 0.02)
          << "pair " << t << " frame " << frame;
      ASSERT_FLOAT_EQ(s.layer.MascotY[2 * t], s.layer.MascotY[2 * t + 1]);
      ASSERT_GE(s.layer.MascotX[2 * t], 0);
      ASSERT_LE(s.layer.MascotX[2 * t], 312);
      ASSERT_GE(s.layer.MascotY[2 * t], 0);
      ASSERT_LE(s.layer.MascotY[2 * t], 192);
    }
  }
}

TEST(Mascots, RestartFromTheCornersWhenShownAgainOrResized) {
  struct Case {
    const char* name;
    std::vector<bool> shown;  // ShowObject on the frames after the first ten
    bool resize;
    bool restarted;
  };
  const Case cases[] = {
      {"off then on", {false, true}, false, true},
      {"off and on between two frames", {true}, false, false},
      {"resized", {true}, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stage s(320, 200);
    s.ctx.ShowObject = true;
    for (int i = 0; i < 10; ++i) s.layer.DrawMascots(s.back, Frame(320, 200, 15, i == 0), s.ctx);
    for (size_t i = 0; i < c.shown.size(); ++i) {
      s.ctx.ShowObject = c.shown[i];
      const bool last = i + 1 == c.shown.size();
      s.layer.DrawMascots(s.back, Frame(320, 200, 15, last && c.resize), s.ctx);
    }
    // Drawn at the corner, then moved one 15 ms step: factor 1 moves 320 * 15 / 20480.
    const float step = 320.0f * 15 / 20480;
    if (c.restarted) {
      EXPECT_FLOAT_EQ(s.layer.MascotX[0], step);
      EXPECT_FLOAT_EQ(s.layer.MascotX[1], 312 - step);
    } else {
      EXPECT_FLOAT_EQ(s.layer.MascotX[0], 11 * step);
    }
  }
}

TEST(Mascots, HiddenMascotsDrawNothingAndKeepTheirPlaces) {
  Stage s(320, 200);
  s.ctx.ShowObject = true;
  for (int i = 0; i < 5; ++i) s.layer.DrawMascots(s.back, Frame(320, 200, 15, i == 0), s.ctx);
  const float x = s.layer.MascotX[5];
  s.ctx.ShowObject = false;
  s.Clear();
  s.layer.DrawMascots(s.back, Frame(320, 200, 15), s.ctx);
  EXPECT_EQ(test::CountPixels(s.back, [](Colour p) { return p == Red; }), 0);
  EXPECT_EQ(s.layer.MascotX[5], x);
}

TEST(Mascots, SpriteLargerThanTheWindowStaysPartlyOutsideWithoutHarm) {
  Stage s(40, 30);
  s.ctx.mascot.SetSize(64, 64);
  s.ctx.ShowObject = true;
  for (int i = 0; i < 200; ++i) s.layer.DrawMascots(s.back, Frame(40, 30, 15, i == 0), s.ctx);
  for (int i = 0; i < MascotLayer::MascotCount; ++i) {
    EXPECT_TRUE(std::isfinite(s.layer.MascotX[i]));
    EXPECT_TRUE(std::isfinite(s.layer.MascotY[i]));
  }
}

}  // namespace
}  // namespace quib
