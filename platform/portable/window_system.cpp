// Portable window system: lazy start of SDL's video, one lock around every SDL call, and the
// routing of SDL's process-wide events to the queues of the threads that own the windows.
#include "window_system.h"

#include <atomic>
#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform::portable {
namespace {

struct WindowEntry {
  RoutedWindow* window = nullptr;
  std::thread::id owner;
};

struct WindowSystem {
  std::recursive_mutex lock;
  bool videoTried = false;
  bool videoReady = false;
  std::unordered_map<std::uint32_t, WindowEntry> windows;
  std::unordered_map<std::thread::id, std::deque<SDL_Event>> queues;

  ~WindowSystem() {
    // Give the display connection back at exit; windows still open belong to threads that are
    // gone by now.
    if (videoReady) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
};

WindowSystem& System() {
  static WindowSystem system;
  return system;
}

std::atomic<bool> gVideoStarted{false};

bool HasValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

std::uint32_t WindowIdOf(const SDL_Event& event) {
  switch (event.type) {
    case SDL_WINDOWEVENT: return event.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP: return event.key.windowID;
    case SDL_MOUSEMOTION: return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return event.button.windowID;
    default: return 0;  // wheel, text, quit, devices: nothing a popup window uses
  }
}

// Moves every event SDL holds into the queue of the window's owner. Called under the lock.
void RouteSdlEvents(WindowSystem& system) {
  SDL_PumpEvents();
  SDL_Event batch[64];
  for (;;) {
    const int count = SDL_PeepEvents(batch, 64, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
    if (count <= 0) break;
    for (int i = 0; i < count; ++i) {
      auto it = system.windows.find(WindowIdOf(batch[i]));
      if (it == system.windows.end()) continue;
      system.queues[it->second.owner].push_back(batch[i]);
    }
  }
}

}  // namespace

std::recursive_mutex& SdlLock() { return System().lock; }

bool VideoStarted() { return gVideoStarted.load(std::memory_order_acquire); }

bool EnsureVideo() {
  auto& system = System();
  std::lock_guard guard(system.lock);
  if (system.videoTried) return system.videoReady;
  system.videoTried = true;

  // Without a display SDL would try the console's own screen (KMS/DRM) and take it from whoever
  // uses it; a library must not do that. A driver named explicitly (offscreen, dummy) is honoured.
  if (!HasValue("SDL_VIDEODRIVER") && !HasValue("DISPLAY") && !HasValue("WAYLAND_DISPLAY")) {
    std::fprintf(stderr, "vindelux-platform: no display (DISPLAY and WAYLAND_DISPLAY are unset); "
                         "windows are not made\n");
    return false;
  }
  // A library keeps the process as it found it: no signal handlers, the screen saver allowed.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // Plain software presentation: the windows are small, and shapes apply to them directly.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // A click on an inactive window is a click, as on Windows.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "vindelux-platform: no window system: %s\n", SDL_GetError());
    return false;
  }
  SDL_StopTextInput();
  system.videoReady = true;
  gVideoStarted.store(true, std::memory_order_release);
  return true;
}

void RegisterWindow(std::uint32_t windowId, RoutedWindow* window) {
  auto& system = System();
  std::lock_guard guard(system.lock);
  system.windows[windowId] = {window, std::this_thread::get_id()};
}

bool UnregisterWindow(std::uint32_t windowId) {
  auto& system = System();
  bool own = true;
  {
    std::lock_guard guard(system.lock);
    auto it = system.windows.find(windowId);
    if (it == system.windows.end()) return true;
    own = it->second.owner == std::this_thread::get_id();
    system.windows.erase(it);
  }
  if (!own) {
    std::fprintf(stderr, "vindelux-platform: a window was destroyed from a thread other than its own;"
                         " the window stays, as Windows keeps it\n");
    assert(own && "a window may be destroyed only by the thread that made it");
  }
  return own;
}

std::uint32_t DispatchWindowEvents() {
  if (!VideoStarted()) return 0;
  auto& system = System();
  const auto self = std::this_thread::get_id();
  std::deque<SDL_Event> mine;
  std::vector<std::uint32_t> dragging;
  {
    std::lock_guard guard(system.lock);
    RouteSdlEvents(system);
    auto it = system.queues.find(self);
    if (it != system.queues.end()) {
      mine.swap(it->second);
      system.queues.erase(it);
    }
  }

  std::uint32_t delivered = 0;
  for (const SDL_Event& event : mine) {
    // A handler may have destroyed this or another window, so each event finds its window anew.
    RoutedWindow* window = nullptr;
    {
      std::lock_guard guard(system.lock);
      auto it = system.windows.find(WindowIdOf(event));
      if (it != system.windows.end()) window = it->second.window;
    }
    if (window == nullptr) continue;
    window->HandleEvent(event);
    ++delivered;
  }

  {
    std::lock_guard guard(system.lock);
    for (const auto& [id, entry] : system.windows) {
      if (entry.owner == self && entry.window->Dragging()) dragging.push_back(id);
    }
  }
  for (std::uint32_t id : dragging) {
    RoutedWindow* window = nullptr;
    {
      std::lock_guard guard(system.lock);
      auto it = system.windows.find(id);
      if (it != system.windows.end()) window = it->second.window;
    }
    if (window != nullptr) window->TrackDrag();
  }
  return delivered;
}

WindowWork PendingWindowWork() {
  if (!VideoStarted()) return WindowWork::None;
  auto& system = System();
  const auto self = std::this_thread::get_id();
  std::lock_guard guard(system.lock);
  RouteSdlEvents(system);
  auto it = system.queues.find(self);
  if (it != system.queues.end() && !it->second.empty()) return WindowWork::Events;
  for (const auto& [id, entry] : system.windows) {
    if (entry.owner == self && entry.window->Dragging()) return WindowWork::Drag;
  }
  return WindowWork::None;
}

}  // namespace platform::portable
