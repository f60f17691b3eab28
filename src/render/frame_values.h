#pragma once
#include <cstdint>

namespace quib {

// What every layer is handed for one frame.
struct FrameValues {
  int W = 0, H = 0;  // client size
  int u = 0, v = 0;  // W div 48, H div 64
  int32_t now = 0;   // tick count at the start of the frame
  int dt = 1;        // ms since the previous frame, >= 1
  bool sizeChanged = false;
};

}  // namespace quib
