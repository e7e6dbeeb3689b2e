#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

// Pumping the calling thread's messages the way a host's loop does, for tests of timers and
// windows.
namespace vf::test {

// Pumps until the condition holds or the time is up; the condition's last answer.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// Pumps for the whole duration; returns the timer ticks delivered.
std::uint32_t PumpFor(std::chrono::milliseconds duration);

struct TickRun {
  std::uint32_t ticks = 0;
  std::chrono::steady_clock::duration took{};
};

// Pumps until `ticks` timer ticks have come or the deadline passes. Ticks come late on a loaded
// machine but never early, so checking how long a number of ticks took cannot fail for load.
TickRun PumpUntilTicks(std::uint32_t ticks, std::chrono::milliseconds deadline);

}  // namespace vf::test
