#pragma once

#include <utility>

// The host has no channel for failures, and an exception crossing a C boundary would end the
// player. Every slot therefore runs its work inside this guard, which contains any failure and
// answers the slot's neutral result.
namespace vf {

template <typename Result, typename Work>
Result GuardSlot(Result onFailure, Work&& work) noexcept {
  try {
    return std::forward<Work>(work)();
  } catch (...) {
    return onFailure;
  }
}

template <typename Work>
void GuardSlot(Work&& work) noexcept {
  try {
    std::forward<Work>(work)();
  } catch (...) {
  }
}

}  // namespace vf
