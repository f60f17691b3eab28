#pragma once
// Small helpers for the layer tests: frames on a manual clock, pixel scans
// and generated JPEG pictures.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <string>

#include "platform/canvas.h"
#include "render/frame_values.h"
#include "render/random.h"

namespace quib::test {

inline FrameValues Frame(int w, int h, int dt = 15, bool sizeChanged = false, int32_t now = 1000) {
  FrameValues f;
  f.W = w;
  f.H = h;
  f.u = w / 48;
  f.v = h / 64;
  f.dt = dt;
  f.now = now;
  f.sizeChanged = sizeChanged;
  return f;
}

// How many numbers the generator drew to get from `before` to `after`
// (-1 when more than `limit`).
inline int DrawsBetween(Random before, const Random& after, int limit = 100000) {
  for (int n = 0; n <= limit; ++n) {
    if (before.State() == after.State()) return n;
    before.Next();
  }
  return -1;
}

inline int R(Colour c) {
  return c & 0xFF;
}
inline int G(Colour c) {
  return (c >> 8) & 0xFF;
}
inline int B(Colour c) {
  return (c >> 16) & 0xFF;
}

inline int CountPixels(const Canvas& c, auto pred) {
  int n = 0;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x)
      if (pred(c.Pixel(x, y))) ++n;
  return n;
}

inline int CountNonBlack(const Canvas& c) {
  return CountPixels(c, [](Colour p) { return p != 0; });
}

struct Bounds {
  int left = -1, top = -1, right = -1, bottom = -1;  // inclusive; -1 when nothing matched
  bool Empty() const { return left < 0; }
};

inline Bounds BoundsOf(const Canvas& c, auto pred) {
  Bounds b;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x)
      if (pred(c.Pixel(x, y))) {
        if (b.left < 0 || x < b.left) b.left = x;
        if (b.right < 0 || x > b.right) b.right = x;
        if (b.top < 0) b.top = y;
        b.bottom = y;
      }
  return b;
}

inline bool IsRed(Colour c) {
  return R(c) > 180 && G(c) < 80 && B(c) < 80;
}

// A JPEG of one colour (Qt's QColor, so red is QColor(255, 0, 0)).
inline bool WriteSolidJpeg(const std::string& path, int w, int h, QColor colour) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(colour);
  return img.save(QString::fromStdString(path), "JPG", 95);
}

// A colourful test picture: gradient bands with a few shapes.
inline bool WritePictureJpeg(const std::string& path, int w, int h, int hue) {
  QImage img(w, h, QImage::Format_RGB32);
  QPainter p(&img);
  QLinearGradient g(0, 0, w, h);
  g.setColorAt(0, QColor::fromHsv(hue % 360, 200, 230));
  g.setColorAt(1, QColor::fromHsv((hue + 120) % 360, 220, 120));
  p.fillRect(img.rect(), g);
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 6; ++i) {
    p.setBrush(QColor::fromHsv((hue + 40 * i) % 360, 160, 250));
    p.drawEllipse(QPointF(w * (0.15 + 0.14 * i), h * (0.3 + 0.08 * (i % 3))), w * 0.07, w * 0.07);
  }
  p.setBrush(QColor(250, 250, 250));
  p.drawRect(QRectF(w * 0.1, h * 0.75, w * 0.8, h * 0.08));
  p.end();
  return img.save(QString::fromStdString(path), "JPG", 90);
}

}  // namespace quib::test
