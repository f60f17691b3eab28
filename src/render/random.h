#pragma once
#include <cstdint>

namespace quib {

// The one generator of the rendering layers: never reseeded, so every run
// draws the same sequence, in the order the layers run.
class Random {
 public:
  int Next() {
    state_ = state_ * 22695477u + 1u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }
  uint32_t State() const { return state_; }
  void SetState(uint32_t s) { state_ = s; }

 private:
  uint32_t state_ = 1;
};

}  // namespace quib
