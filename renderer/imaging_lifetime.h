#pragma once

#include <cstdint>

// When the imaging library runs. It must never be started or shut down inside the loader's
// attach or detach notification of the module (that is forbidden and deadlocks on Windows), so it
// starts lazily, right before the first image is made, and shuts down when its last user is gone:
// the plug-in objects are its users, and the host releases them all before it unloads the module.
namespace vf {

// Starts the imaging library unless it runs already. A start that fails is not remembered: the
// next image tries again (images made meanwhile load empty and draw nothing).
void EnsureImagingStarted();
bool ImagingStarted();

// The library's start and shut-down calls, replaceable by tests that need the start to fail; null
// functions restore the library's own.
struct ImagingCalls {
  std::uintptr_t (*Startup)() = nullptr;
  void (*Shutdown)(std::uintptr_t token) = nullptr;
};
void SetImagingCallsForTesting(ImagingCalls calls);

// Users of the imaging library: a plug-in object from its creation to its destruction, or a test.
// When the last user goes, a started library is shut down; every image is gone by then.
void AcquireImagingUser();
void ReleaseImagingUser();

// Holds one imaging user for a scope.
class ImagingUser {
 public:
  ImagingUser() { AcquireImagingUser(); }
  ~ImagingUser() { ReleaseImagingUser(); }
  ImagingUser(const ImagingUser&) = delete;
  ImagingUser& operator=(const ImagingUser&) = delete;
};

}  // namespace vf
