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
  ImagingCalls calls;
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
  state.token = state.calls.Startup ? state.calls.Startup() : platform::gdiplus::GdiplusStartup();
  state.started = state.token != 0;
}

bool ImagingStarted() {
  auto& state = State();
  std::lock_guard guard(state.lock);
  return state.started;
}

void SetImagingCallsForTesting(ImagingCalls calls) {
  auto& state = State();
  std::lock_guard guard(state.lock);
  state.calls = calls;
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
  if (state.calls.Shutdown) {
    state.calls.Shutdown(state.token);
  } else {
    platform::gdiplus::GdiplusShutdown(state.token);
  }
  state.token = 0;
  state.started = false;
}

}  // namespace vf
