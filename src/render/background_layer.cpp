#include "render/background_layer.h"

#include <cmath>

namespace quib {
namespace {

// Degrees to radians the way the animation was tuned: with 3.14, not pi.
constexpr double K = 3.14 / 180;

int Trunc(double v) {
  return static_cast<int>(v);
}

}  // namespace

void BackgroundLayer::Draw(Canvas& back, const FrameValues& f, SaverContext& ctx) {
  Random& r = ctx.random;
  const int backType = ctx.settings.iBackT;
  if (backType == 1) {
    if (SceneTime > 5000) SceneTime = 0;
    if (SceneTime == 0) {
      int e;
      do {
        e = r.Next() % 3 + 2;
      } while (e == SceneEffect);
      SceneEffect = e;
    }
    SceneTime += f.dt;
  } else {
    SceneEffect = backType;
  }
  switch (SceneEffect) {
    case 2:
      SpaceFlight(back, f, r);
      break;
    case 3:
      Laser(back, f, r);
      break;
    case 4:
      Ripple(back, f, r);
      break;
    default:
      break;
  }
}

void BackgroundLayer::SpaceFlight(Canvas& back, const FrameValues& f, Random& r) {
  back.SetPenColour(RGB(64, 64, 224));
  back.SetBrushColour(RGB(255, 255, 255));
  if (StarsReady) {
    for (int i = 0; i < StarCount; ++i) {
      StarAngle[i] = r.Next() % 360;
      StarDistance[i] = r.Next() % 57;
      StarSpeed[i] = r.Next() % 3 + 1;
    }
    StarsReady = false;
  }
  const int w = f.W, h = f.H;
  for (int i = 0; i < StarCount; ++i) {
    const double s = std::asin(StarDistance[i] * K);
    const int x = Trunc(s * std::cos(StarAngle[i] * K) * w * 0.5) + w / 2;
    const int y = Trunc(s * std::sin(StarAngle[i] * K) * w * 0.5) + h / 2;
    StarDistance[i] += StarSpeed[i] * (f.dt * 0.005);
    if (x >= w || x < 0 || y >= h || y < 0 || StarDistance[i] >= 57) {
      StarAngle[i] = r.Next() % 360;
      StarDistance[i] = r.Next() % 30 + 1;
      StarSpeed[i] = r.Next() % 3 + 1;
    }
    // The star is drawn where it was before moving, so one that has just
    // restarted still shows once at its old place.
    const int size = Trunc(StarDistance[i] * 0.04 + 1 + StarSpeed[i] * 2.0 / 3.0);
    back.Ellipse(x, y, x + size, y + size);
  }
}

void BackgroundLayer::Laser(Canvas& back, const FrameValues& f, Random& r) {
  if (BeamsReady) {
    for (int i = 0; i < BeamCount; ++i) BeamAngle[i] = r.Next() % 360;
    BeamsReady = false;
  }
  BeamPhase = (BeamPhase + 1) % 3;
  const int w = f.W, h = f.H;
  for (int i = BeamPhase; i < BeamCount; i += 3) {
    const int a = (i % 2 == 0) ? Trunc(BeamAngle[i] + static_cast<double>(BeamTurn))
                               : Trunc(BeamAngle[i] - static_cast<double>(BeamTurn));
    const int p1x = w / 2 + Trunc(std::cos(a * K) * w);
    const int p1y = h / 2 + Trunc(std::sin(a * K) * w);
    const int p2x = w / 2 + Trunc(std::cos((a + 0.1) * K) * w);
    const int p2y = h / 2 + Trunc(std::sin((a + 0.1) * K) * w);
    const int cx = w / 2 + Trunc(std::cos(BeamCentreTurn * K) * w * 0.25);
    const int cy = h / 2 + Trunc(std::sin(BeamCentreTurn * K) * w * 0.25);
    int level = Trunc(BeamTurn * 511 * (1.0 / 360));
    if (level >= 256) level = 511 - level;
    // Level 0 gives 256, a green of 1: the colour arithmetic of the original
    // fade, kept so that the beams look the same.
    back.SetPenColour(static_cast<Colour>(level * 65536 + 256 - level));
    back.MoveTo(cx, cy);
    back.LineTo(p1x, p1y);
    back.MoveTo(cx, cy);
    back.LineTo(p2x, p2y);

    // The turn advances per beam drawn, not per frame.
    BeamTurn += static_cast<float>(f.dt * 0.001);
    if (BeamTurn >= 360) {
      BeamTurn -= 360;
      const int j = r.Next() % BeamCount;
      BeamAngle[j] = r.Next() % 360;
    }
    BeamCentreTurn += static_cast<float>(f.dt * (1.0 / 3000));
    if (BeamCentreTurn >= 360) BeamCentreTurn -= 360;
  }
}

void BackgroundLayer::Ripple(Canvas& back, const FrameValues& f, Random& r) {
  const int w = f.W, h = f.H;
  // The start radius is a remainder by W div 10: a window narrower than 10
  // pixels has no valid range for it, and no room for ripples anyway.
  if (w / 10 <= 0 || h <= 0) return;
  if (RipplesReady) {
    for (int t = 0; t < RippleCount; ++t) {
      RippleX[t] = r.Next() % w;
      RippleY[t] = r.Next() % h;
      RippleRadius[t] = static_cast<float>(-(r.Next() % (w / 10)));
    }
    RipplesReady = false;
  }
  // Each ripple is a stack of discs, each inside the one before. A disc that
  // the next one will cover in the middle is drawn as its outer ring only (a
  // pen as wide as the gap, no fill): the same pixels for a fraction of the
  // filling. The pen is put back as the other layers expect to find it.
  const Colour penColour = back.PenColour();
  back.SetPenMode(PenMode::Copy);
  const int cap = Trunc(w * 0.1);
  int radius[RingCount];
  for (int t = 0; t < RippleCount; ++t) {
    for (int n = 0; n < RingCount; ++n) {
      const int rr = Trunc(RippleRadius[t] - (n * w) / 256);
      radius[n] = (rr >= 0 && w * 0.1 < rr) ? cap : rr;
    }
    for (int n = 0; n < RingCount; ++n) {
      const int rr = radius[n];
      if (rr < 0) continue;
      const int next = n + 1 < RingCount ? radius[n + 1] : -1;
      // Capped discs pile up at the same radius: only the last of them shows.
      if (next == rr) continue;
      const Colour colour = RGB(0, 0, (9 - n) * 25);
      back.SetBrushColour(colour);
      if (next > 0) {
        back.SetPenStyle(PenStyle::Solid);
        back.SetPenColour(colour);
        back.SetPenWidth(rr - next);
        back.SetBrushStyle(BrushStyle::Clear);
      } else {
        back.SetPenStyle(PenStyle::Clear);
        back.SetBrushStyle(BrushStyle::Solid);
      }
      back.Ellipse(RippleX[t] - rr, RippleY[t] - rr, RippleX[t] + rr, RippleY[t] + rr);
    }
    RippleRadius[t] += static_cast<float>(f.dt * 0.2);
    if (RippleRadius[t] > w / 8) {
      RippleX[t] = r.Next() % w;
      RippleY[t] = r.Next() % h;
      RippleRadius[t] = static_cast<float>(-(r.Next() % (w / 10)));
    }
  }
  back.SetPenStyle(PenStyle::Solid);
  back.SetPenColour(penColour);
  back.SetPenWidth(1);
  back.SetBrushStyle(BrushStyle::Solid);
}

}  // namespace quib
