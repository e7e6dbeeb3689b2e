// Window-less timers fire only from the owner thread's pump, about once per interval, and missed
// ticks are not queued up.
#include "platform/timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/message_pump.h"

namespace {

std::atomic<int> gTicks{0};
std::atomic<platform::TimerId> gLastId{0};

void VF_STDCALL CountTick(platform::WindowHandle window, std::uint32_t message,
                          platform::TimerId id, std::uint32_t) {
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(message, platform::kTimerMessage);
  gLastId = id;
  ++gTicks;
}

platform::TimerId gSelfKilling = 0;
void VF_STDCALL KillSelf(platform::WindowHandle, std::uint32_t, platform::TimerId id, std::uint32_t) {
  ++gTicks;
  platform::KillTimer(id);
}

int PumpFor(std::chrono::milliseconds duration) {
  int timerMessages = 0;
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    timerMessages += static_cast<int>(platform::PumpMessages().timerMessages);
    platform::WaitForMessages(5);
  }
  return timerMessages;
}

TEST(Timer, TicksOnlyWhileTheOwnerPumps) {
  gTicks = 0;
  const auto id = platform::SetTimer(30, CountTick);
  ASSERT_NE(id, 0u);

  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(gTicks, 0) << "no tick may run without a pump";
  EXPECT_LE(platform::PumpMessages().timerMessages, 1u) << "missed ticks are not queued up";

  // Another thread's pump never runs this thread's timer.
  gTicks = 0;
  std::thread other([] { PumpFor(std::chrono::milliseconds(150)); });
  other.join();
  EXPECT_EQ(gTicks, 0);

  const int pumped = PumpFor(std::chrono::milliseconds(600));
  EXPECT_EQ(pumped, gTicks.load());
  // About one tick per 30 ms; generous bounds, since a loaded machine delays ticks.
  EXPECT_GE(gTicks, 8);
  EXPECT_LE(gTicks, 22);
  EXPECT_EQ(gLastId, id);

  EXPECT_TRUE(platform::KillTimer(id));
  gTicks = 0;
  PumpFor(std::chrono::milliseconds(100));
  EXPECT_EQ(gTicks, 0);
  EXPECT_FALSE(platform::KillTimer(id));
}

TEST(Timer, CallbackMayKillItsOwnTimer) {
  gTicks = 0;
  gSelfKilling = platform::SetTimer(10, KillSelf);
  ASSERT_NE(gSelfKilling, 0u);
  PumpFor(std::chrono::milliseconds(100));
  EXPECT_EQ(gTicks, 1);
}

}  // namespace
