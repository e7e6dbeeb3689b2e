// Portable message pump: delivers the calling thread's window events, in the order they came,
// then its due timers; timer ticks wait behind input, as WM_TIMER does.
#include "platform/message_pump.h"

#include <algorithm>
#include <thread>

#include "timer_queue.h"
#include "window_system.h"

namespace platform {

PumpResult PumpMessages() {
  PumpResult result;
  const std::uint32_t windowMessages = portable::DispatchWindowEvents();
  result.timerMessages = portable::DispatchDueTimers();
  result.messages = windowMessages + result.timerMessages;
  return result;
}

void WaitForMessages(std::uint32_t timeoutMs) {
  auto until = portable::Clock::now() + std::chrono::milliseconds(timeoutMs);
  if (auto next = portable::NextTimerDue()) until = std::min(until, *next);
  if (!portable::VideoStarted()) {
    std::this_thread::sleep_until(until);
    return;
  }
  // SDL's queue has no wake-up that could be shared with the timers, so window events are
  // polled in short steps. A running drag wakes the pump after each step so the window follows.
  constexpr auto kStep = std::chrono::milliseconds(8);
  for (;;) {
    const auto now = portable::Clock::now();
    if (now >= until) return;
    const auto work = portable::PendingWindowWork();
    if (work == portable::WindowWork::Events) return;
    std::this_thread::sleep_until(std::min(until, now + kStep));
    if (work == portable::WindowWork::Drag) return;
  }
}

}  // namespace platform
