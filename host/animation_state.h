#pragma once

#include <atomic>
#include <cstdint>

// The one module-wide record of level histories, parameter copies and frame indices. Render calls
// write the histories and read the frame indices on the host's render thread; the frame clock reads
// the histories and writes the frame indices on the thread that initialised the plug-in. Each field
// is a whole 32-bit value read and written atomically; no ordering between fields is needed.
namespace vf {

inline constexpr int kLevelHistoryLength = 100;

using SharedInt = std::atomic<std::int32_t>;
static_assert(SharedInt::is_always_lock_free);

struct TAnimationState {
  SharedInt LevelHistoryL[kLevelHistoryLength] = {};
  SharedInt LevelHistoryR[kLevelHistoryLength] = {};
  SharedInt Fan{0};
  SharedInt Background{0};
  SharedInt Speed{0};
  SharedInt FramesCount{0};
  SharedInt Frame1{0};
  SharedInt Frame2{0};
  SharedInt TickCounter1{0};
  SharedInt TickCounter2{0};
};

// Zero at module load and never cleared afterwards; shared by every plug-in object of the module.
extern TAnimationState AnimationState;

// Shifts both histories by one place towards the oldest entry and appends the new levels.
void PushLevels(TAnimationState& state, std::int32_t levelL, std::int32_t levelR);

// Relaxed whole-value access: the fields carry no ordering between each other.
inline std::int32_t Load(const SharedInt& field) { return field.load(std::memory_order_relaxed); }
inline void Store(SharedInt& field, std::int32_t value) {
  field.store(value, std::memory_order_relaxed);
}

}  // namespace vf
