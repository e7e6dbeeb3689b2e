// Real input through the XTEST extension and pictures of the root window, on a connection of
// the test's own. Our header goes first: Xlib's macros (FocusIn, None...) would break it.
#include "screen_input.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <stdexcept>

namespace window_test {
namespace {

Display* Connection() {
  static Display* display = [] {
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) throw std::runtime_error("no X display for scripted input");
    return d;
  }();
  return display;
}

unsigned ButtonNumber(platform::MouseButton button) {
  switch (button) {
    case platform::MouseButton::Left: return 1;
    case platform::MouseButton::Middle: return 2;
    case platform::MouseButton::Right: return 3;
  }
  return 1;
}

}  // namespace

void MovePointer(platform::Point to) {
  XTestFakeMotionEvent(Connection(), -1, to.X, to.Y, CurrentTime);
  XSync(Connection(), False);
}

void PressButton(platform::MouseButton button) {
  XTestFakeButtonEvent(Connection(), ButtonNumber(button), True, CurrentTime);
  XSync(Connection(), False);
}

void ReleaseButton(platform::MouseButton button) {
  XTestFakeButtonEvent(Connection(), ButtonNumber(button), False, CurrentTime);
  XSync(Connection(), False);
}

void TapEnterKey() {
  const KeyCode code = XKeysymToKeycode(Connection(), XK_Return);
  XTestFakeKeyEvent(Connection(), code, True, CurrentTime);
  XTestFakeKeyEvent(Connection(), code, False, CurrentTime);
  XSync(Connection(), False);
}

platform::PixelBuffer CaptureScreen(const platform::Rect& area) {
  Display* d = Connection();
  XImage* image = XGetImage(d, DefaultRootWindow(d), area.Left, area.Top,
                            static_cast<unsigned>(area.Width()),
                            static_cast<unsigned>(area.Height()), AllPlanes, ZPixmap);
  if (image == nullptr) throw std::runtime_error("XGetImage failed");
  platform::PixelBuffer out(area.Width(), area.Height());
  for (int y = 0; y < area.Height(); ++y) {
    for (int x = 0; x < area.Width(); ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      out.At(x, y) = {static_cast<std::uint8_t>(p & 0xFF),
                      static_cast<std::uint8_t>((p >> 8) & 0xFF),
                      static_cast<std::uint8_t>((p >> 16) & 0xFF), 255};
    }
  }
  XDestroyImage(image);
  return out;
}

}  // namespace window_test

namespace window_test {

void RequestClose(platform::PopupWindow& window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(static_cast<SDL_Window*>(window.NativeHandle()), &info)) {
    throw std::runtime_error("no X window behind the SDL window");
  }
  Display* d = Connection();
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = info.info.x11.window;
  event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, info.info.x11.window, False, NoEventMask, &event);
  XSync(d, False);
}

void ResizeWindow(void* nativeHandle, int width, int height) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(static_cast<SDL_Window*>(nativeHandle), &info)) {
    throw std::runtime_error("no X window behind the SDL window");
  }
  XResizeWindow(Connection(), info.info.x11.window, static_cast<unsigned>(width),
                static_cast<unsigned>(height));
  XSync(Connection(), False);
}

std::vector<platform::Rect> OtherShownWindows(void* except) {
  std::vector<platform::Rect> found;
  // SDL numbers its windows in the order they are made and never reuses a number: the search goes
  // a little past the highest one seen, so a long run's thousandth window is found too.
  static Uint32 highest = 0;
  for (Uint32 id = 1; id <= highest + 64; ++id) {
    SDL_Window* window = SDL_GetWindowFromID(id);
    if (window != nullptr) highest = std::max(highest, id);
    if (window == nullptr || window == except || !(SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN))
      continue;
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &w, &h);
    found.push_back({x, y, x + w, y + h});
  }
  return found;
}

}  // namespace window_test
