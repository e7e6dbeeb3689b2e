// The frame clock turns the averaged level of each channel into frame indices, with the exact
// arithmetic and rounding the fans' speed depends on.
#include "host/frame_clock.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vf {
namespace {

// A fresh state per test: the module-wide one is never cleared, so tests use their own.
struct ClockFixture : ::testing::Test {
  std::unique_ptr<TAnimationState> state = std::make_unique<TAnimationState>();

  void FillLeft(std::int32_t level) {
    for (auto& entry : state->LevelHistoryL) Store(entry, level);
  }
  std::vector<std::int32_t> TicksLeft(int count) {
    std::vector<std::int32_t> frames;
    for (int i = 0; i < count; ++i) {
      FrameClockStep(*state);
      frames.push_back(Load(state->Frame1));
    }
    return frames;
  }
};

TEST(RoundHalfEven, ExactHalvesGoToTheEvenNeighbour) {
  const struct {
    double value;
    std::int64_t rounded;
  } cases[] = {{2.5, 2},   {3.5, 4},     {0.5, 0},        {1.5, 2},    {-2.5, -2}, {-3.5, -4},
               {15.66, 16}, {3.13, 3},   {1.04, 1},       {2.49, 2},   {2.51, 3},  {0.0, 0},
               {1e300, INT64_MAX}, {-1e300, INT64_MIN}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
}

struct WorkedExample {
  std::int32_t level;
  std::int32_t speed;
  std::vector<std::int32_t> frames;
};

TEST_F(ClockFixture, WorkedExamplesWithThirtyOneFrames) {
  const WorkedExample examples[] = {
      // 51 at speed 10: k = 1.98 frames a tick, the counter restarts after R = 16 ticks.
      {51, 10, {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30,
                0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30}},
      {255, 10, {0, 10, 20, 0, 10, 20, 0}},
      {255, 30, {0, 0, 0, 0}},
  };
  for (const auto& example : examples) {
    state = std::make_unique<TAnimationState>();
    Store(state->FramesCount, 31);
    Store(state->Speed, example.speed);
    FillLeft(example.level);
    EXPECT_EQ(TicksLeft(static_cast<int>(example.frames.size())), example.frames)
        << "level " << example.level << " speed " << example.speed;
  }
}

TEST_F(ClockFixture, SilenceOrNonPositiveSpeedLeavesFrameAndCounter) {
  for (const auto& [level, speed] : {std::pair{0, 10}, {200, 0}, {200, -5}}) {
    state = std::make_unique<TAnimationState>();
    Store(state->FramesCount, 31);
    Store(state->Speed, speed);
    Store(state->Frame1, 7);
    Store(state->TickCounter1, 3);
    FillLeft(level);
    FrameClockStep(*state);
    EXPECT_EQ(Load(state->Frame1), 7);
    EXPECT_EQ(Load(state->TickCounter1), 3);
  }
}

TEST_F(ClockFixture, ChannelsAreIndependent) {
  Store(state->FramesCount, 31);
  Store(state->Speed, 10);
  FillLeft(255);
  Store(state->Frame2, 5);
  Store(state->TickCounter2, 2);
  TicksLeft(2);
  EXPECT_EQ(Load(state->Frame1), 10);
  EXPECT_EQ(Load(state->Frame2), 5);
  EXPECT_EQ(Load(state->TickCounter2), 2);

  // And the other way round: a silent left channel keeps its values while the right one turns.
  state = std::make_unique<TAnimationState>();
  Store(state->FramesCount, 31);
  Store(state->Speed, 10);
  for (auto& entry : state->LevelHistoryR) Store(entry, 255);
  Store(state->Frame1, 4);
  FrameClockStep(*state);
  FrameClockStep(*state);
  EXPECT_EQ(Load(state->Frame2), 10);
  EXPECT_EQ(Load(state->Frame1), 4);
  EXPECT_EQ(Load(state->TickCounter1), 0);
}

TEST_F(ClockFixture, PartialHistoryAveragesTheUnwrittenZeros) {
  // 50 pushes of 255 after load: the average is 127.5, so k = 9.9 * 127.5 / 255 = 4.95.
  Store(state->FramesCount, 31);
  Store(state->Speed, 10);
  for (int i = 0; i < 50; ++i) PushLevels(*state, 255, 0);
  // R = round(31 / 4.95) = round(6.26) = 6; frames round(t * 4.95) mod 31.
  EXPECT_EQ(TicksLeft(7), (std::vector<std::int32_t>{0, 5, 10, 15, 20, 25, 0}));
}

TEST_F(ClockFixture, RevolutionBelowOneAndAHalfTicksShowsFrameZero) {
  // 31 / k < 1.5 gives R of 0 or 1: every tick restarts the revolution.
  Store(state->FramesCount, 31);
  Store(state->Speed, 30);
  FillLeft(255);
  EXPECT_EQ(TicksLeft(3), (std::vector<std::int32_t>{0, 0, 0}));
  EXPECT_EQ(Load(state->TickCounter1), 1);
}

TEST_F(ClockFixture, CounterRestartsAboveASmallerRevolutionAndRunsOnBelowALarger) {
  Store(state->FramesCount, 31);
  Store(state->Speed, 10);
  FillLeft(255);              // R = 3
  Store(state->TickCounter1, 10);
  FrameClockStep(*state);     // 10 >= 3: restart at 0
  EXPECT_EQ(Load(state->Frame1), 0);
  EXPECT_EQ(Load(state->TickCounter1), 1);

  FillLeft(51);               // R = 16: counter 1 just goes on
  FrameClockStep(*state);
  EXPECT_EQ(Load(state->Frame1), 2);
  EXPECT_EQ(Load(state->TickCounter1), 2);
}

// Before any scene has given a frame count there is no frame to move to.
TEST_F(ClockFixture, NoFramesMeansNoTick) {
  Store(state->Speed, 10);
  FillLeft(255);
  FrameClockStep(*state);
  EXPECT_EQ(Load(state->Frame1), 0);
  EXPECT_EQ(Load(state->TickCounter1), 0);
}

TEST(LevelPush, ShiftsTowardsTheOldestAndAppendsBothChannels) {
  auto state = std::make_unique<TAnimationState>();
  for (int i = 1; i <= 101; ++i) PushLevels(*state, i, -i);
  EXPECT_EQ(Load(state->LevelHistoryL[0]), 2);
  EXPECT_EQ(Load(state->LevelHistoryL[99]), 101);
  EXPECT_EQ(Load(state->LevelHistoryR[0]), -2);
  EXPECT_EQ(Load(state->LevelHistoryR[99]), -101);
}

}  // namespace
}  // namespace vf
