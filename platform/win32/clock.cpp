#include "platform/clock.h"

#include <windows.h>

namespace platform {

bool QueryPerformanceCounter(std::int64_t& value) {
  LARGE_INTEGER counter;
  if (!::QueryPerformanceCounter(&counter)) return false;
  value = counter.QuadPart;
  return true;
}

std::uint32_t GetTickCount() { return ::GetTickCount(); }

}  // namespace platform
