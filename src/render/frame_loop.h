#pragma once
// One frame: measure the time since the last one, compose every layer into
// BackBuffer in a fixed order, and leave it for the window to show in one copy.
// The loop owns time and the layers' lifetimes; each layer owns its state.
#include <memory>

#include "platform/canvas.h"
#include "render/background_layer.h"
#include "render/frame_values.h"
#include "render/greeting_layer.h"
#include "render/lyrics_display.h"
#include "render/mascot_layer.h"
#include "render/noise_layer.h"
#include "render/overlays.h"
#include "render/slideshow_layer.h"
#include "shell/saver_context.h"

namespace quib {

class FrameLoop {
 public:
  // The frame step. W and H are the client size, cursor the pointer in
  // screen pixels. Returns true when a frame was composed into BackBuffer.
  bool Timer1Timer(SaverContext& ctx, int W, int H, Point cursor);

  Canvas BackBuffer;

  // The values of the last composed frame.
  const FrameValues& LastFrame() const { return frame_; }
  // Whether the pointer rule of the frame step hides the pointer (only a
  // maximized, borderless window whose pointer stands still).
  bool PointerIdle() const { return pointerIdle_; }
  void SetMaximizedBorderless(bool on) { maximizedBorderless_ = on; }

  // The layers, exposed for tests and benchmarks.
  BackgroundLayer background;
  SlideshowLayer slideshow;
  MascotLayer mascots;
  NoiseLayer noise;
  GreetingLayer greeting;
  LyricsDisplay lyrics;
  Overlays overlays;

 private:
  int LastClientWidth = 0;
  int LastClientHeight = 0;
  Point LastCursorPos;
  FrameValues frame_;
  bool pointerIdle_ = false;
  bool maximizedBorderless_ = false;
};

}  // namespace quib
