// Renders sample frames of the picture layers into PNGs for looking at:
//   QUIB_GALLERY_DIR=docs/gallery build/tests/test_render --gtest_filter='LayerGallery.*'
// Without QUIB_GALLERY_DIR the test is skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "render/background_layer.h"
#include "render/greeting_layer.h"
#include "render/layer_fixtures.h"
#include "render/mascot_layer.h"
#include "render/noise_layer.h"
#include "render/slideshow_layer.h"
#include "support/test_support.h"

namespace quib {
namespace {

constexpr int W = 960, H = 540;

struct Saver {
  SaverContext ctx;
  BackgroundLayer background;
  SlideshowLayer slideshow;
  MascotLayer mascots;
  NoiseLayer noise;
  GreetingLayer greeting;
  Canvas back{W, H};
  int frames = 0;

  Saver() {
    Canvas sprite;
    EXPECT_TRUE(sprite.LoadImageFile(QUIB_SOURCE_DIR "/resources/mascot.png"));
    ctx.mascot.SetSize(W / 20, W / 20);
    ctx.mascot.StretchFrom(0, 0, W / 20, W / 20, sprite, 0, 0, sprite.Width(), sprite.Height());
    EXPECT_TRUE(ctx.banner.LoadImageFile(QUIB_SOURCE_DIR "/resources/banner.png"));
    ctx.settings.iBackT = 0;
  }

  // The layers in the order the frame loop composes them.
  void Frame(int dt = 15) {
    const FrameValues f = test::Frame(W, H, dt, frames == 0, 1000 + frames * dt);
    ++frames;
    if (!SlideshowLayer::CoversScreen(ctx)) {
      back.SetBrushStyle(BrushStyle::Solid);
      back.SetBrushColour(0);
      back.FillRect(0, 0, W, H);
      mascots.DrawBanner(back, f, ctx);
      background.Draw(back, f, ctx);
    }
    back.SetBrushStyle(BrushStyle::Clear);
    if (ctx.settings.UseGaz && !ctx.ImageFiles.empty()) slideshow.Draw(back, f, ctx);
    mascots.DrawMascots(back, f, ctx);
    noise.Draw(back, f, ctx);
    back.SetBrushStyle(BrushStyle::Clear);
    greeting.Draw(back, f, ctx);
  }
  void RunFor(int ms) {
    for (int t = 0; t < ms; t += 15) Frame();
  }
};

TEST(LayerGallery, Render) {
  const char* out = std::getenv("QUIB_GALLERY_DIR");
  if (!out) GTEST_SKIP() << "set QUIB_GALLERY_DIR to render the gallery";
  const std::string dir = out;
  test::TempDir pics;
  std::vector<std::string> files;
  for (int i = 0; i < 4; ++i) {
    files.push_back(pics.File("pic" + std::to_string(i) + ".jpg"));
    ASSERT_TRUE(test::WritePictureJpeg(files.back(), 640 - 80 * i, 420 - 40 * i, 70 * i + 10));
  }

  struct Shot {
    const char* name;
    std::function<void(Saver&)> setUp;
    int ms;
  };
  const auto pictures = [&](int style, int opacity) {
    return [&files, style, opacity](Saver& s) {
      s.ctx.settings.UseGaz = true;
      s.ctx.settings.GazStyle = style;
      s.ctx.settings.bTransA = opacity;
      s.ctx.ImageFiles = files;
    };
  };
  const Shot shots[] = {
      {"background_space", [](Saver& s) { s.ctx.settings.iBackT = 2; }, 4000},
      {"background_laser", [](Saver& s) { s.ctx.settings.iBackT = 3; }, 4000},
      {"background_ripple", [](Saver& s) { s.ctx.settings.iBackT = 4; }, 4000},
      {"slideshow_centre", pictures(0, 100), 1200},
      {"slideshow_cross", pictures(1, 100), 3000},
      {"slideshow_scroll", pictures(2, 100), 9000},
      {"slideshow_tiles",
       [&](Saver& s) {
         pictures(3, 100)(s);
         s.ctx.settings.iBackT = 4;
       },
       5000 + 4700},
      {"slideshow_slide", pictures(4, 100), 5000 + 4800},
      {"slideshow_fade_50",
       [&](Saver& s) {
         pictures(5, 50)(s);
         s.ctx.settings.iBackT = 4;
       },
       3000 + 600},
      {"slideshow_additive_grey",
       [&](Saver& s) {
         pictures(0, 60)(s);
         s.ctx.settings.bTransB = 1;
         s.ctx.settings.MonoChro = true;
         s.ctx.settings.iBackT = 3;
       },
       1500},
      {"noise_cinema",
       [&](Saver& s) {
         pictures(0, 100)(s);
         s.ctx.settings.iNoiseT = 1;
       },
       1200},
      {"noise_digital",
       [&](Saver& s) {
         pictures(0, 100)(s);
         s.ctx.settings.iNoiseT = 2;
       },
       1200},
      {"noise_interlace",
       [&](Saver& s) {
         pictures(0, 100)(s);
         s.ctx.settings.iNoiseT = 3;
       },
       1200},
      {"mascots",
       [](Saver& s) {
         s.ctx.settings.iBackT = 2;
         s.ctx.ShowObject = true;
       },
       2500},
      {"christmas_eve",
       [](Saver& s) {
         s.ctx.settings.iBackT = 2;
         s.ctx.Season = 4;
       },
       7500},
      // The flakes start up to 20000 units above the screen and arrive one after another.
      {"christmas_snow", [](Saver& s) { s.ctx.Season = 4; }, 100000},
  };
  for (const Shot& shot : shots) {
    SCOPED_TRACE(shot.name);
    Saver s;
    shot.setUp(s);
    s.RunFor(shot.ms);
    EXPECT_TRUE(s.back.SavePng(dir + "/" + shot.name + ".png"));
  }
}

}  // namespace
}  // namespace quib
