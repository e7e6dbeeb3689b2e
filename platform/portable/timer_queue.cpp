// Portable window-less timers: one process-wide registry of timers, each owned by the thread that
// created it and fired only from that thread's message pump. A timer that comes due while its
// thread is busy fires once when the thread next pumps, like a Windows WM_TIMER.
#include "timer_queue.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

#include "error_codes.h"
#include "platform/clock.h"
#include "resources_impl.h"

namespace platform::portable {
namespace {

struct Timer {
  TimerId id;
  std::thread::id owner;
  Clock::duration interval;
  TimerProc proc;
  Clock::time_point due;
};

struct TimerRegistry {
  std::mutex lock;
  std::vector<Timer> timers;
  TimerId nextId = 1;
};

TimerRegistry& Registry() {
  static TimerRegistry registry;
  return registry;
}

// The same bounds Windows applies to a timer interval.
constexpr std::uint32_t kMinimumIntervalMs = 10;
constexpr std::uint32_t kMaximumIntervalMs = 0x7FFFFFFF;

}  // namespace

std::uint32_t DispatchDueTimers() {
  auto& registry = Registry();
  const auto self = std::this_thread::get_id();
  const auto now = Clock::now();

  std::vector<TimerId> due;
  {
    std::lock_guard guard(registry.lock);
    for (auto& timer : registry.timers) {
      if (timer.owner == self && timer.due <= now) {
        due.push_back(timer.id);
        timer.due = now + timer.interval;
      }
    }
  }

  std::uint32_t fired = 0;
  for (TimerId id : due) {
    // A callback may kill this or another timer, so each one is looked up again before it runs,
    // and the lock is not held while user code runs.
    TimerProc proc = nullptr;
    {
      std::lock_guard guard(registry.lock);
      auto it = std::find_if(registry.timers.begin(), registry.timers.end(),
                             [id](const Timer& t) { return t.id == id; });
      if (it != registry.timers.end()) proc = it->proc;
    }
    if (proc == nullptr) continue;
    proc(nullptr, kTimerMessage, id, GetTickCount());
    ++fired;
  }
  return fired;
}

std::optional<Clock::time_point> NextTimerDue() {
  auto& registry = Registry();
  const auto self = std::this_thread::get_id();
  std::optional<Clock::time_point> next;
  std::lock_guard guard(registry.lock);
  for (const auto& timer : registry.timers) {
    if (timer.owner == self && (!next || timer.due < *next)) next = timer.due;
  }
  return next;
}

}  // namespace platform::portable

namespace platform {

TimerId SetTimer(std::uint32_t intervalMs, TimerProc proc) {
  if (proc == nullptr) return 0;
  intervalMs = std::clamp(intervalMs, portable::kMinimumIntervalMs, portable::kMaximumIntervalMs);
  auto& registry = portable::Registry();
  const auto interval = std::chrono::milliseconds(intervalMs);
  std::lock_guard guard(registry.lock);
  const TimerId id = registry.nextId++;
  registry.timers.push_back(
      {id, std::this_thread::get_id(), interval, proc, portable::Clock::now() + interval});
  return id;
}

bool KillTimer(TimerId id) {
  auto& registry = portable::Registry();
  std::lock_guard guard(registry.lock);
  // Only the owner finds its timer: Windows refuses to stop another thread's timer, and so does
  // this stand-in, so a module that tries it fails here as it would there.
  auto it = std::find_if(registry.timers.begin(), registry.timers.end(), [id](const portable::Timer& t) {
    return t.id == id && t.owner == std::this_thread::get_id();
  });
  if (it == registry.timers.end()) {
    portable::SetLastErrorCode(portable::win_error::kErrorInvalidParameter);
    return false;
  }
  registry.timers.erase(it);
  return true;
}

}  // namespace platform
