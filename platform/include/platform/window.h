#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/api.h"
#include "platform/pixel_buffer.h"

// Top-level windows whose content the caller paints into a pixel buffer. A window belongs to the
// thread that created it: its events are delivered only by that thread's PumpMessages (or, on
// Windows, by any message loop of that thread), in order, together with its timer ticks.
namespace platform {

struct Point {
  int X = 0;
  int Y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Left, top, right, bottom: right and bottom are one past the last pixel, as Windows counts.
struct Rect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

enum class MouseButton : std::uint8_t { Left, Right, Middle };

enum class Key : std::uint8_t {
  Other, Tab, Left, Right, Up, Down, PageUp, PageDown, Home, End, Space, Enter, Escape
};

// Modifier keys held while an event happened.
struct ShiftState {
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;
};

enum class CursorShape : std::uint8_t { Arrow, Hand };

// One input or window event in client coordinates.
struct WindowEvent {
  enum class Kind : std::uint8_t {
    MouseDown,     // Button, Position, Shift
    MouseUp,       // Button, Position, Shift
    MouseMove,     // Position, Shift
    MouseLeave,    // the pointer left the client area
    KeyDown,       // Key, Shift
    FocusIn,       // the window became the active one
    FocusOut,
    CloseRequest,  // the user or the system asks the window to close; nothing closes by itself
    Paint,         // the content must be presented again (exposed, resized)
    Resize,        // ClientWidth, ClientHeight: the client area's new size
    DoubleClick,   // Button, Position, Shift: the second press of a double click, in its place
  };
  Kind Type = Kind::Paint;
  MouseButton Button = MouseButton::Left;
  Key KeyCode = Key::Other;
  ShiftState Shift;
  Point Position;
  char Letter = 0;  // KeyDown of a letter key: 'a' to 'z' (KeyCode is then Other)
  int ClientWidth = 0;
  int ClientHeight = 0;
};

using WindowEventHandler = std::function<void(const WindowEvent&)>;

// While the user drags a window to a new place, the owner may move the proposed position (to snap
// it to the edges of the screen, for example). It gets the proposed window rectangle in screen
// coordinates and returns the rectangle to use.
using MoveFilter = std::function<Rect(const Rect& proposed)>;

struct PopupWindowStyle {
  int ClientWidth = 0;
  int ClientHeight = 0;
  bool TopMost = true;          // stays above normal windows
  bool NoTaskbarEntry = true;   // a tool window: no taskbar button
  std::uint8_t Opacity = 255;   // constant alpha of the whole window
  bool FuchsiaTransparent = false;  // pixels of exactly red 255, green 0, blue 255 are cut out
};

// A borderless top-level window without title bar or frame. Created hidden at (0, 0).
class VF_PLATFORM_API PopupWindow {
 public:
  // Null when the platform cannot make a window (no display at all). Where the display refuses
  // opacity or a window shape, the window is still made, plain, and says so once on the debug
  // channel.
  static std::unique_ptr<PopupWindow> Create(const PopupWindowStyle& style,
                                             WindowEventHandler onEvent);
  virtual ~PopupWindow() = default;

  // Hands the window its content (client size, opaque pixels). The window keeps a copy and shows
  // it until the next call; it presents it again whenever the system asks, without a Paint event.
  virtual void Present(const PixelBuffer& pixels) = 0;

  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual bool IsVisible() const = 0;
  virtual void BringToFront() = 0;
  virtual void MoveTo(int left, int top) = 0;
  // Window rectangle on the screen.
  virtual Rect Bounds() const = 0;

  // Starts the platform's move loop as if the window's title bar had been pressed: the window
  // follows the pointer until the button is released. Windows: ReleaseCapture, then WM_SYSCOMMAND
  // 0xF012 sent to the window in-line. The filter may adjust every proposed position.
  virtual void BeginMoveDrag(MoveFilter filter) = 0;

  virtual void SetCursor(CursorShape shape) = 0;

  // Makes the window owned by a host's window (an HWND on Windows): it stays above its owner and
  // goes with it. Elsewhere there is no such relation, and an always-on-top window needs none.
  virtual void SetOwner(void* nativeOwner) { (void)nativeOwner; }

  // HWND on Windows, the SDL window on Linux; for tests and the platform's own use.
  virtual void* NativeHandle() const = 0;

 protected:
  PopupWindow() = default;
};

struct HostWindowStyle {
  std::string Title;  // UTF-8
  int ClientWidth = 0;
  int ClientHeight = 0;
};

// A player's main window: a normal top-level window with title bar and a frame the user can drag
// to resize it, and a taskbar entry. Created hidden. Every change of the client size, also while
// the border is being dragged, is a Resize event. Where the window system moves or sizes the
// window in a loop of its own, which holds the thread's loop up (Windows), the window sends a
// Paint event about every 30 ms while that loop runs, so the owner can go on presenting from its
// handler.
class VF_PLATFORM_API HostWindow {
 public:
  // Null when the platform cannot make a window (no display at all).
  static std::unique_ptr<HostWindow> Create(const HostWindowStyle& style,
                                            WindowEventHandler onEvent);
  virtual ~HostWindow() = default;

  // Hands the window its content, at most the client size; the rest of the client area is black.
  // The window keeps a copy and shows it again whenever the system asks.
  virtual void Present(const PixelBuffer& pixels) = 0;
  virtual void Show() = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void SetFullscreen(bool fullscreen) = 0;
  virtual bool IsFullscreen() const = 0;
  // The client area on the screen now: its top left corner and its size (Width(), Height()).
  virtual Rect ClientBounds() const = 0;
  virtual void* NativeHandle() const = 0;

 protected:
  HostWindow() = default;
};

// The pointer's position on the screen.
VF_PLATFORM_API Point CursorPos();

// The work area (the screen less task bars and docks) of the monitor nearest to the rectangle.
VF_PLATFORM_API Rect WorkAreaOf(const Rect& window);

}  // namespace platform
