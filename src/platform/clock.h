#pragma once
// Time as the saver sees it: a 32-bit millisecond tick count that wraps like
// the one the program was designed around, the local date, and a sleep.
// Logic never reads real time directly; tests hand in a ManualClock.
#include <cstdint>

namespace quib {

struct LocalDate {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start, wrapping at 2^32.
  virtual uint32_t TickCount() = 0;
  virtual LocalDate Today() = 0;
  virtual void Sleep(int ms) = 0;
};

// The real clock: a monotonic clock underneath.
class SystemClock final : public Clock {
 public:
  uint32_t TickCount() override;
  LocalDate Today() override;
  void Sleep(int ms) override;
};

// A clock that only moves when told to. Sleep advances it.
class ManualClock final : public Clock {
 public:
  uint32_t tick = 0;
  LocalDate date;
  uint32_t TickCount() override { return tick; }
  LocalDate Today() override { return date; }
  void Sleep(int ms) override { tick += static_cast<uint32_t>(ms); }
  void Advance(int ms) { tick += static_cast<uint32_t>(ms); }
};

}  // namespace quib
