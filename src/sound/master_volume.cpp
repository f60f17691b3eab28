#include "sound/master_volume.h"

#include <algorithm>
#include <string>

namespace quib {

MasterVolume::MasterVolume(Mixer& mixer) : mixer_(mixer) {}

bool MasterVolume::OpenMixer() {
  if (mixerOpen_) return true;
  if (!mixer_.Open()) return false;
  mixerOpen_ = true;
  return true;
}

bool MasterVolume::FindVolumeControl() {
  if (VolumeControlID != NoControl) return true;
  if (!OpenMixer()) return false;
  uint32_t mn = 0, mx = 0;
  if (!mixer_.FindVolumeControl(mn, mx)) return false;
  VolumeMin = mn;
  VolumeMax = mx;
  VolumeControlID = 0;  // the mixer knows its one control; any value but NoControl marks it found
  return true;
}

bool MasterVolume::GetMasterVolume(int& percent) {
  if (!FindVolumeControl()) return false;
  // An empty range has no percentage (and would divide by zero).
  if (VolumeMax <= VolumeMin) return false;
  uint32_t value = 0;
  if (!mixer_.ReadRaw(value)) return false;
  // A device may report a value outside its own range; it is read as the nearest end.
  value = std::clamp(value, VolumeMin, VolumeMax);
  const uint32_t span = VolumeMax - VolumeMin;
  percent = static_cast<int>(((value - VolumeMin) * 100u + span / 2u) / span);
  return true;
}

bool MasterVolume::SetMasterVolume(int percent) {
  if (!FindVolumeControl()) return false;
  // The percentage comes from the settings file too; outside 0..100 it would
  // leave the control's range (a negative one wraps to a huge raw value).
  const uint32_t p = static_cast<uint32_t>(std::clamp(percent, 0, 100));
  const uint32_t raw = (VolumeMax - VolumeMin) * p / 100u + VolumeMin;
  return mixer_.WriteRaw(raw);
}

int MasterVolume::StepMasterVolume(bool up, MessageLine& msg) {
  int v = 0;
  if (!GetMasterVolume(v)) return -1;
  v = (v / 5) * 5;
  if (up) {
    if (v <= 95) v += 5;
  } else {
    if (v >= 5) v -= 5;
  }
  msg.MessageText = "Master Volume : " + std::to_string(v);
  SetMasterVolume(v);
  return v;
}

void MasterVolume::CloseMixer() {
  if (mixerOpen_) mixer_.Close();
  mixerOpen_ = false;
  VolumeControlID = NoControl;
}

}  // namespace quib
