#include "render/slideshow_layer.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace quib {
namespace {

int Trunc(double v) {
  return static_cast<int>(v);
}

// Settings outside 0..100 would overflow the blend's byte-sized constant alpha.
int ClampOpacity(int opacity) {
  return std::clamp(opacity, 0, 100);
}

// The tiles' jitter is a remainder by the spread, which reaches 0 at the end
// of the gathering phase: no jitter then.
int RemainderOrZero(int value, int divisor) {
  return divisor == 0 ? 0 : value % divisor;
}

// A frame after a long gap can carry a huge dt into the slide arithmetic.
int ClampToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
}

void FillBlack(Canvas& c, int x1, int y1, int x2, int y2) {
  c.SetBrushStyle(BrushStyle::Solid);
  c.SetBrushColour(0);
  c.FillRect(x1, y1, x2, y2);
}

}  // namespace

int FitJpegScale(const JpegInfo& info, int maxW, int maxH, double factor) {
  if (!(factor > 0)) return 1;
  const double limitW = maxW / factor;
  const double limitH = maxH / factor;
  for (int denom : {1, 2, 4, 8}) {
    int w = 0, h = 0;
    ScaledJpegSize(info, denom, w, h);
    if (w <= limitW && h <= limitH) return denom;
  }
  return 8;
}

void BlendDraw(Canvas& dest, int x, int y, const Canvas& src, int opacity, int format) {
  const int w = src.Width(), h = src.Height();
  if (w <= 0 || h <= 0) return;
  opacity = ClampOpacity(opacity);
  if (opacity == 0) return;
  if (opacity == 100 && format == 0) {
    dest.CopyFrom(x, y, src, 0, 0, w, h);
    return;
  }
  dest.AlphaBlendFrom(x, y, w, h, src, 0, 0, w, h, opacity * 255 / 100, format != 0);
}

void BlendDrawRect(Canvas& dest, int dx1, int dy1, int dx2, int dy2, const Canvas& src, int sx1,
                   int sy1, int sx2, int sy2, int opacity, int format) {
  const int dw = dx2 - dx1, dh = dy2 - dy1, sw = sx2 - sx1, sh = sy2 - sy1;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  if (src.Width() <= 0 || src.Height() <= 0) return;
  opacity = ClampOpacity(opacity);
  if (opacity == 0) return;
  if (opacity == 100 && format == 0) {
    if (dw == sw && dh == sh) {
      dest.CopyFrom(dx1, dy1, src, sx1, sy1, sw, sh);
    } else {
      dest.StretchFrom(dx1, dy1, dw, dh, src, sx1, sy1, sw, sh);
    }
    return;
  }
  dest.AlphaBlendFrom(dx1, dy1, dw, dh, src, sx1, sy1, sw, sh, opacity * 255 / 100, format != 0);
}

SlideshowLayer::SlideshowLayer() = default;

bool SlideshowLayer::CoversScreen(const SaverContext& ctx) {
  const Settings& s = ctx.settings;
  return s.UseGaz && !ctx.ImageFiles.empty() && s.GazStyle == 2 && s.bTransA == 100 &&
         s.bTransB == 0;
}

bool SlideshowLayer::LoadNextPicture(const FrameValues& f, SaverContext& ctx, double factor) {
  const int count = static_cast<int>(ctx.ImageFiles.size());
  if (count == 0) return false;
  if (ctx.ImageIndex < 0 || ctx.ImageIndex >= count) ctx.ImageIndex = 0;
  const std::string& path = ctx.ImageFiles[ctx.ImageIndex];
  ctx.ImageIndex = (ctx.ImageIndex + 1) % count;
  JpegInfo info;
  if (!ReadJpegInfo(path, info)) return false;
  const int denom = FitJpegScale(info, f.W, f.H, factor);
  return DecodeJpeg(path, denom, ctx.settings.MonoChro, picture_);
}

void SlideshowLayer::CopyOwnSize(Canvas& dest) {
  // The scratch picture is not needed after the copy, so the two trade places.
  std::swap(dest, picture_);
}

void SlideshowLayer::CopyCentred(Canvas& dest, const FrameValues& f) {
  const int jw = picture_.Width(), jh = picture_.Height();
  const int bw = jw > f.W ? f.W : jw;
  const int bh = jh > f.H ? f.H : jh;
  if (bw == jw && bh == jh) {
    CopyOwnSize(dest);
    return;
  }
  // Crops both sides equally: the bitmap shows the middle of the picture.
  const int ox = jw > f.W ? f.W / 2 - jw / 2 : 0;
  const int oy = jh > f.H ? f.H / 2 - jh / 2 : 0;
  dest.SetSize(bw, bh);
  dest.CopyFrom(0, 0, picture_, -ox, -oy, bw, bh);
}

void SlideshowLayer::Draw(Canvas& back, const FrameValues& f, SaverContext& ctx) {
  const int style = ctx.settings.GazStyle;
  const bool styleChanged = style != LastGazStyle;
  LastGazStyle = style;
  if (styleChanged) FillBlack(GazBitmap[1], 0, 0, GazBitmap[1].Width(), GazBitmap[1].Height());
  switch (style) {
    case 1:
      Crossing(back, f, ctx);
      break;
    case 2:
      VerticalScroll(back, f, ctx, styleChanged);
      break;
    case 5:
      CrossFade(back, f, ctx);
      break;
    default:
      Centred(back, f, ctx, style);
      break;
  }
}

void SlideshowLayer::Crossing(Canvas& back, const FrameValues& f, SaverContext& ctx) {
  const int opacity = ctx.settings.bTransA, format = ctx.settings.bTransB;
  if (CrossOffset == 0) {
    for (Canvas& slot : GazBitmap) {
      if (LoadNextPicture(f, ctx, 1.5)) {
        CopyOwnSize(slot);
      } else {
        slot.SetSize(0, 0);
      }
    }
  }
  const Canvas& a = GazBitmap[0];
  const Canvas& b = GazBitmap[1];
  CrossOffset += static_cast<float>(f.dt * 0.125);
  if (CrossOffset > a.Width() + f.W && CrossOffset > b.Width() + f.W) CrossOffset = 0;
  const int y0 = (f.H - a.Height()) / 10;
  const int y1 = (f.H - b.Height()) - (f.H - b.Height()) / 10;
  BlendDraw(back, Trunc(CrossOffset - a.Width()), y0, a, opacity, format);
  BlendDraw(back, Trunc(f.W - CrossOffset), y1, b, opacity, format);
}

// The strip is kept as a ring of rows: scrolling moves the origin instead of
// copying the whole strip every frame. Logical row y of the strip is stored
// at physical row (y + stripOrigin_) mod the strip height.
template <typename Fn>
void SlideshowLayer::ForStripRows(int first, int end, Fn&& fn) const {
  const int stripH = GazBitmap[1].Height();
  first = std::max(first, 0);
  end = std::min(end, stripH);
  while (first < end) {
    const int phys = (first + stripOrigin_) % stripH;
    const int len = std::min(end - first, stripH - phys);
    fn(phys, first, len);
    first += len;
  }
}

void SlideshowLayer::VerticalScroll(Canvas& back, const FrameValues& f, SaverContext& ctx,
                                    bool styleChanged) {
  Random& r = ctx.random;
  Canvas& strip = GazBitmap[1];
  const int stripH = Trunc(f.H * 1.5);
  if (styleChanged || f.sizeChanged || strip.Width() != f.W || strip.Height() != stripH) {
    strip.SetSize(f.W, stripH);
    FillBlack(strip, 0, 0, f.W, stripH);
    stripOrigin_ = 0;
  }
  if (ctx.ImageTime == 0) {
    Canvas& pic = GazBitmap[0];
    if (LoadNextPicture(f, ctx, 1.7)) {
      CopyOwnSize(pic);
    } else {
      pic.SetSize(0, 0);
    }
    int px = 0, py = 1;
    if (pic.Width() < f.W) {
      const int span = Trunc(f.W * (1 / 1.7) - pic.Width());
      if (span > 0) px = static_cast<int>((static_cast<int64_t>(r.Next()) + f.now) % span);
      px = Trunc(px + ScrollSide * f.W * 5.0 / 12);
      ScrollSide = (ScrollSide + 1) % 2;
    }
    if (pic.Height() < f.H / 2 - 1) py = r.Next() % (f.H / 2 - pic.Height() - 1) + 1;
    ForStripRows(py, py + pic.Height(), [&](int phys, int logical, int len) {
      strip.CopyFrom(px, phys, pic, 0, logical - py, pic.Width(), len);
    });
  }
  ctx.ImageTime += f.dt;
  if (ctx.ImageTime > 2500) ctx.ImageTime = 0;

  // Divided rather than multiplied by 1/11000, which has no exact binary form.
  ScrollCarry += (static_cast<double>(f.dt) * f.H) / 11000;
  if (ScrollCarry >= 1) {
    const int n = Trunc(ScrollCarry);
    if (stripH > 0) {
      // Rows pushed off the bottom come back in at the top, where they are blanked.
      stripOrigin_ =
          static_cast<int>(((stripOrigin_ - static_cast<int64_t>(n)) % stripH + stripH) % stripH);
      ForStripRows(0, std::min(n, stripH),
                   [&](int phys, int, int len) { FillBlack(strip, 0, phys, f.W, phys + len); });
    }
    ScrollCarry -= n;
  }
  const int opacity = ctx.settings.bTransA, format = ctx.settings.bTransB;
  const int top = f.H / 2;
  ForStripRows(top, top + f.H, [&](int phys, int logical, int len) {
    BlendDrawRect(back, 0, logical - top, f.W, logical - top + len, strip, 0, phys, f.W, phys + len,
                  opacity, format);
  });
}

void SlideshowLayer::CrossFade(Canvas& back, const FrameValues& f, SaverContext& ctx) {
  if (ctx.ImageTime == 0) {
    FadeSlot = (FadeSlot + 1) % 2;
    if (LoadNextPicture(f, ctx, 0.7)) {
      CopyCentred(GazBitmap[FadeSlot], f);
    } else {
      GazBitmap[FadeSlot].SetSize(0, 0);
    }
  }
  // Switching here from another style in mid-cycle arrives before any fade
  // slot was chosen; the picture that style left is in slot 0.
  const int slot = FadeSlot < 0 ? 0 : FadeSlot;
  ctx.ImageTime += f.dt;
  const int other = (slot + 1) % 2;
  const int opacity = ClampOpacity(ctx.settings.bTransA), format = ctx.settings.bTransB;
  auto drawCentred = [&](const Canvas& c, int alpha) {
    BlendDraw(back, f.W / 2 - c.Width() / 2, f.H / 2 - c.Height() / 2, c, alpha, format);
  };
  if (ctx.ImageTime < 1000) {
    const int pct = ctx.ImageTime / 10;
    drawCentred(GazBitmap[slot], opacity * pct / 100);
    drawCentred(GazBitmap[other], (100 - pct) * opacity / 100);
  } else {
    drawCentred(GazBitmap[slot], opacity);
  }
  if (ctx.ImageTime > 3000) ctx.ImageTime = 0;
}

void SlideshowLayer::Centred(Canvas& back, const FrameValues& f, SaverContext& ctx, int style) {
  Canvas& pic = GazBitmap[0];
  if (ctx.ImageTime == 0) {
    if (LoadNextPicture(f, ctx, 0.7)) {
      CopyCentred(pic, f);
    } else {
      pic.SetSize(0, 0);
    }
  }
  ctx.ImageTime += f.dt;
  const int64_t time = ctx.ImageTime;
  const int period = (style == 3 || style == 4) ? 5000 : 2500;
  constexpr int Fade = 500;
  const int x = f.W / 2 - pic.Width() / 2;
  const int y = f.H / 2 - pic.Height() / 2;
  const int opacity = ctx.settings.bTransA, format = ctx.settings.bTransB;
  if (Fade <= time && time <= period - Fade) {
    BlendDraw(back, x, y, pic, opacity, format);
  } else if (style == 3) {
    if (time < period - 50) {
      const int spread = time < Fade
                             ? static_cast<int>(((Fade - time) * f.W / Fade) / 3)
                             : static_cast<int>(((time - (period - Fade)) * f.W * 2) / Fade);
      const int tw = pic.Width() / 5, th = pic.Height() / 5;
      for (int k = 0; k < 25; ++k) {
        const int col = k % 5, row = k / 5;
        // Both draws happen even when the spread is 0, so the sequence of
        // random numbers does not depend on it.
        const int rx = RemainderOrZero(ctx.random.Next(), spread);
        const int ry = RemainderOrZero(ctx.random.Next(), spread);
        const int dx = x + rx - spread / 2;
        const int dy = y + ry - spread / 2;
        BlendDrawRect(back, col * tw + dx, row * th + dy, (col + 1) * tw + dx, (row + 1) * th + dy,
                      pic, col * tw, row * th, (col + 1) * tw, (row + 1) * th, opacity, format);
      }
    }
  } else if (style == 4) {
    const int off = time < Fade ? ClampToInt(((Fade - time) * (f.W - x)) / Fade)
                                : ClampToInt(((time - (period - Fade)) * (x - f.W)) / Fade);
    BlendDraw(back, x + off, y, pic, opacity, format);
  } else {
    BlendDraw(back, x, y, pic, opacity, format);
  }
  if (ctx.ImageTime > period) ctx.ImageTime = 0;
}

}  // namespace quib
