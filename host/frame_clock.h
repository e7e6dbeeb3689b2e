#pragma once

#include <cstdint>

#include "host/animation_state.h"
#include "platform/timer.h"
#include "renderer/rounding.h"

// The 30 ms frame clock: each tick turns the average level of each channel into a step of that
// channel's frame index.
namespace vf {

inline constexpr std::uint32_t kFrameClockIntervalMs = 30;

// One tick over the given state: the left channel first, then the right one.
void FrameClockStep(TAnimationState& state);

// The timer callback: one tick over the module's AnimationState.
void VF_STDCALL FrameClockTick(platform::WindowHandle window, std::uint32_t message,
                               platform::TimerId id, std::uint32_t time);

}  // namespace vf
