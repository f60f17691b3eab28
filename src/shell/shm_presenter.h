#pragma once
// Shows frames by handing the X server the frame buffer itself: BackBuffer
// lives in a shared-memory segment and each frame is one shm put, so no copy
// is made on our side. Where the server cannot share memory (a remote
// display, another depth), Ready() stays false and the window paints through Qt.
#include <cstdint>

#include "platform/canvas.h"

namespace quib {

class ShmPresenter {
public:
  ShmPresenter() = default;
  ~ShmPresenter();
  ShmPresenter(const ShmPresenter&) = delete;
  ShmPresenter& operator=(const ShmPresenter&) = delete;

  // Checks the server once; false when shared memory cannot be used for window.
  bool Init(unsigned long window);
  // Moves back into shared memory when it is not there yet (after a resize),
  // keeping its pixels. False when that failed; the caller paints through Qt.
  bool Adopt(Canvas& back);
  // Puts the frame on the window and waits until the server has taken it.
  bool Present(const Canvas& back);
  bool Ready() const { return usable_; }

private:
  void Release();

  unsigned long window_ = 0;
  bool usable_ = false;
  uint32_t gc_ = 0;
  uint32_t seg_ = 0;
  const uint32_t* adoptedBits_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace quib
