#include "host/animation_state.h"

namespace vf {

TAnimationState AnimationState;

namespace {

void Push(SharedInt (&history)[kLevelHistoryLength], std::int32_t level) {
  for (int i = 0; i < kLevelHistoryLength - 1; ++i) Store(history[i], Load(history[i + 1]));
  Store(history[kLevelHistoryLength - 1], level);
}

}  // namespace

void PushLevels(TAnimationState& state, std::int32_t levelL, std::int32_t levelR) {
  Push(state.LevelHistoryL, levelL);
  Push(state.LevelHistoryR, levelR);
}

}  // namespace vf
