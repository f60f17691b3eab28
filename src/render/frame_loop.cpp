#include "render/frame_loop.h"

#include "platform/clock.h"
#include "sound/music_playback.h"

namespace quib {

bool FrameLoop::Timer1Timer(SaverContext& ctx, int W, int H, Point cursor) {
  if (W <= 0 || H <= 0) return false;

  FrameValues f;
  f.W = W;
  f.H = H;
  f.sizeChanged = (W != LastClientWidth) || (H != LastClientHeight);
  if (f.sizeChanged) {
    BackBuffer.SetSize(W, H);
    LastClientWidth = W;
    LastClientHeight = H;
  }
  f.u = W / 48;
  f.v = H / 64;

  // Ticks are signed 32-bit: passing 2^31 makes "now" negative, which costs
  // one frame to re-arm; the wrap at 2^32 costs none because the subtraction
  // wraps too.
  int32_t now = static_cast<int32_t>(ctx.clock->TickCount());
  if (ctx.LastTick > now) ctx.LastTick = 0;
  if (ctx.LastTick == 0) {
    ctx.LastTick = static_cast<int32_t>(ctx.clock->TickCount());
    return false;
  }
  int32_t dt =
      static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(ctx.LastTick));
  ctx.LastTick = now;
  if (dt < 1) return false;
  f.now = now;
  f.dt = dt;
  frame_ = f;

  pointerIdle_ = maximizedBorderless_ && cursor == LastCursorPos;
  LastCursorPos = cursor;

  Canvas& back = BackBuffer;
  if (!SlideshowLayer::CoversScreen(ctx)) {
    back.SetBrushStyle(BrushStyle::Solid);
    back.SetBrushColour(0);
    back.FillRect(0, 0, W, H);
    mascots.DrawBanner(back, f, ctx);
    background.Draw(back, f, ctx);
  }
  back.SetBrushStyle(BrushStyle::Clear);
  if (ctx.settings.UseGaz && !ctx.ImageFiles.empty()) slideshow.Draw(back, f, ctx);
  mascots.DrawMascots(back, f, ctx);
  noise.Draw(back, f, ctx);
  back.SetBrushStyle(BrushStyle::Clear);

  greeting.Draw(back, f, ctx);
  UpdatePlayPosition(ctx, f.dt);
  // The rest of the frame uses the clock from before the song-end check,
  // even when that check has just restarted the song.
  int clock = ctx.playback.LyricClock;
  CheckSongEnd(ctx);
  lyrics.DrawLyricLines(back, f, ctx, clock);
  overlays.DrawOverlays(back, f, ctx, lyrics, clock);
  return true;
}

}  // namespace quib
