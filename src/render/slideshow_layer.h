#pragma once
// The JPEG slideshow: six presentation styles over two work bitmaps, each
// picture decoded once at the start of its cycle and blended every frame.
#include <string>

#include "platform/canvas.h"
#include "platform/jpeg.h"
#include "render/frame_values.h"
#include "shell/saver_context.h"

namespace quib {

// The decode scale (1, 2, 4 or 8) at which the picture is no larger than
// maxW / factor by maxH / factor; 8 when even that is too large, 1 when
// factor is not positive.
int FitJpegScale(const JpegInfo& info, int maxW, int maxH, double factor);

// Whole src onto dest at (x, y) with opacity 0..100; format 1 takes the
// source as premultiplied by its own (zero) alpha bytes.
void BlendDraw(Canvas& dest, int x, int y, const Canvas& src, int opacity, int format);
void BlendDrawRect(Canvas& dest, int dx1, int dy1, int dx2, int dy2, const Canvas& src, int sx1,
                   int sy1, int sx2, int sy2, int opacity, int format);

class SlideshowLayer {
 public:
  SlideshowLayer();

  // True when this frame's slideshow covers the whole screen opaquely, so the
  // frame loop may leave out the black clear, the banner and the background.
  static bool CoversScreen(const SaverContext& ctx);

  // Runs when ctx.settings.UseGaz is on and ctx.ImageFiles is not empty.
  void Draw(Canvas& back, const FrameValues& f, SaverContext& ctx);

  Canvas GazBitmap[2];
  int LastGazStyle = -1;
  float CrossOffset = 0;
  int ScrollSide = 0;
  double ScrollCarry = 0;
  int FadeSlot = -1;

 private:
  // Decodes ImageFiles[ImageIndex] into the scratch picture and moves the
  // index on; false (scratch unchanged) when the file is not a usable JPEG.
  bool LoadNextPicture(const FrameValues& f, SaverContext& ctx, double factor);
  void CopyCentred(Canvas& dest, const FrameValues& f);
  void CopyOwnSize(Canvas& dest);

  void Crossing(Canvas& back, const FrameValues& f, SaverContext& ctx);
  void VerticalScroll(Canvas& back, const FrameValues& f, SaverContext& ctx, bool styleChanged);
  void CrossFade(Canvas& back, const FrameValues& f, SaverContext& ctx);
  void Centred(Canvas& back, const FrameValues& f, SaverContext& ctx, int style);

  template <typename Fn>
  void ForStripRows(int first, int end, Fn&& fn) const;

  Canvas picture_;       // the last decoded picture, reused from load to load
  int stripOrigin_ = 0;  // style 2: physical row of the strip's logical row 0
};

}  // namespace quib
