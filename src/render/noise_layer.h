#pragma once
// Film and video noise over pictures and mascots, under all text.
#include "platform/canvas.h"
#include "render/frame_values.h"
#include "shell/saver_context.h"

namespace quib {

class NoiseLayer {
 public:
  // Rows 0..N-1 get noise; the bottom panel of the debug/time-edit overlay stays clear.
  static int NoiseHeight(const FrameValues& f, const SaverContext& ctx);

  // Draws the noise that ctx.settings.iNoiseT names; leaves the pen mode at copy.
  void Draw(Canvas& back, const FrameValues& f, SaverContext& ctx);

  bool InterlaceOn = false;
  int InterlaceOffset = 0;
  int InterlaceTime = 0;
  int InterlaceLevel = 0;
};

}  // namespace quib
