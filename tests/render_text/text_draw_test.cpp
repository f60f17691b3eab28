#include "render/text_draw.h"

#include <gtest/gtest.h>

#include <string>

namespace quib {
namespace {

struct ScaleCase {
  Colour c;
  int percent;
  Colour expected;
};

TEST(ScaleColour, ScalesEachByteAndClearsTheTopByteUnlessFull) {
  const ScaleCase cases[] = {
      {0x80FF40, 50, 0x407F20},   {0x12FFFFFF, 100, 0x12FFFFFF},  // untouched, top byte included
      {0x12FFFFFF, 99, 0xFCFCFC}, {0xFFFFFF, 0, 0},
      {0x0000FF, 90, 0x0000E5},   {0x646464, 40, 0x282828},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScaleColour(c.c, c.percent), c.expected)
        << std::hex << c.c << " at " << std::dec << c.percent;
  }
}

struct WipeCase {
  const char* what;
  int x, doneWidth, upToWidth, progress, clip;
  KaraokeWipe expected;
};

TEST(KaraokeWipe, EdgeFollowsPieceProgress) {
  const WipeCase cases[] = {
      {"41 px line half sung: 22 px from one left of x", 100, 0, 41, 5000, 1000, {99, 22, 0}},
      {"progress 0: edge just past the sung text", 100, 30, 60, 0, 1000, {99, 32, 0}},
      {"progress 10000: edge at the end of the piece", 100, 30, 60, 10000, 1000, {99, 61, 0}},
      {"no piece width left: edge stays past the sung text", 100, 30, 30, 7000, 1000, {99, 32, 0}},
      {"scrolled off the left: picture from -1, narrower",
       -30,
       0,
       200,
       10000,
       1000,
       {-1, 171, -30}},
      {"wider than the target: held at clip + 2", 10, 0, 5000, 10000, 640, {9, 642, 0}},
      {"entirely off the left", -300, 0, 100, 10000, 640, {-1, -199, -300}},
  };
  for (const auto& c : cases) {
    const KaraokeWipe w = ComputeKaraokeWipe(c.x, c.doneWidth, c.upToWidth, c.progress, c.clip);
    EXPECT_EQ(w.left, c.expected.left) << c.what;
    EXPECT_EQ(w.width, c.expected.width) << c.what;
    EXPECT_EQ(w.ox, c.expected.ox) << c.what;
  }
}

// ---------------------------------------------------------------------------
// Pixels.

constexpr Colour kGrey = 0x303030;
constexpr int kW = 400, kH = 80;

Canvas MakeTarget(Colour background = 0) {
  Canvas c(kW, kH);
  c.SetBrushStyle(BrushStyle::Solid);
  c.SetBrushColour(background);
  c.FillRect(0, 0, kW, kH);
  FontSpec font;
  font.face = "Arial";
  font.sizePoints = 24;
  font.bold = true;
  c.SetFont(font);
  return c;
}

int CountPixels(const Canvas& c, int x0, int x1, bool (*pred)(Colour)) {
  int n = 0;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = std::max(0, x0); x < std::min(c.Width(), x1); ++x)
      n += pred(c.Pixel(x, y)) ? 1 : 0;
  return n;
}

int CountDiffering(const Canvas& a, const Canvas& b) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += a.Pixel(x, y) != b.Pixel(x, y) ? 1 : 0;
  return n;
}

bool IsMagentaish(Colour c) {
  const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  return r > 120 && b > 120 && g < r / 2;
}

TEST(DrawOutlinedText, PercentZeroBlendsNothingButDrawsBlackWithoutBlending) {
  Canvas blended = MakeTarget(kGrey);
  DrawOutlinedText(blended, 20, 20, "Hello", 0xFFFFFF, kMagenta, 0, 0, true);
  EXPECT_EQ(CountDiffering(blended, MakeTarget(kGrey)), 0);

  Canvas direct = MakeTarget(kGrey);
  DrawOutlinedText(direct, 20, 20, "Hello", 0xFFFFFF, kMagenta, 0, 0, false);
  const int black = CountPixels(direct, 0, kW, [](Colour c) { return c == 0; });
  EXPECT_GT(black, 50);
  // Nothing but black glyphs and their antialiased rims over the grey.
  EXPECT_EQ(CountPixels(direct, 0, kW, [](Colour c) { return (c & 0xFF) > 0x30; }), 0);
}

TEST(DrawOutlinedText, BlendedHalfwayLiesBetweenBackgroundAndFullText) {
  Canvas full = MakeTarget(kGrey);
  DrawOutlinedText(full, 20, 20, "Hello", 0xFFFFFF, kMagenta, 0, 100, true);
  Canvas half = MakeTarget(kGrey);
  DrawOutlinedText(half, 20, 20, "Hello", 0xFFFFFF, kMagenta, 0, 50, true);
  int checked = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const int f = full.Pixel(x, y) & 0xFF, h = half.Pixel(x, y) & 0xFF;
      if (f != 0xFF) continue;  // a pure text pixel
      // 0x30 + (0xFF - 0x30) * 127 / 255, within a level of rounding.
      EXPECT_NEAR(h, 0x30 + (0xFF - 0x30) * 127 / 255, 2);
      ++checked;
    }
  }
  EXPECT_GT(checked, 20);
  // Outside the text's box the background is untouched.
  EXPECT_EQ(half.Pixel(5, 5), kGrey);
}

TEST(DrawKaraokeText, EmptyUpToCurrentDrawsOnlyTheUnsungStyle) {
  Canvas c = MakeTarget();
  DrawKaraokeText(c, 20, 20, "Hello", 0xFFFFFF, 100, "", "", 0, kW);
  EXPECT_GT(CountPixels(c, 0, kW, [](Colour p) { return p != 0; }), 50);
  EXPECT_EQ(CountPixels(c, 0, kW, IsMagentaish), 0);
}

// The steady wipe: left of the edge the line looks exactly fully sung, from the
// edge on exactly unsung, whatever glyph the edge cuts through.
TEST(DrawKaraokeText, EdgeSplitsSungFromUnsungPixels) {
  const std::string full = "WAVE ME", done = "WA", upTo = "WAVE";
  const int x = 30, y = 20;
  Canvas probe = MakeTarget();
  const int doneW = probe.TextWidth(done), upToW = probe.TextWidth(upTo);

  Canvas unsung = MakeTarget();
  DrawKaraokeText(unsung, x, y, full, 0xFFFFFF, 100, done, "", 0, kW);
  Canvas sung = MakeTarget();
  DrawKaraokeText(sung, x, y, full, 0xFFFFFF, 100, done, full, 10000, kW);

  struct Case {
    int progress;
    int edge;  // first column that stays unsung
  } cases[] = {
      {0, x + doneW + 1},
      {5000, x - 1 + doneW + 2 + (upToW + 1 - doneW - 2) / 2},
      {10000, x + upToW},
  };
  for (const auto& k : cases) {
    Canvas c = MakeTarget();
    DrawKaraokeText(c, x, y, full, 0xFFFFFF, 100, done, upTo, k.progress, kW);
    int wrong = 0;
    for (int yy = 0; yy < kH; ++yy)
      for (int xx = 0; xx < kW; ++xx)
        wrong += c.Pixel(xx, yy) != (xx < k.edge ? sung : unsung).Pixel(xx, yy) ? 1 : 0;
    EXPECT_EQ(wrong, 0) << "progress " << k.progress;
    EXPECT_GT(CountPixels(c, 0, k.edge, IsMagentaish), 10) << "progress " << k.progress;
    EXPECT_EQ(CountPixels(c, k.edge, kW, IsMagentaish), 0) << "progress " << k.progress;
  }
  // Halfway the edge lies inside "VE": glyph pixels on both sides of it in that piece.
  const int mid = cases[1].edge;
  auto lit = [](Colour p) { return p != 0; };
  EXPECT_GT(CountPixels(sung, x + doneW, mid, lit), 0);
  EXPECT_GT(CountPixels(unsung, mid, x + upToW, lit), 0);
}

TEST(DrawKaraokeText, LineScrolledPastTheLeftEdgeKeepsItsGlyphPlaces) {
  const std::string text = "Long scrolling line";
  Canvas clipped = MakeTarget();
  DrawKaraokeText(clipped, -30, 20, text, 0x00FFFF, 100, "", text, 6000, kW);
  // The same line 100 px further right on a wider target, where nothing is clipped.
  Canvas wide(kW + 100, kH);
  wide.SetFont(clipped.Font());
  DrawKaraokeText(wide, 70, 20, text, 0x00FFFF, 100, "", text, 6000, kW + 100);
  int wrong = 0;
  const int upToW = clipped.TextWidth(text);
  const int edge = -30 - 1 + (2 + (upToW + 1 - 2) * 6000 / 10000);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) wrong += clipped.Pixel(x, y) != wide.Pixel(x + 100, y) ? 1 : 0;
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(CountPixels(clipped, 0, edge, IsMagentaish), 10);
}

TEST(DrawKaraokeText, FadingLineIsDrawnWholeInOneStyle) {
  const std::string text = "Hello";
  Canvas sungFade = MakeTarget();
  DrawKaraokeText(sungFade, 20, 20, text, 0xFFFFFF, 60, "", text, 3000, kW);
  EXPECT_GT(CountPixels(sungFade, 0, kW,
                        [](Colour c) {
                          const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
                          return r > 80 && b > 80 && g < r / 2;
                        }),
            10);
  Canvas unsungFade = MakeTarget();
  DrawKaraokeText(unsungFade, 20, 20, text, 0xFFFFFF, 60, "", "Hel", 3000, kW);
  EXPECT_EQ(CountPixels(unsungFade, 0, kW, IsMagentaish), 0);
  EXPECT_GT(CountPixels(unsungFade, 0, kW, [](Colour c) { return c != 0; }), 50);

  Canvas invisible = MakeTarget();
  DrawKaraokeText(invisible, 20, 20, text, 0xFFFFFF, 0, "", text, 3000, kW);
  EXPECT_EQ(CountDiffering(invisible, MakeTarget()), 0);
}

}  // namespace
}  // namespace quib
