#include "event_window.h"

#include <cassert>
#include <utility>

#include "window_input.h"

namespace platform::win32 {

bool WindowClass::Use() {
  ++FUsers;
  if (FRegistered) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = FStyle;
  wc.lpfnWndProc = &EventWindow::WindowProc;
  wc.hInstance = ThisInstance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  if (FApplicationIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.lpszClassName = FName;
  // A registration that fails is tried again by the next window.
  FRegistered = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return FRegistered;
}

void WindowClass::Leave() {
  if (--FUsers > 0 || !FRegistered) return;
  UnregisterClassW(FName, ThisInstance());
  FRegistered = false;
}

EventWindow::EventWindow(WindowEventHandler onEvent) : FOnEvent(std::move(onEvent)) {}

LRESULT CALLBACK EventWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<EventWindow*>(create->lpCreateParams);
    self->FWnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<EventWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (self != nullptr) self->FWnd = nullptr;
  }
  if (self == nullptr || self->FWnd == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  return self->Handle(msg, wParam, lParam);
}

bool EventWindow::HandleInput(UINT msg, WPARAM wParam, LPARAM lParam) {
  using Kind = WindowEvent::Kind;
  auto mouse = [&](Kind kind, MouseButton button) {
    Raise(MouseEventOf(kind, button, wParam, lParam));
    return true;
  };
  switch (msg) {
    case WM_LBUTTONDOWN: return mouse(Kind::MouseDown, MouseButton::Left);
    case WM_RBUTTONDOWN: return mouse(Kind::MouseDown, MouseButton::Right);
    case WM_MBUTTONDOWN: return mouse(Kind::MouseDown, MouseButton::Middle);
    // The second press of a double click (for classes that ask for them) comes as the double
    // click alone.
    case WM_LBUTTONDBLCLK: return mouse(Kind::DoubleClick, MouseButton::Left);
    case WM_RBUTTONDBLCLK: return mouse(Kind::DoubleClick, MouseButton::Right);
    case WM_MBUTTONDBLCLK: return mouse(Kind::DoubleClick, MouseButton::Middle);
    case WM_LBUTTONUP: return mouse(Kind::MouseUp, MouseButton::Left);
    case WM_RBUTTONUP: return mouse(Kind::MouseUp, MouseButton::Right);
    case WM_MBUTTONUP: return mouse(Kind::MouseUp, MouseButton::Middle);
    case WM_MOUSEMOVE:
      if (!FTrackingLeave) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, FWnd, 0};
        FTrackingLeave = TrackMouseEvent(&track) != FALSE;
      }
      return mouse(Kind::MouseMove, MouseButton::Left);
    case WM_MOUSELEAVE:
      FTrackingLeave = false;
      Raise(Kind::MouseLeave);
      return true;
    case WM_KEYDOWN: Raise(KeyEventOf(wParam)); return true;
    case WM_SETFOCUS: Raise(Kind::FocusIn); return true;
    case WM_KILLFOCUS: Raise(Kind::FocusOut); return true;
    // Nothing closes by itself: the owner decides what a close request does.
    case WM_CLOSE: Raise(Kind::CloseRequest); return true;
    default: return false;
  }
}

void EventWindow::KeepAndPaint(const PixelBuffer& pixels) {
  FContent = pixels;
  InvalidateRect(FWnd, nullptr, FALSE);
  UpdateWindow(FWnd);
}

SIZE EventWindow::PaintContent(HDC dc) const {
  if (FContent.Empty()) return {0, 0};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = static_cast<LONG>(FContent.Stride() / 4);
  info.bmiHeader.biHeight = -FContent.Height();  // top-down, as the buffer lies
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(FContent.Width()), static_cast<DWORD>(FContent.Height()), 0,
                    0, 0, static_cast<UINT>(FContent.Height()), FContent.Row(0), &info, DIB_RGB_COLORS);
  return {FContent.Width(), FContent.Height()};
}

void EventWindow::Raise(WindowEvent::Kind kind) {
  WindowEvent event;
  event.Type = kind;
  Raise(event);
}

void EventWindow::Raise(const WindowEvent& event) {
  if (FOnEvent) FOnEvent(event);
}

void EventWindow::DestroyOwnWindow() {
  if (FWnd == nullptr) return;
  const bool own = ::GetWindowThreadProcessId(FWnd, nullptr) == ::GetCurrentThreadId();
  assert(own && "a window may be destroyed only by the thread that made it");
  // A window that survives must not reach this object, which is going away.
  if (!own || !::DestroyWindow(FWnd)) ::SetWindowLongPtrW(FWnd, GWLP_USERDATA, 0);
  FWnd = nullptr;
}

}  // namespace platform::win32
