#include "render/mascot_layer.h"

namespace quib {
namespace {

// The banner component's size; the picture is stretched into it.
constexpr int BannerWidth = 200;
constexpr int BannerHeight = 50;

int Trunc(double v) {
  return static_cast<int>(v);
}

}  // namespace

void MascotLayer::DrawBanner(Canvas& back, const FrameValues& f, SaverContext& ctx) {
  // The step is a distance per frame, taken from the frame time only at the
  // start and at each bounce.
  if (!BannerStarted) {
    BannerStep = static_cast<float>(f.dt * (1.0 / 30));
    BannerStarted = true;
  }
  const int bw = BannerWidth, bh = BannerHeight;
  const int left = Trunc((f.W / 2 - bw / 2) + static_cast<double>(BannerOffset));
  const int right = Trunc((f.W / 2 + bw / 2) - static_cast<double>(BannerOffset));
  const Canvas& pic = ctx.banner;
  // A negative width mirrors the picture: the back of the turning sign.
  if (left != right && pic.Width() > 0 && pic.Height() > 0) {
    back.StretchFrom(left, 10, right - left, bh, pic, 0, 0, pic.Width(), pic.Height());
  }
  BannerOffset += BannerStep;
  if (BannerOffset < 0) {
    BannerOffset = -BannerOffset;
    BannerStep = static_cast<float>(f.dt * (1.0 / 30));
  }
  if (BannerOffset > bw) {
    BannerOffset = bw - (BannerOffset - bw);
    BannerStep = static_cast<float>(-f.dt * (1.0 / 30));
  }
}

void MascotLayer::DrawMascots(Canvas& back, const FrameValues& f, SaverContext& ctx) {
  const bool changed = ctx.ShowObject != LastShowObject;
  LastShowObject = ctx.ShowObject;
  if (!ctx.ShowObject) return;
  const Canvas& sprite = ctx.mascot;
  const int sw = sprite.Width(), sh = sprite.Height();
  if (sw <= 0 || sh <= 0) return;
  const Colour key = sprite.Pixel(0, 0);
  if (changed || f.sizeChanged) {
    for (int t = 0; t < MascotCount / 2; ++t) {
      const float speed = static_cast<float>(t + 1);
      MascotX[2 * t] = 0;
      MascotY[2 * t] = 0;
      MascotVX[2 * t] = speed;
      MascotVY[2 * t] = speed;
      MascotX[2 * t + 1] = static_cast<float>(f.W - sw);
      MascotY[2 * t + 1] = 0;
      MascotVX[2 * t + 1] = -speed;
      MascotVY[2 * t + 1] = speed;
    }
  }
  const double scale = f.W * (1.0 / 20480);
  const float maxX = static_cast<float>(f.W - sw);
  const float maxY = static_cast<float>(f.H - sh);
  for (int i = 0; i < MascotCount; ++i) {
    back.TransparentFrom(Trunc(MascotX[i]), Trunc(MascotY[i]), sw, sh, sprite, 0, 0, sw, sh, key);
    MascotX[i] += static_cast<float>(f.dt * MascotVX[i] * scale);
    MascotY[i] += static_cast<float>(f.dt * MascotVY[i] * scale);
    // A sprite larger than the window has a negative bound; both rules may
    // then apply in one frame and it stays partly outside, which is harmless.
    if (MascotX[i] < 0) {
      MascotX[i] = -MascotX[i];
      MascotVX[i] = -MascotVX[i];
    }
    if (MascotX[i] > maxX) {
      MascotX[i] = maxX - (MascotX[i] - maxX);
      MascotVX[i] = -MascotVX[i];
    }
    if (MascotY[i] < 0) {
      MascotY[i] = -MascotY[i];
      MascotVY[i] = -MascotVY[i];
    }
    if (MascotY[i] > maxY) {
      MascotY[i] = maxY - (MascotY[i] - maxY);
      MascotVY[i] = -MascotVY[i];
    }
  }
}

}  // namespace quib
