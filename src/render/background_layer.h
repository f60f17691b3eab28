#pragma once
// The animated backgrounds behind everything: star field, laser beams and
// ripples, or one of them picked at random every five seconds.
#include "platform/canvas.h"
#include "render/frame_values.h"
#include "shell/saver_context.h"

namespace quib {

class BackgroundLayer {
 public:
  static constexpr int StarCount = 300;
  static constexpr int BeamCount = 80;
  static constexpr int RippleCount = 12;
  static constexpr int RingCount = 10;

  // Draws the effect that ctx.settings.iBackT names. Expects the brush to be
  // solid; leaves pen and brush colours as the effect set them, pen style solid.
  void Draw(Canvas& back, const FrameValues& f, SaverContext& ctx);

  // Read by tests and by nothing else; the state is process-lifetime.
  int SceneEffect = 0;
  int SceneTime = 0;
  bool StarsReady = true;
  bool BeamsReady = true;
  bool RipplesReady = true;
  int StarAngle[StarCount] = {};
  double StarDistance[StarCount] = {};
  int StarSpeed[StarCount] = {};
  int BeamAngle[BeamCount] = {};
  int BeamPhase = 0;
  float BeamTurn = 0;
  float BeamCentreTurn = 0;
  int RippleX[RippleCount] = {};
  int RippleY[RippleCount] = {};
  float RippleRadius[RippleCount] = {};

 private:
  void SpaceFlight(Canvas& back, const FrameValues& f, Random& r);
  void Laser(Canvas& back, const FrameValues& f, Random& r);
  void Ripple(Canvas& back, const FrameValues& f, Random& r);
};

}  // namespace quib
