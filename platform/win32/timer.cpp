// Win32 timers: window-less SetTimer/KillTimer; the system delivers the ticks through the creating
// thread's message queue.
#include "platform/timer.h"

#include <windows.h>

namespace platform {

TimerId SetTimer(std::uint32_t intervalMs, TimerProc proc) {
  if (proc == nullptr) return 0;
  // TimerProc and TIMERPROC have the same arguments and convention; only the integer type names
  // differ (DWORD is a 32-bit unsigned long).
  return ::SetTimer(nullptr, 0, intervalMs, reinterpret_cast<TIMERPROC>(proc));
}

bool KillTimer(TimerId id) { return ::KillTimer(nullptr, id) != FALSE; }

}  // namespace platform
