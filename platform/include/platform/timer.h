#pragma once

#include <cstdint>

#include "platform/api.h"

// Window-less timers. A timer belongs to the thread that created it: its callback runs only from
// that thread's message pump (PumpMessages), never on a thread of its own and never in parallel
// with the owner thread's other work. Ticks missed while the thread does not pump are not queued
// up; the next pump delivers one tick for them.
namespace platform {

using WindowHandle = void*;
using TimerId = std::uintptr_t;

// The timer callback of the Windows user interface: window (always null here), message, timer
// identifier, milliseconds since start-up.
using TimerProc = void(VF_STDCALL*)(WindowHandle window, std::uint32_t message, TimerId id,
                                    std::uint32_t time);

inline constexpr std::uint32_t kTimerMessage = 0x0113;  // WM_TIMER

// Starts a periodic timer on the calling thread; 0 when the platform refuses.
VF_PLATFORM_API TimerId SetTimer(std::uint32_t intervalMs, TimerProc proc);

// Stops a timer of the calling thread; false when the thread has no such timer. Another thread's
// timer is refused, as Windows refuses it: only the owner may stop it.
VF_PLATFORM_API bool KillTimer(TimerId id);

}  // namespace platform
