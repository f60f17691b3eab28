#pragma once
// The master volume as a percentage over a mixer with a linear raw range.
// One service for the whole process; every failure is quiet (false).
#include <cstdint>

#include "platform/mixer.h"
#include "render/message_line.h"

namespace quib {

class MasterVolume {
 public:
  explicit MasterVolume(Mixer& mixer);
  bool OpenMixer();
  bool FindVolumeControl();
  // Nearest whole percent, halves up. False when unreadable or the range is empty.
  bool GetMasterVolume(int& percent);
  // Writes the percentage, truncating to the raw grid.
  bool SetMasterVolume(int percent);
  // The Up/Down key: steps by 5 on the grid of 5, reports on the message
  // line and returns the new percentage; an unreadable volume is left alone
  // (returns -1, no message).
  int StepMasterVolume(bool up, MessageLine& msg);
  void CloseMixer();

 private:
  static constexpr uint32_t NoControl = 0xFFFFFFFFu;
  Mixer& mixer_;
  bool mixerOpen_ = false;
  uint32_t VolumeControlID = NoControl;
  uint32_t VolumeMin = 0;
  uint32_t VolumeMax = 0;
};

}  // namespace quib
