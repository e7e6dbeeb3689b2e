// Window-less timers fire only from the owner thread's pump, about once per interval, and missed
// ticks are not queued up.
#include "platform/timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/message_pump.h"
#include "support/pump.h"

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

using vf::test::PumpFor;
using namespace std::chrono_literals;

TEST(Timer, TicksOnlyWhileTheOwnerPumps) {
  gTicks = 0;
  const auto id = platform::SetTimer(30, CountTick);
  ASSERT_NE(id, 0u);

  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(gTicks, 0) << "no tick may run without a pump";
  EXPECT_LE(platform::PumpMessages().timerMessages, 1u) << "missed ticks are not queued up";

  // Another thread's pump never runs this thread's timer.
  gTicks = 0;
  std::thread other([] { PumpFor(150ms); });
  other.join();
  EXPECT_EQ(gTicks, 0);

  // One tick per 30 ms at most: the first may be due at once and the second early, since ticks
  // keep their schedule, so eleven ticks take nine periods or more.
  const auto run = vf::test::PumpUntilTicks(11, 10s);
  EXPECT_EQ(run.ticks, static_cast<std::uint32_t>(gTicks.load()));
  ASSERT_EQ(run.ticks, 11u) << "the timer stopped ticking";
  EXPECT_GE(run.took, 9 * 30ms) << "ticks came faster than the interval";
  EXPECT_EQ(gLastId, id);

  EXPECT_TRUE(platform::KillTimer(id));
  gTicks = 0;
  PumpFor(100ms);
  EXPECT_EQ(gTicks, 0);
  EXPECT_FALSE(platform::KillTimer(id));
}

TEST(Timer, CallbackMayKillItsOwnTimer) {
  gTicks = 0;
  gSelfKilling = platform::SetTimer(10, KillSelf);
  ASSERT_NE(gSelfKilling, 0u);
  PumpFor(100ms);
  EXPECT_EQ(gTicks, 1);
}

// Only the owner may stop its timer, as on Windows: another thread's attempt is refused and the
// timer goes on ticking for its owner.
TEST(Timer, AnotherThreadCannotStopIt) {
  gTicks = 0;
  const auto id = platform::SetTimer(30, CountTick);
  ASSERT_NE(id, 0u);
  bool stopped = true;
  std::thread other([&] { stopped = platform::KillTimer(id); });
  other.join();
  EXPECT_FALSE(stopped) << "another thread stopped the timer";
  EXPECT_EQ(vf::test::PumpUntilTicks(1, 10s).ticks, 1u) << "the refused stop still stopped the timer";
  EXPECT_TRUE(platform::KillTimer(id));
}

}  // namespace
