#include "renderer/imaging_lifetime.h"

#include <cstdint>
#include <mutex>

#include "platform/imaging.h"

namespace vf {

namespace {

// Plug-in objects are created and released on whatever threads the host uses, so the few
// lifetime changes take a lock; nothing on the render path does.
struct ImagingState {
  std::mutex lock;
  int users = 0;
  std::uintptr_t token = 0;
  bool started = false;
};

ImagingState& State() {
  static ImagingState state;
  return state;
}

}  // namespace

void EnsureImagingStarted() {
  auto& state = State();
  std::lock_guard guard(state.lock);
  if (state.started) return;
  // The status is not examined: when start-up fails, images later load empty and draw nothing.
  state.token = platform::gdiplus::GdiplusStartup();
  state.started = true;
}

void AcquireImagingUser() {
  auto& state = State();
  std::lock_guard guard(state.lock);
  ++state.users;
}

void ReleaseImagingUser() {
  auto& state = State();
  std::lock_guard guard(state.lock);
  if (state.users > 0) --state.users;
  if (state.users > 0 || !state.started) return;
  platform::gdiplus::GdiplusShutdown(state.token);
  state.token = 0;
  state.started = false;
}

}  // namespace vf
