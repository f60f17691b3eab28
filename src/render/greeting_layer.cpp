#include "render/greeting_layer.h"

namespace quib {
namespace {

int Trunc(double v) {
  return static_cast<int>(v);
}

constexpr int ChristmasSeason = 4;
constexpr int NewYearSeason = 1;

}  // namespace

void GreetingLayer::Draw(Canvas& back, const FrameValues& f, SaverContext& ctx) {
  Random& r = ctx.random;
  back.SetTextBackground(true);
  if (ctx.Season == ChristmasSeason) {
    if (GreetingPending) {
      GreetingText = "Merry Christmas!!";
      GreetingTime = 10000;
      // Every flake starts above the screen, up to about 20000 units high,
      // so that they arrive one after another.
      for (int i = 0; i < FlakeCount; ++i) {
        SnowX[i] = static_cast<float>(r.Next() * 1024 / 32767 + 1);
        SnowY[i] = static_cast<float>(r.Next() * 768 / 32767 + 1);
        SnowY[i] = SnowY[i] - 1000 - static_cast<float>(r.Next() * 20000 / 32767) + 1;
      }
    }
    back.SetPenColour(0xFF6699);
    back.SetPenWidth(1);
    back.SetPenStyle(PenStyle::Solid);
    back.SetBrushColour(RGB(255, 255, 255));
    back.SetBrushStyle(BrushStyle::Solid);
    for (int i = 0; i < FlakeCount; ++i) {
      // Low indices are the larger, faster flakes.
      const double s = ((120 - i) * 0.0005 + 0.1) * f.dt;
      SnowY[i] = static_cast<float>(SnowY[i] + s * 0.8);
      if (SnowY[i] > 778) {
        SnowX[i] = static_cast<float>(r.Next() * 1024 / 32767 + 1);
        SnowY[i] = SnowY[i] - 788;
      }
      const int a = Trunc(r.Next() * s / 32767 + 1);
      const int b = Trunc(r.Next() * s / 32767 + 1);
      SnowX[i] = static_cast<float>(SnowX[i] + (a - s * 2 / 3) / 3);
      SnowY[i] = static_cast<float>(SnowY[i] + (b - s * 2 / 3) / 3);
      if (SnowX[i] > 1034) SnowX[i] = SnowX[i] - 1044;
      if (SnowX[i] < -10) SnowX[i] = SnowX[i] + 1044;
      const int px = Trunc(f.W * static_cast<double>(SnowX[i]) / 1024);
      const int py = Trunc(f.H * static_cast<double>(SnowY[i]) / 768);
      const int d = Trunc(((120 - i) / 12.0 + 5) * f.W / 1024);
      back.Ellipse(px, py, px + d, py + d);
    }
  } else if (ctx.Season == NewYearSeason && GreetingPending) {
    GreetingText = "Happy New Year!!";
    GreetingTime = 10000;
  }
  // Chosen on the first drawn frame only: a later song load does not bring it back.
  GreetingPending = false;

  if (GreetingTime > 0) {
    const int level = GreetingTime < 2048 ? GreetingTime / 8 : 255;
    // Kept in members so that a frame allocates nothing once they have grown.
    savedFace_ = back.Font().face;
    font_.face = "Comic Sans MS";
    font_.bold = true;
    font_.sizePoints = Trunc(f.u * 3.5);
    back.SetFont(font_);
    back.SetTextBackground(true);
    const int x = (f.W - back.TextWidth(GreetingText)) / 2;
    const int y = (f.H - back.TextHeight(GreetingText)) / 2;
    back.SetTextColour(static_cast<Colour>(level * 65537));
    back.TextOut(x, y, GreetingText);
    back.TextOut(x + 2, y, GreetingText);
    back.TextOut(x, y + 2, GreetingText);
    back.TextOut(x + 2, y + 2, GreetingText);
    back.SetTextColour(static_cast<Colour>(level * 65793));
    back.TextOut(x + 1, y + 1, GreetingText);
    back.SetFontFace(savedFace_);
    GreetingTime -= f.dt;
    if (GreetingTime <= 0) GreetingText.clear();
  }
}

}  // namespace quib
