#include "platform/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace quib {

uint32_t SystemClock::TickCount() {
  using namespace std::chrono;
  auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

LocalDate SystemClock::Today() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return LocalDate{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

void SystemClock::Sleep(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace quib
