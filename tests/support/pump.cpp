#include "support/pump.h"

#include "platform/message_pump.h"

namespace vf::test {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < until) {
    platform::PumpMessages();
    if (done()) return true;
    platform::WaitForMessages(5);
  }
  platform::PumpMessages();
  return done();
}

std::uint32_t PumpFor(std::chrono::milliseconds duration) {
  std::uint32_t ticks = 0;
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    ticks += platform::PumpMessages().timerMessages;
    platform::WaitForMessages(5);
  }
  return ticks;
}

TickRun PumpUntilTicks(std::uint32_t ticks, std::chrono::milliseconds deadline) {
  TickRun run;
  const auto start = std::chrono::steady_clock::now();
  while (run.ticks < ticks && std::chrono::steady_clock::now() - start < deadline) {
    run.ticks += platform::PumpMessages().timerMessages;
    if (run.ticks < ticks) platform::WaitForMessages(5);
  }
  run.took = std::chrono::steady_clock::now() - start;
  return run;
}

}  // namespace vf::test
