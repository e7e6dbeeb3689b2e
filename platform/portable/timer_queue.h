#pragma once

#include <chrono>
#include <optional>

#include "platform/timer.h"

// The portable timer service, shared by the timer functions and the message pump.
namespace platform::portable {

using Clock = std::chrono::steady_clock;

// Fires every timer of the calling thread that is due; returns how many fired.
std::uint32_t DispatchDueTimers();

// When the calling thread's next timer is due, if it has one.
std::optional<Clock::time_point> NextTimerDue();

}  // namespace platform::portable
