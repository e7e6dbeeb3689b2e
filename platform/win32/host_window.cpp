// Win32 host window.
// Implemented: an overlapped window with title bar, sizing border and taskbar entry, created
// hidden with the client size asked for and centred on the primary work area; the last presented
// buffer painted at 1:1 on every WM_PAINT with black around it; every new client size a Resize
// event, also inside the system's sizing loop, where the owner's handler is called from the window
// procedure and may present at once, and where a timer of the window's own asks the owner for
// frames as Paint events; mouse, double click, key, focus and close messages turned
// into window events as the popup does; full screen as a borderless popup over the monitor, the
// window's placement kept to go back. Messages come through the thread's ordinary message loop.
#include "platform/window.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "event_window.h"
#include "text.h"
#include "window_input.h"

namespace platform {
namespace {

using win32::ThisInstance;

constexpr DWORD kFramedStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kExStyle = WS_EX_APPWINDOW;
// The smallest client area the border can be dragged to: a visualisation of no pixels helps
// nobody, and the owner's drawing area is never made empty.
constexpr int kMinClientWidth = 64;
constexpr int kMinClientHeight = 48;

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFrameTimerMs = 30;

// Double clicks arrive as WM_LBUTTONDBLCLK; every size change repaints the whole client area,
// whose black margin moves with it.
win32::WindowClass gClass(L"VindeluxHostWindow", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, true);

class Win32HostWindow final : public HostWindow, private win32::EventWindow {
 public:
  explicit Win32HostWindow(WindowEventHandler onEvent) : EventWindow(std::move(onEvent)) {}

  ~Win32HostWindow() override {
    DestroyOwnWindow();
    gClass.Leave();
  }

  bool Make(const HostWindowStyle& style) {
    if (!gClass.Use()) return false;
    RECT frame{0, 0, style.ClientWidth, style.ClientHeight};
    AdjustWindowRectEx(&frame, kFramedStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work{0, 0, width, height};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = std::max<int>(work.left, work.left + (work.right - work.left - width) / 2);
    const int top = std::max<int>(work.top, work.top + (work.bottom - work.top - height) / 2);
    // The size asked for is the owner's already: the sizes the creation itself reports are not
    // news to it.
    FLastWidth = style.ClientWidth;
    FLastHeight = style.ClientHeight;
    FWnd = CreateWindowExW(kExStyle, gClass.Name(), win32::Utf8ToWide(style.Title).c_str(),
                           kFramedStyle, left, top, width, height, nullptr, nullptr,
                           ThisInstance(), static_cast<EventWindow*>(this));
    return FWnd != nullptr;
  }

  void Present(const PixelBuffer& pixels) override { KeepAndPaint(pixels); }

  void Show() override {
    ShowWindow(FWnd, SW_SHOW);
    UpdateWindow(FWnd);
  }

  void SetTitle(const std::string& title) override {
    SetWindowTextW(FWnd, win32::Utf8ToWide(title).c_str());
  }

  // The window becomes a borderless popup covering its monitor and goes back to its frame and
  // its former placement (maximised or not) afterwards.
  void SetFullscreen(bool fullscreen) override {
    if (fullscreen == FFullscreen) return;
    const auto style = static_cast<DWORD>(GetWindowLongW(FWnd, GWL_STYLE));
    if (fullscreen) {
      MONITORINFO monitor{};
      monitor.cbSize = sizeof(monitor);
      FPlacement.length = sizeof(FPlacement);
      if (!GetWindowPlacement(FWnd, &FPlacement) ||
          !GetMonitorInfoW(MonitorFromWindow(FWnd, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
      // Set first: the size change below reaches the owner, who may ask.
      FFullscreen = true;
      SetWindowLongW(FWnd, GWL_STYLE, static_cast<LONG>((style & ~kFramedStyle) | WS_POPUP));
      const RECT& area = monitor.rcMonitor;
      SetWindowPos(FWnd, HWND_TOP, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    } else {
      FFullscreen = false;
      SetWindowLongW(FWnd, GWL_STYLE, static_cast<LONG>((style & ~DWORD{WS_POPUP}) | kFramedStyle));
      SetWindowPlacement(FWnd, &FPlacement);
      SetWindowPos(FWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    }
  }

  bool IsFullscreen() const override { return FFullscreen; }

  Rect ClientBounds() const override {
    RECT client{};
    GetClientRect(FWnd, &client);
    POINT origin{0, 0};
    ClientToScreen(FWnd, &origin);
    return {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
  }

  void* NativeHandle() const override { return FWnd; }

 private:
  // Once per new size; a minimised window keeps the size it had for its owner.
  void SizeChanged(WPARAM kind, int width, int height) {
    if (kind == SIZE_MINIMIZED || width <= 0 || height <= 0) return;
    if (width == FLastWidth && height == FLastHeight) return;
    FLastWidth = width;
    FLastHeight = height;
    WindowEvent event;
    event.Type = WindowEvent::Kind::Resize;
    event.ClientWidth = width;
    event.ClientHeight = height;
    Raise(event);
  }

  void LimitTrackSize(MINMAXINFO& limits) const {
    RECT frame{0, 0, kMinClientWidth, kMinClientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(FWnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(FWnd, GWL_EXSTYLE)));
    limits.ptMinTrackSize.x = frame.right - frame.left;
    limits.ptMinTrackSize.y = frame.bottom - frame.top;
  }

  // The kept buffer at 1:1 from the top left corner, black for the rest of the client area.
  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(FWnd, &ps);
    RECT client{};
    GetClientRect(FWnd, &client);
    const SIZE painted = PaintContent(dc);
    const int width = std::min<int>(painted.cx, client.right);
    const int height = std::min<int>(painted.cy, client.bottom);
    const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT right{std::max(width, 0), 0, client.right, std::max(height, 0)};
    const RECT below{0, std::max(height, 0), client.right, client.bottom};
    if (right.left < right.right && right.top < right.bottom) FillRect(dc, &right, black);
    if (below.top < below.bottom && below.left < below.right) FillRect(dc, &below, black);
    EndPaint(FWnd, &ps);
  }

  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (HandleInput(msg, wParam, lParam)) return 0;
    switch (msg) {
      case WM_PAINT: Paint(); return 0;
      case WM_ERASEBKGND: return 1;
      // Sent also from inside the system's sizing loop, while the border is dragged.
      case WM_SIZE: SizeChanged(wParam, LOWORD(lParam), HIWORD(lParam)); return 0;
      case WM_GETMINMAXINFO: LimitTrackSize(*reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
      // The system's move and size loop holds the owner's loop up: the window's own timer asks
      // for frames in the meantime.
      case WM_ENTERSIZEMOVE: SetTimer(FWnd, kFrameTimer, kFrameTimerMs, nullptr); return 0;
      case WM_EXITSIZEMOVE: KillTimer(FWnd, kFrameTimer); return 0;
      case WM_TIMER:
        if (wParam != kFrameTimer) break;
        Raise(WindowEvent::Kind::Paint);
        return 0;
      default: break;
    }
    return DefWindowProcW(FWnd, msg, wParam, lParam);
  }

  int FLastWidth = 0;
  int FLastHeight = 0;
  bool FFullscreen = false;
  WINDOWPLACEMENT FPlacement{};
};

}  // namespace

std::unique_ptr<HostWindow> HostWindow::Create(const HostWindowStyle& style,
                                               WindowEventHandler onEvent) {
  if (style.ClientWidth <= 0 || style.ClientHeight <= 0) return nullptr;
  auto window = std::make_unique<Win32HostWindow>(std::move(onEvent));
  if (!window->Make(style)) return nullptr;
  return window;
}

}  // namespace platform
