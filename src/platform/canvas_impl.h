#pragma once
// The Qt side of a Canvas, for the platform layer and the shell only (the
// layers never include this). The image is Format_RGB32; a QPainter stays
// active on it between drawing calls, because beginning one costs more than
// most of the calls themselves.
#include <QImage>
#include <QPainter>
#include <memory>

#include "platform/canvas.h"

namespace quib {

struct FontEntry;  // a FontSpec turned into a Qt font, with its shaped texts (canvas.cpp)

struct Canvas::Impl {
  QImage image;
  uint32_t* bits = nullptr;  // image's pixels, 0xFFRRGGBB
  int width = 0;
  int height = 0;
  int stride = 0;  // in pixels

  QPainter painter;
  // What has been set on the active painter, to skip repeated state changes.
  QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
  bool opacitySet = false;

  Colour penColour = 0;
  int penWidth = 1;
  PenStyle penStyle = PenStyle::Solid;
  PenMode penMode = PenMode::Copy;
  Colour brushColour = 0xFFFFFF;
  BrushStyle brushStyle = BrushStyle::Solid;
  FontSpec font;
  std::shared_ptr<FontEntry> fontEntry;  // null until the font is needed
  Colour textColour = 0;
  bool textTransparent = true;
  Colour textBackground = 0;
  Point position;

  // The painter, begun on the image if it is not active yet.
  QPainter& Painter();
  // Ends the painter: before the image is resized, saved, or handed out as a QImage.
  void EndPainting();
  // The image with every drawing so far, no painter active on it.
  const QImage& Image() {
    EndPainting();
    return image;
  }
  // Replaces the image (any format; converted to RGB32).
  void SetImage(QImage img);
  FontEntry& Font();
  // The current font as Qt sees it, and its ascent (the baseline's offset in the cell).
  const QFont& QtFont();
  int FontAscent();
};

}  // namespace quib
