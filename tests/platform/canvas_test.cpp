#include "platform/canvas.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/canvas_impl.h"
#include "platform/fonts.h"
#include "support/test_support.h"

namespace quib {
namespace {

constexpr Colour White = 0xFFFFFF;

// Bounding box of the pixels that are not black: {x0, y0, x1, y1}, right/bottom exclusive.
std::array<int, 4> InkBox(const Canvas& c) {
  std::array<int, 4> b{c.Width(), c.Height(), 0, 0};
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x)
      if (c.Pixel(x, y) != 0) {
        b[0] = std::min(b[0], x);
        b[1] = std::min(b[1], y);
        b[2] = std::max(b[2], x + 1);
        b[3] = std::max(b[3], y + 1);
      }
  return b;
}

int CountInk(const Canvas& c) {
  int n = 0;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) n += c.Pixel(x, y) != 0;
  return n;
}

TEST(Canvas, NewSurfaceIsBlackAndColoursAreBgr) {
  Canvas c(4, 3);
  EXPECT_EQ(c.Width(), 4);
  EXPECT_EQ(c.Height(), 3);
  EXPECT_EQ(c.Pixel(3, 2), 0u);
  c.SetPixel(1, 1, RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(c.Pixel(1, 1), 0x563412u);
  EXPECT_EQ(c.Bits()[c.BytesPerLine() / 4 + 1], 0xFF123456u);  // Qt's layout
  EXPECT_EQ(c.Pixel(-1, 0), 0u);
  EXPECT_EQ(c.Pixel(4, 0), 0u);
  Canvas empty;
  EXPECT_EQ(empty.Width(), 0);
  empty.FillRect(0, 0, 10, 10);  // harmless
  empty.TextOut(0, 0, "x");
}

TEST(Canvas, LineLeavesOutTheEndPoint) {
  struct Case {
    int x0, y0, x1, y1;
    int pixels;  // drawn
  } cases[] = {{2, 5, 8, 5, 6}, {8, 5, 2, 5, 6},   {3, 1, 3, 9, 8},
               {0, 0, 5, 5, 5}, {0, 0, 10, 3, 10}, {4, 4, 4, 4, 0}};
  for (const auto& k : cases) {
    Canvas c(20, 20);
    c.SetPenColour(White);
    c.MoveTo(k.x0, k.y0);
    c.LineTo(k.x1, k.y1);
    EXPECT_EQ(CountInk(c), k.pixels) << k.x0 << "," << k.y0 << "-" << k.x1 << "," << k.y1;
    EXPECT_EQ(c.Pixel(k.x1, k.y1), 0u);
    if (k.pixels) {
      EXPECT_EQ(c.Pixel(k.x0, k.y0), White);
    }
  }
  // A line from far outside is clipped, not lost.
  Canvas c(100, 20);
  c.SetPenColour(White);
  c.MoveTo(-100000, 10);
  c.LineTo(100000, 10);
  EXPECT_EQ(CountInk(c), 100);
  c.MoveTo(-50, -50);
  c.LineTo(150, 150);  // crosses (0,0)..(19,19)
  EXPECT_EQ(CountInk(c), 100 + 19);
  // The position moves on; a clear pen draws nothing.
  Canvas d(10, 10);
  d.SetPenColour(White);
  d.SetPenStyle(PenStyle::Clear);
  d.MoveTo(0, 0);
  d.LineTo(9, 0);
  d.SetPenStyle(PenStyle::Solid);
  d.LineTo(9, 9);
  EXPECT_EQ(CountInk(d), 9);
  EXPECT_EQ(d.Pixel(9, 0), White);
}

// Every slope and direction, and lines that start or end off the surface: the
// pixels are those of the ideal line rounded to the nearest pixel (halves away
// from the start), end point left out.
TEST(Canvas, LinePixelsFollowTheIdealLine) {
  const int ends[][4] = {{1, 2, 30, 9},    {30, 9, 1, 2},     {3, 30, 7, 1},   {7, 1, 3, 30},
                         {0, 0, 31, 31},   {31, 0, 0, 31},    {5, 5, 25, 6},   {-40, -7, 50, 28},
                         {45, 3, -20, 20}, {16, -90, 10, 70}, {2, 17, 29, 17}, {29, 4, 29, -9}};
  for (const auto& e : ends) {
    SCOPED_TRACE(std::to_string(e[0]) + "," + std::to_string(e[1]) + " " + std::to_string(e[2]) +
                 "," + std::to_string(e[3]));
    Canvas c(32, 32);
    c.SetPenColour(White);
    c.MoveTo(e[0], e[1]);
    c.LineTo(e[2], e[3]);
    std::vector<bool> want(32 * 32, false);
    const int dx = e[2] - e[0], dy = e[3] - e[1];
    const int n = std::max(std::abs(dx), std::abs(dy));
    for (int k = 0; k < n; ++k) {
      auto along = [&](int start, int d) {
        const int q = (2 * std::abs(d) * k + n) / (2 * n);
        return start + (d < 0 ? -q : q);
      };
      const int x = along(e[0], dx), y = along(e[1], dy);
      if (x >= 0 && y >= 0 && x < 32 && y < 32) want[static_cast<size_t>(y * 32 + x)] = true;
    }
    int wrong = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        wrong += (c.Pixel(x, y) == White) != want[static_cast<size_t>(y * 32 + x)];
    EXPECT_EQ(wrong, 0);
  }
}

TEST(Canvas, FillRectLeavesOutRightAndBottom) {
  Canvas c(10, 10);
  c.SetBrushColour(White);
  c.FillRect(2, 3, 6, 8);
  EXPECT_EQ(InkBox(c), (std::array<int, 4>{2, 3, 6, 8}));
  EXPECT_EQ(CountInk(c), 20);
  Canvas d(10, 10);
  d.SetBrushColour(White);
  d.FillRect(6, 8, 2, 3);  // spanned the other way: the same pixels
  EXPECT_EQ(InkBox(d), (std::array<int, 4>{2, 3, 6, 8}));
  d.SetBrushStyle(BrushStyle::Clear);
  d.FillRect(0, 0, 10, 10);
  EXPECT_EQ(CountInk(d), 20);
}

TEST(Canvas, RectangleOutlineAndFill) {
  Canvas c(10, 10);
  c.SetPenColour(RGB(255, 0, 0));
  c.SetBrushColour(RGB(0, 0, 255));
  c.Rectangle(1, 1, 6, 5);
  EXPECT_EQ(InkBox(c), (std::array<int, 4>{1, 1, 6, 5}));
  EXPECT_EQ(c.Pixel(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(c.Pixel(5, 4), RGB(255, 0, 0));
  EXPECT_EQ(c.Pixel(2, 2), RGB(0, 0, 255));
  EXPECT_EQ(c.Pixel(4, 3), RGB(0, 0, 255));
  Canvas f(10, 10);
  f.SetPenColour(White);
  f.FrameRect(1, 1, 6, 5);
  EXPECT_EQ(CountInk(f), 5 * 4 - 3 * 2);
}

TEST(Canvas, EllipseFillsItsWholeBox) {
  struct Case {
    int w, h;
  } cases[] = {{1, 1}, {2, 2}, {3, 3}, {20, 20}, {21, 13}, {200, 4}, {2, 50}, {7, 1}};
  for (const auto& k : cases) {
    for (bool pen : {true, false}) {
      Canvas c(260, 60);
      c.SetPenColour(RGB(255, 0, 0));
      c.SetPenStyle(pen ? PenStyle::Solid : PenStyle::Clear);
      c.SetBrushColour(White);
      c.Ellipse(5, 5, 5 + k.w, 5 + k.h);
      EXPECT_EQ(InkBox(c), (std::array<int, 4>{5, 5, 5 + k.w, 5 + k.h}))
          << k.w << "x" << k.h << (pen ? " pen" : " no pen");
      // Symmetric left to right and top to bottom.
      for (int y = 5; y < 5 + k.h; ++y)
        for (int x = 5; x < 5 + k.w; ++x)
          ASSERT_EQ(c.Pixel(x, y) != 0, c.Pixel(5 + k.w - 1 - (x - 5), 5 + k.h - 1 - (y - 5)) != 0)
              << k.w << "x" << k.h << " at " << x << "," << y;
    }
  }
  // A circle: corners stay empty, the centre is brush, the edge pen.
  Canvas c(40, 40);
  c.SetPenColour(RGB(255, 0, 0));
  c.SetBrushColour(White);
  c.Ellipse(0, 0, 40, 40);
  EXPECT_EQ(c.Pixel(0, 0), 0u);
  EXPECT_EQ(c.Pixel(20, 20), White);
  EXPECT_EQ(c.Pixel(0, 20), RGB(255, 0, 0));
  EXPECT_EQ(c.Pixel(20, 39), RGB(255, 0, 0));
}

TEST(Canvas, XorTwiceRestores) {
  Canvas c(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) c.SetPixel(x, y, RGB(x * 4, y * 4, (x ^ y) * 4));
  Canvas before(64, 64);
  before.Draw(0, 0, c);
  c.SetPenMode(PenMode::Xor);
  c.SetPenColour(RGB(0x0F, 0xF0, 0x55));
  c.SetBrushColour(RGB(0x80, 0x01, 0xFF));
  c.MoveTo(1, 2);
  c.LineTo(60, 40);
  EXPECT_EQ(c.Pixel(1, 2), before.Pixel(1, 2) ^ RGB(0x0F, 0xF0, 0x55));
  c.MoveTo(1, 2);
  c.LineTo(60, 40);
  EXPECT_EQ(c.Pixel(1, 2), before.Pixel(1, 2));
  c.Rectangle(10, 10, 30, 25);
  EXPECT_EQ(c.Pixel(15, 15), before.Pixel(15, 15) ^ RGB(0x80, 0x01, 0xFF));
  c.Rectangle(10, 10, 30, 25);
  for (int pass = 0; pass < 2; ++pass) {
    for (int width : {1, 3}) {
      c.SetPenWidth(width);
      c.MoveTo(1, 2);
      c.LineTo(60, 40);
      c.LineTo(5, 60);
    }
    c.SetPenWidth(1);
    c.Rectangle(10, 10, 30, 25);
    c.Ellipse(20, 20, 50, 45);
  }
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(c.Pixel(x, y), before.Pixel(x, y)) << x << "," << y;
  // The alpha byte stays opaque.
  for (int i = 0; i < 64; ++i) ASSERT_EQ(c.Bits()[i] >> 24, 0xFFu);
}

Canvas Strip(std::initializer_list<Colour> colours) {
  Canvas c(static_cast<int>(colours.size()), 1);
  int x = 0;
  for (Colour k : colours) c.SetPixel(x++, 0, k);
  return c;
}

TEST(Canvas, StretchMirrorsWithNegativeWidth) {
  const Colour A = 0x0000FF, B = 0x00FF00, C = 0xFF0000, D = 0xFFFFFF;
  Canvas src = Strip({A, B, C, D});
  Canvas c(12, 2);
  c.StretchFrom(10, 0, -4, 1, src, 0, 0, 4, 1);  // covers columns 6..9, mirrored
  EXPECT_EQ(c.Pixel(5, 0), 0u);
  EXPECT_EQ(c.Pixel(6, 0), D);
  EXPECT_EQ(c.Pixel(7, 0), C);
  EXPECT_EQ(c.Pixel(8, 0), B);
  EXPECT_EQ(c.Pixel(9, 0), A);
  EXPECT_EQ(c.Pixel(10, 0), 0u);
  Canvas up(12, 2);
  up.StretchFrom(0, 0, 8, 2, src, 0, 0, 4, 1);  // doubled
  for (int x = 0; x < 8; ++x) {
    const Colour expect[] = {A, B, C, D};
    EXPECT_EQ(up.Pixel(x, 0), expect[x / 2]) << x;
    EXPECT_EQ(up.Pixel(x, 1), up.Pixel(x, 0));
  }
  Canvas down(4, 1);
  down.StretchFrom(0, 0, 2, 1, src, 0, 0, 4, 1);  // halved
  EXPECT_EQ(down.Pixel(0, 0), B);
  EXPECT_EQ(down.Pixel(1, 0), D);
  Canvas flipped(4, 2);
  Canvas tall(1, 2);
  tall.SetPixel(0, 0, A);
  tall.SetPixel(0, 1, B);
  flipped.StretchFrom(0, 2, 1, -2, tall, 0, 0, 1, 2);
  EXPECT_EQ(flipped.Pixel(0, 0), B);
  EXPECT_EQ(flipped.Pixel(0, 1), A);
}

TEST(Canvas, CopyClipsAndHandlesOverlap) {
  Canvas src = Strip({1, 2, 3, 4});
  Canvas c(3, 1);
  c.CopyFrom(-1, 0, src, 0, 0, 4, 1);
  EXPECT_EQ(c.Pixel(0, 0), 2u);
  EXPECT_EQ(c.Pixel(2, 0), 4u);
  c.CopyFrom(0, 0, src, 2, 0, 10, 1);  // clipped to the source
  EXPECT_EQ(c.Pixel(0, 0), 3u);
  EXPECT_EQ(c.Pixel(1, 0), 4u);
  EXPECT_EQ(c.Pixel(2, 0), 4u);  // untouched
  Canvas s = Strip({1, 2, 3, 4, 5});
  s.CopyFrom(1, 0, s, 0, 0, 4, 1);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(s.Pixel(x, 0), Colour(x == 0 ? 1 : x)) << x;
}

TEST(Canvas, ColourKeyedCopy) {
  const Colour Key = RGB(255, 0, 255);
  Canvas src = Strip({Key, 0x123456, Key, 0x000001});
  Canvas c(8, 2);
  c.SetBrushColour(0x777777);
  c.FillRect(0, 0, 8, 2);
  c.TransparentFrom(0, 0, 4, 1, src, 0, 0, 4, 1, Key);
  EXPECT_EQ(c.Pixel(0, 0), 0x777777u);
  EXPECT_EQ(c.Pixel(1, 0), 0x123456u);
  EXPECT_EQ(c.Pixel(2, 0), 0x777777u);
  EXPECT_EQ(c.Pixel(3, 0), 0x000001u);
  c.TransparentFrom(0, 1, 8, 1, src, 0, 0, 4, 1, Key);  // stretched
  EXPECT_EQ(c.Pixel(0, 1), 0x777777u);
  EXPECT_EQ(c.Pixel(2, 1), 0x123456u);
  EXPECT_EQ(c.Pixel(3, 1), 0x123456u);
  EXPECT_EQ(c.Pixel(7, 1), 0x000001u);
}

int Channel(Colour c, int shift) {
  return static_cast<int>((c >> shift) & 0xFF);
}

TEST(Canvas, ConstantAlphaBlendWithinOneLevel) {
  const Colour Src[] = {0xFFFFFF, 0x10E080, 0x000000, 0x3C78B4};
  const Colour Dst[] = {0x000000, 0xFFFFFF, 0x8040C0, 0x3C78B4};
  for (int alpha : {1, 2, 64, 127, 128, 200, 254, 255}) {
    for (Colour s : Src) {
      for (Colour d : Dst) {
        // Wide enough for whole groups of pixels and a remainder.
        Canvas src(11, 2), dst(11, 2);
        src.SetBrushColour(s);
        src.FillRect(0, 0, 11, 2);
        dst.SetBrushColour(d);
        dst.FillRect(0, 0, 11, 2);
        dst.AlphaBlendFrom(0, 0, 11, 2, src, 0, 0, 11, 2, alpha);
        for (int x : {0, 5, 10}) {
          Colour got = dst.Pixel(x, 1);
          for (int shift : {0, 8, 16}) {
            double exact = (Channel(s, shift) * alpha + Channel(d, shift) * (255 - alpha)) / 255.0;
            EXPECT_LE(std::abs(Channel(got, shift) - exact), 1.0)
                << "alpha " << alpha << " src " << std::hex << s << " dst " << d << " x " << x;
          }
        }
      }
    }
  }
  // Alpha 0 draws nothing; the blend also stretches.
  Canvas src(2, 2), dst(4, 4);
  src.SetBrushColour(White);
  src.FillRect(0, 0, 2, 2);
  dst.AlphaBlendFrom(0, 0, 4, 4, src, 0, 0, 2, 2, 0);
  EXPECT_EQ(CountInk(dst), 0);
  dst.AlphaBlendFrom(0, 0, 4, 4, src, 0, 0, 2, 2, 128);
  EXPECT_EQ(CountInk(dst), 16);
  EXPECT_NEAR(Channel(dst.Pixel(3, 3), 0), 128, 1);
}

TEST(Canvas, PremultipliedBlendAddsTheSource) {
  struct Case {
    Colour src, dst;
    int alpha;
    Colour expect;
  } cases[] = {
      {0x808080, 0x101010, 255, 0x909090},
      {0x808080, 0x101010, 128, 0x505050},
      {0xFF8000, 0x80A0FF, 255, 0xFFFFFF},  // clamped per channel
      {0x000000, 0x445566, 200, 0x445566},
  };
  for (const auto& k : cases) {
    // Nine pixels: four at a time and the rest one by one; then stretched.
    for (int dw : {9, 18}) {
      Canvas src(9, 1), dst(18, 1);
      src.SetBrushColour(k.src);
      src.FillRect(0, 0, 9, 1);
      dst.SetBrushColour(k.dst);
      dst.FillRect(0, 0, 18, 1);
      dst.AlphaBlendFrom(0, 0, dw, 1, src, 0, 0, 9, 1, k.alpha, true);
      for (int x : {0, 3, 4, 8, dw - 1}) {
        Colour got = dst.Pixel(x, 0);
        for (int shift : {0, 8, 16})
          EXPECT_NEAR(Channel(got, shift), Channel(k.expect, shift), 1)
              << std::hex << k.expect << " at " << x;
        EXPECT_EQ(dst.Bits()[x] >> 24, 0xFFu);
      }
      if (dw == 9) {
        EXPECT_EQ(dst.Pixel(9, 0), k.dst);
      }
    }
  }
}

TEST(Canvas, FontSizesAndFaces) {
  EXPECT_EQ(FontPixelSize(16), 21);
  EXPECT_EQ(FontPixelSize(17), 23);
  EXPECT_EQ(FontPixelSize(36), 48);
  EXPECT_EQ(MappedFontFamily(""), "IPAPGothic");
  EXPECT_EQ(MappedFontFamily("\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E"),
            "IPAPGothic");  // "ＭＳ Ｐゴシック" in CP932, as the settings file holds it
  EXPECT_EQ(MappedFontFamily("ms gothic"), "IPAGothic");
  EXPECT_EQ(MappedFontFamily("Arial"), "Liberation Sans");
  EXPECT_EQ(MappedFontFamily("Comic Sans MS"), "Comic Neue");
  struct Face {
    const char* face;
    const char* family;
  } faces[] = {{"", "IPAPGothic"},
               {"MS UI Gothic", "IPAPGothic"},
               {"MS Gothic", "IPAGothic"},
               {"Arial", "Liberation Sans"},
               {"Comic Sans MS", "Comic Neue"}};
  for (const auto& f : faces) {
    Canvas c(10, 10);
    FontSpec fontSpec;
    fontSpec.face = f.face;
    fontSpec.sizePoints = 16;
    c.SetFont(fontSpec);
    c.TextWidth("x");
    // The family that was really found, not only asked for.
    EXPECT_EQ(QFontInfo(c.impl()->QtFont()).family().toStdString(), f.family) << f.face;
  }
  // Qt's own look-up knows the Windows names once the substitutions are in.
  InstallFontSubstitutions();
  EXPECT_EQ(QFontInfo(QFont("MS PGothic")).family().toStdString(), "IPAPGothic");
}

TEST(Canvas, CharacterHeightAtNinetySixDpi) {
  // 16 points are a character height (the em, internal leading excluded) of
  // 16 * 96 / 72 = 21 pixels; the cell adds IPAPGothic's internal leading
  // (its Windows ascent and descent, 1802 + 401 units of 2048: 18 + 4 pixels).
  Canvas c(10, 10);
  FontSpec fontSpec;
  fontSpec.shiftJisCharset = true;
  fontSpec.sizePoints = 16;
  c.SetFont(fontSpec);
  EXPECT_EQ(c.impl()->QtFont().pixelSize(), 21);
  EXPECT_EQ(c.TextHeight("1A"), 22);
  EXPECT_EQ(c.impl()->FontAscent(), 18);
  c.SetFontSize(36);
  EXPECT_EQ(c.impl()->QtFont().pixelSize(), 48);
  EXPECT_EQ(c.TextHeight("1A"), 51);
  EXPECT_EQ(c.TextHeight(""), 51);
  EXPECT_EQ(c.TextWidth(""), 0);
  // IPAPGothic is proportional: "i" is narrower than "W".
  EXPECT_LT(c.TextWidth("i"), c.TextWidth("W"));
  // IPAGothic is not: a full-width character is one em wide, in either encoding.
  c.SetFontFace("MS Gothic");
  EXPECT_EQ(c.TextWidth("\x82\xA0"), 48);      // "あ" in CP932
  EXPECT_EQ(c.TextWidth("\xE3\x81\x82"), 48);  // "あ" in UTF-8
  EXPECT_EQ(c.TextWidth("ab"), 48);
}

TEST(Canvas, TextIsPlacedByTheTopLeftOfItsCell) {
  // "Agあ|": ascender, descender, a Japanese glyph (from the fallback face for Latin faces).
  const std::string text = "Ag\x82\xA0|";
  for (const char* face : {"", "Arial", "Comic Sans MS", "MS Gothic"}) {
    for (bool bold : {false, true}) {
      SCOPED_TRACE(std::string(face) + (bold ? " bold" : ""));
      Canvas c(200, 60);
      FontSpec fontSpec;
      fontSpec.face = face;
      fontSpec.bold = bold;
      fontSpec.sizePoints = 24;
      c.SetFont(fontSpec);
      c.SetTextColour(White);
      c.TextOut(10, 7, text);
      const int w = c.TextWidth(text), h = c.TextHeight(text);
      // Roughly inside the cell (some glyphs, and synthetic bold, reach a little beyond it).
      auto ink = InkBox(c);  // read without any explicit flush
      EXPECT_GE(ink[0], 10 - 2);
      EXPECT_GE(ink[1], 7 - 4);
      EXPECT_LE(ink[2], 10 + w + 2);
      EXPECT_LE(ink[3], 7 + h + 1);
      EXPECT_GT(ink[3] - ink[1], h / 2);
      EXPECT_GT(ink[2] - ink[0], w / 2);
      // The same pixels as Qt's own text drawing at the baseline y + ascent.
      QImage ref(200, 60, QImage::Format_RGB32);
      ref.fill(Qt::black);
      {
        QPainter p(&ref);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setFont(c.impl()->QtFont());
        p.setPen(Qt::white);
        p.drawText(QPointF(10, 7 + c.impl()->FontAscent()), QString::fromUtf8("Ag\xE3\x81\x82|"));
      }
      int differ = 0;
      for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) differ += (ref.pixel(x, y) & 0xFFFFFF) != c.Pixel(x, y);
      EXPECT_EQ(differ, 0);
    }
  }
}

// Texts drawn more than once, or large, are blended from a cached coverage
// mask; the pixels must stay those of Qt's own drawing (within one level),
// also where the text is clipped by the surface's edges.
TEST(Canvas, RepeatedAndLargeTextLooksLikeQtText) {
  struct Case {
    int points;
    bool bold, italic, underline;
    int x, y;  // first pass; the second is at (x + 3, y + 2)
  };
  const Case cases[] = {
      {9, false, false, false, 4, 4},  {24, false, false, true, 6, 3},
      {36, true, true, false, -20, 5}, {48, false, false, false, 2, 2},
      {49, false, true, true, 5, -30}, {60, true, false, false, 150, 40},
  };
  const std::string text = "Ag\xE3\x81\x82j|";
  const QString qtext = QString::fromUtf8(text.c_str());
  const Colour background = RGB(30, 80, 160), first = RGB(250, 200, 20), second = RGB(0, 0, 0);
  // Enough other texts first that the cache has to let masks go and make them again.
  {
    Canvas churn(40, 20);
    for (int i = 0; i < 300; ++i)
      for (int k = 0; k < 2; ++k) churn.TextOut(0, 0, "t" + std::to_string(i % 150));
  }
  for (const Case& k : cases) {
    SCOPED_TRACE(k.points);
    FontSpec fontSpec;
    fontSpec.face = "Arial";
    fontSpec.sizePoints = k.points;
    fontSpec.bold = k.bold;
    fontSpec.italic = k.italic;
    fontSpec.underline = k.underline;
    for (int round = 0; round < 2; ++round) {  // the second round finds the masks cached
      Canvas c(260, 110);
      c.SetBrushColour(background);
      c.FillRect(0, 0, 260, 110);
      c.SetFont(fontSpec);
      c.SetTextColour(first);
      c.TextOut(k.x, k.y, text);
      c.SetTextColour(second);
      c.TextOut(k.x + 3, k.y + 2, text);
      // Qt's glyph runs of the line (drawText would draw one underline for
      // the whole line rather than one per run in each run's own font).
      QTextLayout layout(qtext, c.impl()->QtFont());
      layout.beginLayout();
      QTextLine line = layout.createLine();
      layout.endLayout();
      QImage ref(260, 110, QImage::Format_RGB32);
      ref.fill(QColor(30, 80, 160));
      {
        QPainter p(&ref);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        const qreal baseline = c.impl()->FontAscent() - line.ascent();
        p.setPen(QColor(250, 200, 20));
        for (const QGlyphRun& run : layout.glyphRuns())
          p.drawGlyphRun(QPointF(k.x, k.y + baseline), run);
        p.setPen(QColor(0, 0, 0));
        for (const QGlyphRun& run : layout.glyphRuns())
          p.drawGlyphRun(QPointF(k.x + 3, k.y + 2 + baseline), run);
      }
      int off = 0, changed = 0, worst = 0;
      for (int y = 0; y < 110; ++y)
        for (int x = 0; x < 260; ++x) {
          const QRgb r = ref.pixel(x, y);
          const Colour p = c.Pixel(x, y);
          changed += p != background;
          const int dr = std::abs(qRed(r) - int(p & 0xFF));
          const int dg = std::abs(qGreen(r) - int((p >> 8) & 0xFF));
          const int db = std::abs(qBlue(r) - int((p >> 16) & 0xFF));
          const int diff = std::max({dr, dg, db});
          off += diff > 1;
          worst = std::max(worst, diff);
        }
      // Qt fills glyphs above 64 px as paths, whose rounding varies a little
      // with where on the surface they land; the mask is drawn elsewhere.
      EXPECT_LE(off, k.points > 48 ? 8 : 0);
      EXPECT_LE(worst, 6);
      EXPECT_GT(changed, 100);
    }
  }
}

TEST(Canvas, OpaqueTextFillsTheCell) {
  Canvas c(100, 40);
  c.SetTextColour(White);
  c.SetTextBackground(false, RGB(0, 0, 128));
  c.SetFontSize(12);
  c.TextOut(3, 4, "Hi");
  EXPECT_EQ(InkBox(c), (std::array<int, 4>{3, 4, 3 + c.TextWidth("Hi"), 4 + c.TextHeight("Hi")}));
  EXPECT_EQ(c.Pixel(3, 4), RGB(0, 0, 128));
  // Underline adds ink below the baseline.
  Canvas a(100, 40), b(100, 40);
  FontSpec fontSpec;
  fontSpec.sizePoints = 12;
  a.SetFont(fontSpec);
  fontSpec.underline = true;
  b.SetFont(fontSpec);
  a.SetTextColour(White);
  b.SetTextColour(White);
  a.TextOut(0, 0, "ac");
  b.TextOut(0, 0, "ac");
  EXPECT_GT(CountInk(b), CountInk(a));
}

TEST(Canvas, SetSizeKeepsTheOverlap) {
  Canvas c(4, 4);
  c.SetBrushColour(White);
  c.FillRect(0, 0, 4, 4);
  c.SetSize(6, 2);
  EXPECT_EQ(c.Width(), 6);
  EXPECT_EQ(c.Pixel(3, 1), White);
  EXPECT_EQ(c.Pixel(4, 1), 0u);
}

TEST(Canvas, PngRoundTrip) {
  test::TempDir dir;
  Canvas c(5, 3);
  c.SetPixel(4, 2, 0x123456);
  c.TextOut(0, 0, "x");
  ASSERT_TRUE(c.SavePng(dir.File("a.png")));
  Canvas d;
  ASSERT_TRUE(d.LoadImageFile(dir.File("a.png")));
  EXPECT_EQ(d.Width(), 5);
  EXPECT_EQ(d.Pixel(4, 2), 0x123456u);
  EXPECT_FALSE(d.LoadImageFile(dir.Write("bad.bmp", "not a picture")));
  EXPECT_EQ(d.Width(), 5);  // unchanged
}

}  // namespace
}  // namespace quib
