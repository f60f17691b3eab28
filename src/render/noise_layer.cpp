#include "render/noise_layer.h"

#include <algorithm>

namespace quib {
namespace {

// Two draws; the product stays below 2^30.
Colour RandomColour(Random& r) {
  const int r1 = r.Next();
  const int r2 = r.Next();
  return static_cast<Colour>((r1 * r2) % 16777215);
}

}  // namespace

int NoiseLayer::NoiseHeight(const FrameValues& f, const SaverContext& ctx) {
  // The bottom panel of the debug and time-edit overlay stays free of noise.
  const bool panel = ctx.settings.Debug || ctx.settings.TimeTag;
  return panel ? f.H - 10 * f.u : f.H;
}

void NoiseLayer::Draw(Canvas& back, const FrameValues& f, SaverContext& ctx) {
  Random& r = ctx.random;
  const int w = f.W;
  const int n = NoiseHeight(f, ctx);
  const int colourType = ctx.settings.iNoiseC;
  back.SetPenMode(PenMode::Copy);
  switch (ctx.settings.iNoiseT) {
    case 1: {
      back.SetPenMode(PenMode::Xor);
      const Colour c = colourType == 1   ? RGB(32, 32, 32)
                       : colourType == 2 ? RGB(255, 255, 255)
                                         : RandomColour(r);
      back.SetPenColour(c);
      for (int i = 0; i < w / 400; ++i) {
        const int x = r.Next() % w;
        back.MoveTo(x, 0);
        back.LineTo(x, n);
      }
      back.SetPenMode(PenMode::Copy);
      if (n > 0) {
        for (int i = 0; i < w / 30; ++i) {
          const int x = r.Next() % w;
          const int y = r.Next() % n;
          const int dx = (r.Next() % w) / 100 - w / 200;
          const int dy = (r.Next() % n) / 100 - n / 200;
          back.MoveTo(x, y);
          back.LineTo(x + dx, y + dy);
        }
      }
      break;
    }
    case 2: {
      // The block size is a remainder by the noise height; without a noise
      // area there is nowhere to put blocks.
      if (n <= 0) break;
      back.SetBrushStyle(BrushStyle::Solid);
      for (int i = 0; i < w / 5; ++i) {
        const Colour c = colourType == 1   ? RGB(0, 0, 0)
                         : colourType == 2 ? RGB(255, 255, 255)
                                           : RandomColour(r);
        back.SetPenColour(c);
        back.SetBrushColour(c);
        const int x = r.Next() % w;
        const int y = r.Next() % n;
        const int bw = (r.Next() % w) / 100 - w / 200;
        const int bh = (r.Next() % n) / 100 - n / 200;
        back.Rectangle(std::min(x, x + bw), std::min(y, y + bh), std::max(x, x + bw),
                       std::max(y, y + bh));
      }
      break;
    }
    case 3: {
      if (InterlaceOn) {
        if (colourType != 0) {
          back.SetPenColour(RGB(0, 0, 32));
        } else {
          int lvl = InterlaceLevel;
          if (lvl > 255) lvl = 510 - lvl;
          back.SetPenColour(static_cast<Colour>(lvl * 65536 + 255 - lvl));
        }
        for (int y = InterlaceOffset; y < n; y += 5) {
          back.MoveTo(0, y);
          back.LineTo(w, y);
        }
        // The clock runs only on frames that draw lines.
        InterlaceTime += f.dt;
        if (InterlaceTime > 50) {
          InterlaceOffset = (InterlaceOffset + 1) % 5;
          InterlaceTime = 0;
          InterlaceLevel = (InterlaceLevel + 1) % 511;
        }
      }
      InterlaceOn = !InterlaceOn;
      break;
    }
    default:
      break;
  }
}

}  // namespace quib
