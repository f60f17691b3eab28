#pragma once
// The spinning title banner and the sixteen bouncing mascots.
#include "platform/canvas.h"
#include "render/frame_values.h"
#include "shell/saver_context.h"

namespace quib {

class MascotLayer {
 public:
  static constexpr int MascotCount = 16;

  // ctx.banner, turning about its vertical axis at the top centre; called
  // only on frames on which the background block runs.
  void DrawBanner(Canvas& back, const FrameValues& f, SaverContext& ctx);
  // ctx.mascot in eight mirrored pairs; called every frame (it notices
  // ctx.ShowObject being switched on) and draws only while ShowObject is on.
  void DrawMascots(Canvas& back, const FrameValues& f, SaverContext& ctx);

  float BannerOffset = 0;
  float BannerStep = 0;
  bool BannerStarted = false;
  bool LastShowObject = false;
  float MascotX[MascotCount] = {};
  float MascotY[MascotCount] = {};
  float MascotVX[MascotCount] = {};
  float MascotVY[MascotCount] = {};
};

}  // namespace quib
