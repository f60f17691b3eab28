#include "render/slideshow_layer.h"

#include <gtest/gtest.h>

#include <fstream>

#include "render/layer_fixtures.h"
#include "support/test_support.h"

namespace quib {
namespace {

using test::Frame;

struct Show {
  SaverContext ctx;
  SlideshowLayer layer;
  Canvas back;
  Show(int w, int h, int style) : back(w, h) {
    ctx.settings.UseGaz = true;
    ctx.settings.GazStyle = style;
  }
  void Run(const FrameValues& f, bool clear = true) {
    if (clear) {
      back.SetBrushStyle(BrushStyle::Solid);
      back.SetBrushColour(0);
      back.FillRect(0, 0, back.Width(), back.Height());
    }
    layer.Draw(back, f, ctx);
  }
};

TEST(FitJpegScale, PicksTheLargestDctScaleThatFitsTheScreenOverTheFactor) {
  struct Case {
    int w, h;
    double factor;
    int denom, outW, outH;
  };
  const Case cases[] = {
      {3000, 2000, 0.7, 4, 750, 500},  // limits about 1462.9 x 1097.1
      {3000, 2000, 1.5, 8, 375, 250},  // limits about 682.7 x 512
      {3000, 2000, 1.7, 8, 375, 250},  // limits about 602.4 x 451.8
      {3000, 2000, 0.0, 1, 3000, 2000},   {800, 600, 0.7, 1, 800, 600},
      {1024, 768, 1.0, 1, 1024, 768},  // exactly the limit still fits
      {1025, 768, 1.0, 2, 513, 384},   // the decoder rounds up
      {40000, 30000, 1.5, 8, 5000, 3750},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " @" << c.factor);
    const JpegInfo info{c.w, c.h};
    const int denom = FitJpegScale(info, 1024, 768, c.factor);
    EXPECT_EQ(denom, c.denom);
    int w = 0, h = 0;
    ScaledJpegSize(info, denom, w, h);
    EXPECT_EQ(w, c.outW);
    EXPECT_EQ(h, c.outH);
  }
}

TEST(Slideshow, LargePictureIsDecodedAtTheScaleOfItsStyle) {
  test::TempDir dir;
  const std::string big = dir.File("big.jpg");
  ASSERT_TRUE(test::WriteSolidJpeg(big, 3000, 2000, QColor(200, 40, 40)));
  struct Case {
    int style, w, h;
  };
  for (const Case& c : {Case{0, 750, 500}, Case{1, 375, 250}, Case{2, 375, 250}}) {
    SCOPED_TRACE(c.style);
    Show s(1024, 768, c.style);
    s.ctx.ImageFiles = {big};
    s.Run(Frame(1024, 768, 15, true));
    EXPECT_EQ(s.layer.GazBitmap[0].Width(), c.w);
    EXPECT_EQ(s.layer.GazBitmap[0].Height(), c.h);
  }
}

TEST(Slideshow, CentredCopyCropsAPictureLargerThanTheScreenEqually) {
  test::TempDir dir;
  // Left half red, right half blue: the crop must keep the middle.
  // 280 wide still fits the limit 200 / 0.7 at full scale.
  QImage img(280, 100, QImage::Format_RGB32);
  img.fill(QColor(255, 0, 0));
  for (int y = 0; y < 100; ++y)
    for (int x = 140; x < 280; ++x) img.setPixelColor(x, y, QColor(0, 0, 255));
  const std::string path = dir.File("wide.jpg");
  ASSERT_TRUE(img.save(QString::fromStdString(path), "JPG", 95));
  Show s(200, 150, 0);
  s.ctx.ImageFiles = {path};
  s.Run(Frame(200, 150, 600, true));  // past the fade-in: drawn whole
  EXPECT_EQ(s.layer.GazBitmap[0].Width(), 200);
  EXPECT_EQ(s.layer.GazBitmap[0].Height(), 100);
  EXPECT_TRUE(test::IsRed(s.back.Pixel(90, 75)));
  EXPECT_GT(test::B(s.back.Pixel(110, 75)), 180);
  EXPECT_EQ(s.back.Pixel(100, 10), 0u);  // rows above the centred picture
}

TEST(Slideshow, MonoChroDecodesInGrey) {
  test::TempDir dir;
  const std::string red = dir.File("red.jpg");
  ASSERT_TRUE(test::WriteSolidJpeg(red, 40, 30, QColor(255, 0, 0)));
  for (bool grey : {false, true}) {
    SCOPED_TRACE(grey);
    Show s(100, 80, 0);
    s.ctx.settings.MonoChro = grey;
    s.ctx.ImageFiles = {red};
    s.Run(Frame(100, 80, 15, true));
    const Colour c = s.back.Pixel(50, 40);
    if (grey) {
      EXPECT_EQ(test::R(c), test::G(c));
      EXPECT_EQ(test::G(c), test::B(c));
      EXPECT_GT(test::R(c), 40);
    } else {
      EXPECT_TRUE(test::IsRed(c));
    }
  }
}

TEST(Slideshow, UnreadableFilesAreSkippedAndTheNextCycleTakesTheNextFile) {
  test::TempDir dir;
  const std::string good = dir.File("good.jpg");
  ASSERT_TRUE(test::WriteSolidJpeg(good, 40, 30, QColor(255, 0, 0)));
  const std::string goodBytes = test::ReadAll(good);
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"zero bytes", ""},
      {"not a JPEG", "these are not the pictures you are looking for"},
      {"cut in the header", goodBytes.substr(0, 40)},
      {"only the start marker", "\xFF\xD8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Show s(100, 80, 0);
    s.ctx.ImageFiles = {dir.Write("bad.jpg", c.bytes), good};
    s.Run(Frame(100, 80, 100, true));
    EXPECT_EQ(s.ctx.ImageIndex, 1);
    EXPECT_EQ(test::CountNonBlack(s.back), 0);
    while (s.ctx.ImageTime != 0) s.Run(Frame(100, 80, 100));
    s.Run(Frame(100, 80, 100));
    EXPECT_EQ(s.ctx.ImageIndex, 0);
    EXPECT_TRUE(test::IsRed(s.back.Pixel(50, 40)));
  }
}

TEST(Slideshow, PictureCutInItsDataNeverStopsTheShow) {
  test::TempDir dir;
  const std::string full = dir.File("full.jpg");
  ASSERT_TRUE(test::WritePictureJpeg(full, 160, 120, 30));
  const std::string bytes = test::ReadAll(full);
  Show s(100, 80, 0);
  s.ctx.ImageFiles = {dir.Write("cut.jpg", bytes.substr(0, bytes.size() / 2))};
  for (int i = 0; i < 60; ++i) s.Run(Frame(100, 80, 100, i == 0));
  EXPECT_EQ(s.ctx.ImageIndex, 0);
}

TEST(Slideshow, OnePictureIsLoadedAgainEveryCycle) {
  test::TempDir dir;
  const std::string path = dir.File("one.jpg");
  ASSERT_TRUE(test::WriteSolidJpeg(path, 40, 30, QColor(255, 0, 0)));
  Show s(100, 80, 0);
  s.ctx.ImageFiles = {path};
  s.Run(Frame(100, 80, 100, true));
  EXPECT_TRUE(test::IsRed(s.back.Pixel(50, 40)));
  // A changed file shows from the next cycle on: it was read again.
  ASSERT_TRUE(test::WriteSolidJpeg(path, 40, 30, QColor(0, 255, 0)));
  while (s.ctx.ImageTime != 0) s.Run(Frame(100, 80, 100));
  s.Run(Frame(100, 80, 100));
  EXPECT_EQ(s.ctx.ImageIndex, 0);
  EXPECT_GT(test::G(s.back.Pixel(50, 40)), 180);
}

class LoadedShow : public testing::Test {
 protected:
  static constexpr int W = 200, H = 150, PicW = 60, PicH = 40;
  void SetUp() override {
    red_ = dir_.File("red.jpg");
    green_ = dir_.File("green.jpg");
    ASSERT_TRUE(test::WriteSolidJpeg(red_, PicW, PicH, QColor(255, 0, 0)));
    ASSERT_TRUE(test::WriteSolidJpeg(green_, PicW, PicH, QColor(0, 255, 0)));
  }
  test::TempDir dir_;
  std::string red_, green_;
};

TEST_F(LoadedShow, TilesStandStillOnThePlateauAndVanishForTheLast50Ms) {
  struct Case {
    int timeAfterFrame;
    int draws;          // random numbers used by the frame
    bool wholeAtPlace;  // the picture at its centred place, nothing else
    bool blank;
  };
  const Case cases[] = {
      {100, 50, false, false}, {500, 0, true, false},    {2500, 0, true, false},
      {4500, 0, true, false},  {4949, 50, false, false}, {4950, 0, false, true},
      {4999, 0, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.timeAfterFrame);
    Show s(W, H, 3);
    s.ctx.ImageFiles = {red_};
    s.Run(Frame(W, H, 1, true));
    s.ctx.ImageTime = c.timeAfterFrame - 1;
    const Random before = s.ctx.random;
    s.Run(Frame(W, H, 1));
    EXPECT_EQ(test::DrawsBetween(before, s.ctx.random), c.draws);
    const test::Bounds b = test::BoundsOf(s.back, test::IsRed);
    if (c.wholeAtPlace) {
      EXPECT_EQ(b.left, W / 2 - PicW / 2);
      EXPECT_EQ(b.top, H / 2 - PicH / 2);
      EXPECT_EQ(b.right, W / 2 + PicW / 2 - 1);
      EXPECT_EQ(b.bottom, H / 2 + PicH / 2 - 1);
    }
    if (c.blank) {
      EXPECT_EQ(test::CountNonBlack(s.back), 0);
    }
  }
}

TEST_F(LoadedShow, SlideEntersJustLeftOfTheRightEdgeAndReachesItsPlaceAt500Ms) {
  const int x = W / 2 - PicW / 2;
  for (int dt : {15, 100, 250, 499}) {
    SCOPED_TRACE(dt);
    Show s(W, H, 4);
    s.ctx.ImageFiles = {red_};
    s.Run(Frame(W, H, dt, true));
    EXPECT_EQ(test::BoundsOf(s.back, test::IsRed).left, x + ((500 - dt) * (W - x)) / 500);
    s.ctx.ImageTime = 500 - dt;
    s.Run(Frame(W, H, dt));
    EXPECT_EQ(test::BoundsOf(s.back, test::IsRed).left, x);
  }
}

TEST_F(LoadedShow, CrossFadeStartsOverNothingThenOverThePreviousPicture) {
  Show s(W, H, 5);
  s.ctx.ImageFiles = {red_, green_};
  s.Run(Frame(W, H, 500, true));  // cycle 1 at 500 ms: red at half strength over black
  Colour c = s.back.Pixel(W / 2, H / 2);
  EXPECT_NEAR(test::R(c), 127, 6);
  EXPECT_LT(test::G(c), 20);
  while (s.ctx.ImageTime != 0) s.Run(Frame(W, H, 500));
  // Cycle 2 at 500 ms: green at half strength, the previous red over it at half.
  s.Run(Frame(W, H, 500));
  c = s.back.Pixel(W / 2, H / 2);
  EXPECT_NEAR(test::R(c), 127, 8);
  EXPECT_NEAR(test::G(c), 64, 8);
  s.Run(Frame(W, H, 600));  // past the fade: green alone
  c = s.back.Pixel(W / 2, H / 2);
  EXPECT_LT(test::R(c), 20);
  EXPECT_GT(test::G(c), 230);
}

TEST_F(LoadedShow, SwitchingToCrossFadeInMidCycleShowsThePictureAlreadyLoaded) {
  Show s(W, H, 0);
  s.ctx.ImageFiles = {red_};
  s.Run(Frame(W, H, 1200, true));
  s.ctx.settings.GazStyle = 5;
  s.Run(Frame(W, H, 15));
  EXPECT_TRUE(test::IsRed(s.back.Pixel(W / 2, H / 2)));
  EXPECT_EQ(s.layer.FadeSlot, -1);
}

TEST_F(LoadedShow, InvisiblePicturesAreStillLoadedAndTimed) {
  for (int style : {0, 1, 2, 3, 4, 5}) {
    SCOPED_TRACE(style);
    Show s(W, H, style);
    s.ctx.settings.bTransA = 0;
    s.ctx.ImageFiles = {red_, green_, red_, green_, red_};
    for (int i = 0; i < 170; ++i) s.Run(Frame(W, H, 15, i == 0));
    EXPECT_EQ(test::CountNonBlack(s.back), 0);
    EXPECT_NE(s.ctx.ImageIndex, 0);
  }
}

TEST_F(LoadedShow, CrossingLoadsTheNextPairOnceBothHaveLeft) {
  // Two 60-wide pictures on a 200-wide screen have left when the offset passes 260.
  Show s(W, H, 1);
  s.ctx.ImageFiles = {red_, green_, red_};
  s.Run(Frame(W, H, 10, true));
  EXPECT_EQ(s.ctx.ImageIndex, 2);
  int frames = 1;
  while (s.ctx.ImageIndex == 2 && frames < 1000) {
    s.Run(Frame(W, H, 10));
    ++frames;
  }
  // 1.25 pixels a frame: the offset passes 260 on frame 209, the pair loads on 210.
  EXPECT_EQ(frames, 210);
  EXPECT_EQ(s.ctx.ImageIndex, 1);
}

TEST(Slideshow, VerticalScrollMovesTheStripOneScreenHeightIn11Seconds) {
  // H 44: a 24-row picture is taller than H div 2 - 1, so it lands on row 1
  // of the 66-row strip, whose rows 22..65 are shown.
  test::TempDir dir;
  const std::string tall = dir.File("tall.jpg");
  ASSERT_TRUE(test::WriteSolidJpeg(tall, 8, 24, QColor(255, 0, 0)));
  const std::string bad = dir.Write("bad.jpg", "");
  constexpr int W = 64, H = 44;
  // Frame times whose scroll steps are exact binary fractions, steady and mixed.
  for (int dt : {250, 125, 0}) {
    SCOPED_TRACE(dt);
    auto frameTime = [dt](int t) { return dt != 0 ? dt : ((t / 250) % 2 ? 125 : 250); };
    Show s(W, H, 2);
    s.ctx.ImageFiles = {tall, bad, bad, bad, bad, bad};
    s.Run(Frame(W, H, frameTime(0), true));
    EXPECT_EQ(s.layer.GazBitmap[1].Width(), W);
    EXPECT_EQ(s.layer.GazBitmap[1].Height(), 66);
    const int firstShift = frameTime(0) * H / 11000;
    EXPECT_EQ(test::BoundsOf(s.back, test::IsRed).bottom, 1 + 23 + firstShift - 22);
    for (int t = frameTime(0); t < 11000; t += frameTime(t)) s.Run(Frame(W, H, frameTime(t)));
    const test::Bounds b = test::BoundsOf(s.back, test::IsRed);
    EXPECT_EQ(b.top, 1 + 44 - 22);
    EXPECT_EQ(b.bottom, H - 1);
  }
}

TEST(Slideshow, VerticalScrollBlanksTheStripOnResizeAndStyleChange) {
  test::TempDir dir;
  const std::string tall = dir.File("tall.jpg");
  ASSERT_TRUE(test::WriteSolidJpeg(tall, 8, 24, QColor(255, 0, 0)));
  const std::string bad = dir.Write("bad.jpg", "");
  struct Case {
    const char* name;
    bool resize, restyle;
  };
  for (const Case& c : {Case{"resize", true, false}, Case{"style change", false, true}}) {
    SCOPED_TRACE(c.name);
    Show s(64, 44, 2);
    s.ctx.ImageFiles = {tall, bad, bad, bad};
    for (int i = 0; i < 5; ++i) s.Run(Frame(64, 44, 250, i == 0));
    ASSERT_FALSE(test::BoundsOf(s.back, test::IsRed).Empty());
    if (c.restyle) {
      s.ctx.settings.GazStyle = 0;
      s.Run(Frame(64, 44, 250));
      s.ctx.settings.GazStyle = 2;
    }
    s.back.SetSize(64, c.resize ? 48 : 44);
    s.Run(Frame(64, c.resize ? 48 : 44, 250, c.resize));
    EXPECT_EQ(s.layer.GazBitmap[1].Height(), c.resize ? 72 : 66);
    EXPECT_TRUE(test::BoundsOf(s.back, test::IsRed).Empty());
  }
}

TEST(Slideshow, CoversTheScreenOnlyWhenScrollingOpaquely) {
  struct Case {
    bool useGaz;
    int files, style, opacity, format;
    bool covers;
  };
  const Case cases[] = {
      {true, 1, 2, 100, 0, true},  {true, 0, 2, 100, 0, false}, {false, 1, 2, 100, 0, false},
      {true, 1, 0, 100, 0, false}, {true, 1, 2, 90, 0, false},  {true, 1, 2, 100, 1, false},
  };
  for (const Case& c : cases) {
    SaverContext ctx;
    ctx.settings.UseGaz = c.useGaz;
    ctx.settings.GazStyle = c.style;
    ctx.settings.bTransA = c.opacity;
    ctx.settings.bTransB = c.format;
    ctx.ImageFiles.assign(c.files, "a.jpg");
    EXPECT_EQ(SlideshowLayer::CoversScreen(ctx), c.covers)
        << c.useGaz << c.files << c.style << c.opacity << c.format;
  }
}

TEST(BlendDraw, OpacityAndSourceAlphaFormat) {
  // A red source over grey 100: constant alpha mixes; the source-alpha format
  // takes the source's alpha as 0 and adds the scaled picture.
  struct Case {
    int opacity, format;
    Colour expected;
  };
  const Case cases[] = {
      {100, 0, RGB(255, 0, 0)},     {50, 0, RGB(177, 50, 50)},   {0, 0, RGB(100, 100, 100)},
      {100, 1, RGB(255, 100, 100)}, {50, 1, RGB(227, 100, 100)}, {150, 0, RGB(255, 0, 0)},
      {-20, 0, RGB(100, 100, 100)},
  };
  Canvas src(4, 4);
  src.SetBrushColour(RGB(255, 0, 0));
  src.FillRect(0, 0, 4, 4);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.opacity << "/" << c.format);
    for (bool rect : {false, true}) {
      Canvas dest(8, 8);
      dest.SetBrushColour(RGB(100, 100, 100));
      dest.FillRect(0, 0, 8, 8);
      if (rect) {
        BlendDrawRect(dest, 2, 2, 6, 6, src, 0, 0, 4, 4, c.opacity, c.format);
      } else {
        BlendDraw(dest, 2, 2, src, c.opacity, c.format);
      }
      const Colour got = dest.Pixel(3, 3);
      EXPECT_NEAR(test::R(got), test::R(c.expected), 1);
      EXPECT_NEAR(test::G(got), test::G(c.expected), 1);
      EXPECT_NEAR(test::B(got), test::B(c.expected), 1);
      EXPECT_EQ(dest.Pixel(1, 1), RGB(100, 100, 100));
    }
  }
}

}  // namespace
}  // namespace quib
