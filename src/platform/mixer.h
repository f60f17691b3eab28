#pragma once
// A master-volume control with a linear raw range. Every call may fail
// (no device, no element); failures are quiet: the caller gets false.
#include <cstdint>

namespace quib {

class Mixer {
 public:
  virtual ~Mixer() = default;
  virtual bool Open() = 0;
  // Finds the volume control and its raw range.
  virtual bool FindVolumeControl(uint32_t& minRaw, uint32_t& maxRaw) = 0;
  virtual bool ReadRaw(uint32_t& raw) = 0;
  virtual bool WriteRaw(uint32_t raw) = 0;
  virtual void Close() = 0;
};

class FakeMixer final : public Mixer {
 public:
  bool present = true;
  uint32_t minRaw = 0, maxRaw = 65535, raw = 0;
  bool opened = false;
  int openCount = 0, closeCount = 0, writeCount = 0;
  bool Open() override {
    ++openCount;
    opened = present;
    return present;
  }
  bool FindVolumeControl(uint32_t& mn, uint32_t& mx) override {
    if (!present) return false;
    mn = minRaw;
    mx = maxRaw;
    return true;
  }
  bool ReadRaw(uint32_t& r) override {
    if (!present) return false;
    r = raw;
    return true;
  }
  bool WriteRaw(uint32_t r) override {
    if (!present) return false;
    ++writeCount;
    raw = r;
    return true;
  }
  void Close() override {
    ++closeCount;
    opened = false;
  }
};

}  // namespace quib
