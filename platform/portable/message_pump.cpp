// Portable message pump: delivers the calling thread's due timers. Window events join here once
// the platform has windows.
#include "platform/message_pump.h"

#include <algorithm>
#include <thread>

#include "timer_queue.h"

namespace platform {

PumpResult PumpMessages() {
  PumpResult result;
  result.timerMessages = portable::DispatchDueTimers();
  result.messages = result.timerMessages;
  return result;
}

void WaitForMessages(std::uint32_t timeoutMs) {
  auto until = portable::Clock::now() + std::chrono::milliseconds(timeoutMs);
  if (auto next = portable::NextTimerDue()) until = std::min(until, *next);
  std::this_thread::sleep_until(until);
}

}  // namespace platform
