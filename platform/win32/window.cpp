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

#include "window_input.h"

namespace platform {
namespace {

using win32::ThisInstance;

constexpr wchar_t kClassName[] = L"VindeluxPopupWindow";
constexpr WPARAM kMoveByCaption = 0xF012;  // SC_MOVE combined with a hit on the title bar

// The class is registered with the first window and unregistered with the last: a DLL's classes
// outlive it otherwise, and a reloaded DLL would find its class name taken by a stale procedure.
int gWindowCount = 0;

class Win32PopupWindow final : public PopupWindow {
 public:
  explicit Win32PopupWindow(WindowEventHandler onEvent) : FOnEvent(std::move(onEvent)) {}

  ~Win32PopupWindow() override {
    *FAlive = false;
    if (FWnd != nullptr) DestroyWindow(FWnd);
    if (--gWindowCount == 0) UnregisterClassW(kClassName, ThisInstance());
  }

  bool Make(const PopupWindowStyle& style) {
    ++gWindowCount;
    if (gWindowCount == 1) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = &Win32PopupWindow::WndProc;
      wc.hInstance = ThisInstance();
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.lpszClassName = kClassName;
      if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    }
    DWORD exStyle = WS_EX_WINDOWEDGE;
    if (style.TopMost) exStyle |= WS_EX_TOPMOST;
    if (style.NoTaskbarEntry) exStyle |= WS_EX_TOOLWINDOW;
    RECT frame{0, 0, style.ClientWidth, style.ClientHeight};
    AdjustWindowRectEx(&frame, WS_POPUP, FALSE, exStyle);
    FWnd = CreateWindowExW(exStyle, kClassName, L"", WS_POPUP, 0, 0, frame.right - frame.left,
                           frame.bottom - frame.top, nullptr, nullptr, ThisInstance(), this);
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

  void Present(const PixelBuffer& pixels) override {
    FContent = pixels;
    InvalidateRect(FWnd, nullptr, FALSE);
    UpdateWindow(FWnd);
  }

  void Show() override { ShowWindow(FWnd, SW_SHOW); }
  void Hide() override { ShowWindow(FWnd, SW_HIDE); }
  bool IsVisible() const override { return IsWindowVisible(FWnd) != FALSE; }

  void BringToFront() override {
    SetWindowPos(FWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }

  void MoveTo(int left, int top) override {
    SetWindowPos(FWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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

  void Raise(WindowEvent::Kind kind) {
    WindowEvent event;
    event.Type = kind;
    Raise(event);
  }

  // The handler may destroy this window: nothing of it is used after the call.
  void Raise(const WindowEvent& event) {
    if (FOnEvent) FOnEvent(event);
  }

  void RaiseMouse(WindowEvent::Kind kind, MouseButton button, WPARAM wParam, LPARAM lParam) {
    Raise(win32::MouseEventOf(kind, button, wParam, lParam));
  }

  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(FWnd, &ps);
    if (!FContent.Empty()) {
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof(info.bmiHeader);
      info.bmiHeader.biWidth = static_cast<LONG>(FContent.Stride() / 4);
      info.bmiHeader.biHeight = -FContent.Height();  // top-down, as the buffer lies
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      info.bmiHeader.biCompression = BI_RGB;
      SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(FContent.Width()),
                        static_cast<DWORD>(FContent.Height()), 0, 0, 0,
                        static_cast<UINT>(FContent.Height()), FContent.Row(0), &info,
                        DIB_RGB_COLORS);
    }
    EndPaint(FWnd, &ps);
  }

  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    using Kind = WindowEvent::Kind;
    switch (msg) {
      case WM_PAINT: Paint(); return 0;
      case WM_ERASEBKGND: return 1;
      case WM_LBUTTONDOWN: RaiseMouse(Kind::MouseDown, MouseButton::Left, wParam, lParam); return 0;
      case WM_RBUTTONDOWN: RaiseMouse(Kind::MouseDown, MouseButton::Right, wParam, lParam); return 0;
      case WM_MBUTTONDOWN: RaiseMouse(Kind::MouseDown, MouseButton::Middle, wParam, lParam); return 0;
      case WM_LBUTTONUP: RaiseMouse(Kind::MouseUp, MouseButton::Left, wParam, lParam); return 0;
      case WM_RBUTTONUP: RaiseMouse(Kind::MouseUp, MouseButton::Right, wParam, lParam); return 0;
      case WM_MBUTTONUP: RaiseMouse(Kind::MouseUp, MouseButton::Middle, wParam, lParam); return 0;
      case WM_MOUSEMOVE:
        if (!FTrackingLeave) {
          TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, FWnd, 0};
          FTrackingLeave = TrackMouseEvent(&track) != FALSE;
        }
        RaiseMouse(Kind::MouseMove, MouseButton::Left, wParam, lParam);
        return 0;
      case WM_MOUSELEAVE:
        FTrackingLeave = false;
        Raise(Kind::MouseLeave);
        return 0;
      case WM_KEYDOWN: Raise(win32::KeyEventOf(wParam)); return 0;
      case WM_SETFOCUS: Raise(Kind::FocusIn); return 0;
      case WM_KILLFOCUS: Raise(Kind::FocusOut); return 0;
      // Nothing closes by itself: the owner decides what a close request does.
      case WM_CLOSE: Raise(Kind::CloseRequest); return 0;
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

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      auto* self = static_cast<Win32PopupWindow*>(create->lpCreateParams);
      self->FWnd = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32PopupWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      if (self != nullptr) self->FWnd = nullptr;
    }
    if (self == nullptr || self->FWnd == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->Handle(msg, wParam, lParam);
  }

  HWND FWnd = nullptr;
  WindowEventHandler FOnEvent;
  PixelBuffer FContent;
  MoveFilter FMoveFilter;
  CursorShape FCursor = CursorShape::Arrow;
  bool FTrackingLeave = false;
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
