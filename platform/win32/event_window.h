#pragma once

#include <windows.h>

#include "platform/pixel_buffer.h"
#include "platform/resources.h"
#include "platform/window.h"

// What the popup and the host window share as Win32 windows: the window procedure that reaches
// the object, the kept content painted at 1:1, and the input messages read into window events
// alike.
namespace platform::win32 {

// The module this code is linked into (the plug-in's DLL or a program), not the process's
// executable: window classes registered here belong to it.
inline HINSTANCE ThisInstance() { return static_cast<HINSTANCE>(ThisModule()); }

// The class of one kind of window, registered with its first window and unregistered with its
// last: a DLL's classes outlive it otherwise, and a reloaded DLL would find the name taken by a
// stale procedure. Its procedure is EventWindow::WindowProc.
class WindowClass {
 public:
  WindowClass(const wchar_t* name, UINT style, bool applicationIcon)
      : FName(name), FStyle(style), FApplicationIcon(applicationIcon) {}
  // Counts one more window, registering the class for the first; false when it cannot be.
  bool Use();
  // Counts one window less; every Use is matched by one Leave, also when Use failed.
  void Leave();
  const wchar_t* Name() const { return FName; }

 private:
  const wchar_t* FName;
  UINT FStyle;
  bool FApplicationIcon;
  int FUsers = 0;
  bool FRegistered = false;
};

class EventWindow {
 public:
  EventWindow(const EventWindow&) = delete;
  EventWindow& operator=(const EventWindow&) = delete;

  // The procedure to register with the window class; the object is passed as the creation
  // parameter of CreateWindowExW, as an EventWindow* (a derived pointer lies elsewhere).
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 protected:
  explicit EventWindow(WindowEventHandler onEvent);
  // The derived window destroys its HWND in its own destructor, while its Handle still exists.
  virtual ~EventWindow() = default;

  // Every message of the window; what it does not handle goes to DefWindowProcW.
  virtual LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

  // Mouse, double click, key, focus and close messages as window events. True when the message
  // was one of them (it is then answered with 0).
  bool HandleInput(UINT msg, WPARAM wParam, LPARAM lParam);

  // Destroys the window. Only its own thread may, as the system has it; from another thread the
  // system refuses, and the window is then only cut off from this object (a debug build stops
  // at such a call so that it is found).
  void DestroyOwnWindow();

  // Keeps a copy of the pixels and paints them now.
  void KeepAndPaint(const PixelBuffer& pixels);
  // Paints the kept content at 1:1 from the top left corner; returns the size painted.
  SIZE PaintContent(HDC dc) const;

  void Raise(WindowEvent::Kind kind);
  // The handler may destroy the window: nothing of it is used after the call.
  void Raise(const WindowEvent& event);

  HWND FWnd = nullptr;

 private:
  WindowEventHandler FOnEvent;
  PixelBuffer FContent;
  bool FTrackingLeave = false;
};

}  // namespace platform::win32
