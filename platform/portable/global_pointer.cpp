#include "global_pointer.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <cstring>
#include <mutex>

namespace platform::portable {
namespace {

// A connection of our own, for queries only: SDL's is read by SDL's event pump, and Xlib
// connections are not to be shared across threads without XInitThreads.
Display* QueryConnection() {
  static Display* display = XOpenDisplay(nullptr);
  return display;
}

std::mutex& QueryLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

GlobalPointerState GlobalPointer() {
  GlobalPointerState state;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver != nullptr && std::strcmp(driver, "x11") == 0) {
    std::lock_guard guard(QueryLock());
    if (Display* display = QueryConnection()) {
      Window root = 0, child = 0;
      int rootX = 0, rootY = 0, x = 0, y = 0;
      unsigned int mask = 0;
      if (XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &mask)) {
        state.At = {rootX, rootY};
        state.ButtonHeld = (mask & (Button1Mask | Button2Mask | Button3Mask)) != 0;
        return state;
      }
    }
  }
  const Uint32 buttons = SDL_GetGlobalMouseState(&state.At.X, &state.At.Y);
  state.ButtonHeld = (buttons & (SDL_BUTTON_LMASK | SDL_BUTTON_MMASK | SDL_BUTTON_RMASK)) != 0;
  return state;
}

}  // namespace platform::portable
