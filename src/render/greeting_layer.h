#pragma once
// The Christmas and New Year greetings and the Christmas snow.
#include <string>

#include "platform/canvas.h"
#include "render/frame_values.h"
#include "shell/saver_context.h"

namespace quib {

class GreetingLayer {
 public:
  static constexpr int FlakeCount = 120;

  // ShowGreeting: every drawn frame, after the picture layers and before the lyrics.
  void Draw(Canvas& back, const FrameValues& f, SaverContext& ctx);

  bool GreetingPending = true;
  int GreetingTime = 0;
  std::string GreetingText;
  float SnowX[FlakeCount] = {};
  float SnowY[FlakeCount] = {};

 private:
  std::string savedFace_;
  FontSpec font_;
};

}  // namespace quib
