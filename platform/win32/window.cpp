// Win32 popup windows.
// Implemented: a WS_POPUP window with the extended styles topmost, tool window and window edge,
// made layered afterwards for its constant alpha and fuchsia colour key; the kept buffer painted
// on every WM_PAINT; mouse, key, focus and close messages turned into window events; the system's
// own move loop started in-line, with WM_MOVING handing each proposed rectangle to the filter;
// the cursor chosen on WM_SETCURSOR. The module runs no loop of its own: messages come through
// the thread's ordinary message loop.
#include "platform/window.h"

#include <windows.h>

#include <memory>
#include <utility>

#include "event_window.h"
#include "window_input.h"

namespace platform {
namespace {

using win32::ThisInstance;

constexpr WPARAM kMoveByCaption = 0xF012;  // SC_MOVE combined with a hit on the title bar

win32::WindowClass gClass(L"VindeluxPopupWindow", 0, false);

class Win32PopupWindow final : public PopupWindow, private win32::EventWindow {
 public:
  explicit Win32PopupWindow(WindowEventHandler onEvent) : EventWindow(std::move(onEvent)) {}

  ~Win32PopupWindow() override {
    *FAlive = false;
    DestroyOwnWindow();
    gClass.Leave();
  }

  bool Make(const PopupWindowStyle& style) {
    if (!gClass.Use()) return false;
    DWORD exStyle = WS_EX_WINDOWEDGE;
    if (style.TopMost) exStyle |= WS_EX_TOPMOST;
    if (style.NoTaskbarEntry) exStyle |= WS_EX_TOOLWINDOW;
    RECT frame{0, 0, style.ClientWidth, style.ClientHeight};
    AdjustWindowRectEx(&frame, WS_POPUP, FALSE, exStyle);
    FWnd = CreateWindowExW(exStyle, gClass.Name(), L"", WS_POPUP, 0, 0, frame.right - frame.left,
                           frame.bottom - frame.top, nullptr, nullptr, ThisInstance(), static_cast<EventWindow*>(this));
    if (FWnd == nullptr) return false;

    // Opacity and colour key are applied once the window exists, through the layered style.
    if (style.Opacity != 255 || style.FuchsiaTransparent) {
      SetWindowLongW(FWnd, GWL_EXSTYLE,
                     static_cast<LONG>(GetWindowLongW(FWnd, GWL_EXSTYLE) | WS_EX_LAYERED));
      DWORD flags = LWA_ALPHA;
      if (style.FuchsiaTransparent) flags |= LWA_COLORKEY;
      static bool said = false;
      if (!SetLayeredWindowAttributes(FWnd, RGB(255, 0, 255), style.Opacity, flags) && !said) {
        said = true;
        OutputDebugStringW(L"vindelux-platform: no layered window; the window is made plain\n");
      }
    }
    return true;
  }

  void Present(const PixelBuffer& pixels) override { KeepAndPaint(pixels); }

  void Show() override { ShowWindow(FWnd, SW_SHOW); }
  void Hide() override { ShowWindow(FWnd, SW_HIDE); }
  bool IsVisible() const override { return IsWindowVisible(FWnd) != FALSE; }

  void BringToFront() override {
    SetWindowPos(FWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }

  void MoveTo(int left, int top) override {
    SetWindowPos(FWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // The owner of a top-level window is set through its parent field, which for a window without
  // WS_CHILD holds the owner.
  void SetOwner(void* nativeOwner) override {
    SetWindowLongPtrW(FWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(nativeOwner));
  }

  Rect Bounds() const override {
    RECT r{};
    GetWindowRect(FWnd, &r);
    return {r.left, r.top, r.right, r.bottom};
  }

  void BeginMoveDrag(MoveFilter filter) override {
    // The window may be destroyed while the system's move loop runs inside the call below.
    const std::shared_ptr<bool> alive = FAlive;
    FMoveFilter = std::move(filter);
    ReleaseCapture();
    SendMessageW(FWnd, WM_SYSCOMMAND, kMoveByCaption, 0);
    if (*alive) FMoveFilter = nullptr;
  }

  void SetCursor(CursorShape shape) override {
    FCursor = shape;
    POINT pt{};
    if (GetCursorPos(&pt) && WindowFromPoint(pt) == FWnd) ApplyCursor();
  }

  void* NativeHandle() const override { return FWnd; }

 private:
  void ApplyCursor() const {
    ::SetCursor(LoadCursorW(nullptr, FCursor == CursorShape::Hand ? IDC_HAND : IDC_ARROW));
  }

  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(FWnd, &ps);
    PaintContent(dc);
    EndPaint(FWnd, &ps);
  }

  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (HandleInput(msg, wParam, lParam)) return 0;
    switch (msg) {
      case WM_PAINT: Paint(); return 0;
      case WM_ERASEBKGND: return 1;
      case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
          ApplyCursor();
          return TRUE;
        }
        break;
      case WM_MOVING:
        if (FMoveFilter) {
          auto* proposed = reinterpret_cast<RECT*>(lParam);
          const Rect moved =
              FMoveFilter({proposed->left, proposed->top, proposed->right, proposed->bottom});
          *proposed = {moved.Left, moved.Top, moved.Right, moved.Bottom};
          return TRUE;
        }
        break;
      default:
        break;
    }
    return DefWindowProcW(FWnd, msg, wParam, lParam);
  }

  MoveFilter FMoveFilter;
  CursorShape FCursor = CursorShape::Arrow;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

}  // namespace

std::unique_ptr<PopupWindow> PopupWindow::Create(const PopupWindowStyle& style,
                                                 WindowEventHandler onEvent) {
  if (style.ClientWidth <= 0 || style.ClientHeight <= 0) return nullptr;
  auto window = std::make_unique<Win32PopupWindow>(std::move(onEvent));
  if (!window->Make(style)) return nullptr;
  return window;
}

Point CursorPos() {
  POINT pt{};
  GetCursorPos(&pt);
  return {pt.x, pt.y};
}

Rect WorkAreaOf(const Rect& window) {
  const RECT r{window.Left, window.Top, window.Right, window.Bottom};
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return window;
  return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

}  // namespace platform
