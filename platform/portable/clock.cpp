#include "platform/clock.h"

#include <time.h>

namespace platform {

bool QueryPerformanceCounter(std::int64_t& value) {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return false;
  value = static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
  return true;
}

std::uint32_t GetTickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                  static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000u;
  return static_cast<std::uint32_t>(ms);
}

}  // namespace platform
