#pragma once

#include "platform/window.h"

// The pointer on the whole screen, read from the display server at the moment of the call.
// SDL's own global mouse state on X11 is a cache that only raw input events refresh, and while a
// button is held over one of our windows it keeps the position of the press, so a drag could
// never follow the hand; on X11 the server is therefore asked directly.
namespace platform::portable {

struct GlobalPointerState {
  Point At;
  bool ButtonHeld = false;  // any of the left, middle and right buttons is held
};

// Call with SdlLock held (SDL's video must have started).
GlobalPointerState GlobalPointer();

}  // namespace platform::portable
