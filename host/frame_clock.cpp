#include "host/frame_clock.h"

#include <limits>

#include "host/thread_handoff.h"

namespace vf {

namespace {

void AdvanceChannel(const SharedInt (&history)[kLevelHistoryLength], std::int32_t speed,
                    std::int32_t framesCount, SharedInt& counter, SharedInt& frame) {
  double sum = 0.0;
  for (const auto& level : history) sum += Load(level);
  const double average = sum / 100.0;
  const double step = ((speed - 0.1) * average) / 255.0;
  if (!(step > 0.0)) return;
  // Without frames there is no frame to show; this happens only when no scene was ever created.
  if (framesCount < 1) return;

  const std::int64_t ticksPerRevolution = RoundHalfEven(framesCount / step);
  std::int64_t ticks = Load(counter);
  if (ticks >= ticksPerRevolution) ticks = 0;
  const std::int64_t advanced = RoundHalfEven(static_cast<double>(ticks) * step);
  Store(frame, static_cast<std::int32_t>(advanced % framesCount));
  // The counter stays below the ticks of one revolution; the wrap only guards a run of years.
  Store(counter, ticks < std::numeric_limits<std::int32_t>::max()
                     ? static_cast<std::int32_t>(ticks + 1)
                     : 0);
}

}  // namespace

void FrameClockStep(TAnimationState& state) {
  const std::int32_t speed = Load(state.Speed);
  const std::int32_t framesCount = Load(state.FramesCount);
  AdvanceChannel(state.LevelHistoryL, speed, framesCount, state.TickCounter1, state.Frame1);
  AdvanceChannel(state.LevelHistoryR, speed, framesCount, state.TickCounter2, state.Frame2);
}

void VF_STDCALL FrameClockTick(platform::WindowHandle, std::uint32_t, platform::TimerId,
                               std::uint32_t) {
  FrameClockStep(AnimationState);
  // The tick comes from the owner thread's message loop: the right moment for the work other
  // threads handed over to it.
  RunHandedOverWork();
}

}  // namespace vf
