#pragma once

#include <SDL.h>

#include <cstdint>
#include <mutex>

// The portable window system over SDL2. SDL's event queue is process-wide, so this library alone
// reads it and routes each event by window to the queue of the thread that owns the window; that
// thread's message pump then delivers it. Every SDL call of the library is made under one lock.
namespace platform::portable {

// A window as the router sees it: it handles its own events and its drag, on its owner's thread.
class RoutedWindow {
 public:
  virtual ~RoutedWindow() = default;
  // Called without the lock held; the window may be destroyed by the handlers it calls, so the
  // caller touches nothing of it afterwards.
  virtual void HandleEvent(const SDL_Event& event) = 0;
  // Moves the window after the pointer while a drag runs; false once no drag runs.
  virtual bool TrackDrag() = 0;
  virtual bool Dragging() const = 0;
};

std::recursive_mutex& SdlLock();

// Starts SDL's video the first time it is called (not at library load). False when there is no
// display to put windows on; the reason is told once on standard error.
bool EnsureVideo();

// Whether this process has started SDL's video; cheap and lock-free.
bool VideoStarted();

void RegisterWindow(std::uint32_t windowId, RoutedWindow* window);
// Stops routing the window's events (its object is going away) and says whether the calling
// thread may destroy the window itself. Only its owner may, as on Windows, where DestroyWindow
// fails for another thread's window: the window then stays, which is said on standard error, and
// a debug build stops right there so the wrong call is found.
bool UnregisterWindow(std::uint32_t windowId);

// Delivers the calling thread's queued window events, in order, then moves the windows it is
// dragging. Returns the number of events delivered.
std::uint32_t DispatchWindowEvents();

// What the calling thread's pump has to do for its windows: deliver waiting events, or move a
// dragged window after the pointer.
enum class WindowWork { None, Drag, Events };
WindowWork PendingWindowWork();

}  // namespace platform::portable
