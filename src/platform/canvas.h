#pragma once
// A drawing surface with the drawing semantics the layers were designed
// around (they differ from Qt's in places):
//  - colours are 0x00BBGGRR, red in the low byte;
//  - FillRect and Rectangle leave out the right and bottom edges;
//  - Ellipse fills its whole bounding box (w x h pixels, no antialiasing);
//  - MoveTo/LineTo leave out the end point;
//  - text is placed by the top-left corner of its cell;
//  - pen and brush keep their settings from one call to the next;
//  - corners given the other way round (x2 < x1, y2 < y1) span the same box;
//  - the XOR pen mode applies to lines and to Rectangle and Ellipse (outline
//    and fill, each pixel once); FillRect and text ignore it.
// A new surface has a black solid pen of width 1 in copy mode, a white solid
// brush, black text on a transparent background and the default font.
// Pen widths above 1: lines are drawn with round ends and include the end
// point; outlines of Rectangle, FrameRect and Ellipse lie inside the box.
// The layers use only this class, never QPainter, so they stay free of Qt.
// Use from the user-interface thread only (fonts and shaped texts are cached
// for the whole process).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace quib {

using Colour = uint32_t;  // 0x00BBGGRR

constexpr Colour RGB(int r, int g, int b) {
  return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

enum class PenStyle { Solid, Clear };
enum class PenMode { Copy, Xor };
enum class BrushStyle { Solid, Clear };

struct FontSpec {
  std::string face;     // as the settings name it; mapped through fontconfig
  int sizePoints = 10;  // character height (internal leading excluded) = size * 96 / 72 px
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool shiftJisCharset = false;  // empty face + this: the default Japanese gothic face
  bool operator==(const FontSpec&) const = default;
};

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

class Canvas {
 public:
  Canvas();
  Canvas(int width, int height);  // filled with black
  ~Canvas();
  Canvas(Canvas&&) noexcept;
  Canvas& operator=(Canvas&&) noexcept;
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int Width() const;
  int Height() const;
  // New size; the content is kept where it overlaps, the rest is black.
  void SetSize(int width, int height);

  // Pen, brush, font state.
  void SetPenColour(Colour c);
  void SetPenWidth(int w);
  void SetPenStyle(PenStyle s);
  void SetPenMode(PenMode m);
  void SetBrushColour(Colour c);
  void SetBrushStyle(BrushStyle s);
  Colour PenColour() const;
  Colour BrushColour() const;
  BrushStyle GetBrushStyle() const;

  void SetFont(const FontSpec& f);
  const FontSpec& Font() const;
  void SetFontFace(const std::string& face);
  void SetFontSize(int points);
  void SetTextColour(Colour c);
  // Transparent (the default): only the glyphs are painted. Opaque: the cell
  // (TextWidth x TextHeight) is filled with the background colour first.
  void SetTextBackground(bool transparent, Colour background = 0);

  // Shapes.
  void FillRect(int x1, int y1, int x2, int y2);   // with the brush; right/bottom exclusive
  void FrameRect(int x1, int y1, int x2, int y2);  // outline with the pen, no fill
  void Rectangle(int x1, int y1, int x2, int y2);  // pen outline + brush fill
  void Ellipse(int x1, int y1, int x2, int y2);    // pen outline + brush fill over the box
  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // end point not drawn

  // Text in the current font; enc tells how to decode the bytes.
  void TextOut(int x, int y, std::string_view text, Encoding enc = Encoding::Auto);
  int TextWidth(std::string_view text, Encoding enc = Encoding::Auto);
  int TextHeight(std::string_view text, Encoding enc = Encoding::Auto);

  // Pixels.
  Colour Pixel(int x, int y) const;  // 0 outside
  void SetPixel(int x, int y, Colour c);

  // Between surfaces (source rectangles are clipped to the source; pixels
  // whose source lies outside it are left alone). Stretching is nearest
  // neighbour. src may be this surface.
  void CopyFrom(int dx, int dy, const Canvas& src, int sx, int sy, int w, int h);
  // Whole source onto this at (dx, dy).
  void Draw(int dx, int dy, const Canvas& src);
  // Stretch src's (sx,sy,sw,sh) to (dx,dy,dw,dh); a negative dw or dh mirrors.
  void StretchFrom(int dx, int dy, int dw, int dh, const Canvas& src, int sx, int sy, int sw,
                   int sh);
  // Constant-alpha blend, source over: dst = src * a + dst * (1 - a), a = alpha / 255
  // (within one level). Alpha 0, or a negative width or height, draws nothing.
  // With premultipliedSourceAlpha the source pixels count as premultiplied by
  // their own alpha bytes (all 0 for decoded pictures, so the source is added).
  void AlphaBlendFrom(int dx, int dy, int dw, int dh, const Canvas& src, int sx, int sy, int sw,
                      int sh, int alpha, bool premultipliedSourceAlpha = false);
  // Copy leaving out pixels of colour key; stretches and mirrors like StretchFrom.
  void TransparentFrom(int dx, int dy, int dw, int dh, const Canvas& src, int sx, int sy, int sw,
                       int sh, Colour key);

  // Whole surface, for tests and the shell: rows of pixels in Qt's
  // 0xFFRRGGBB layout (not Colour's), row stride BytesPerLine(); it reflects
  // every drawing so far. Valid until the next SetSize or image load.
  const uint32_t* Bits() const;
  int BytesPerLine() const;
  bool SavePng(const std::string& path) const;
  bool LoadImageFile(const std::string& path);  // any format Qt reads (BMP for "quib.bmp")

  struct Impl;
  Impl* impl() { return impl_.get(); }
  const Impl* impl() const { return impl_.get(); }

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace quib
