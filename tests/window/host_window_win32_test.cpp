// The host window of the Windows back end on wine's (virtual) display: the window it makes, the
// messages it turns into events, what the screen shows of a presented buffer, and full screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_pump.h"
#include "platform/window.h"
#include "screen_input.h"

namespace {

using platform::Key;
using platform::MouseButton;
using platform::Point;
using platform::WindowEvent;
using Kind = WindowEvent::Kind;

// A host window and every event it hands its owner.
struct Recorded {
  std::vector<WindowEvent> events;
  std::unique_ptr<platform::HostWindow> window;
  HWND hwnd = nullptr;

  explicit Recorded(int width = 320, int height = 240, const std::string& title = "Vindelux") {
    platform::HostWindowStyle style;
    style.Title = title;
    style.ClientWidth = width;
    style.ClientHeight = height;
    window = platform::HostWindow::Create(style,
                                          [this](const WindowEvent& e) { events.push_back(e); });
    if (window) hwnd = static_cast<HWND>(window->NativeHandle());
  }

  std::vector<WindowEvent> Of(Kind kind) const {
    std::vector<WindowEvent> out;
    for (const WindowEvent& e : events) {
      if (e.Type == kind) out.push_back(e);
    }
    return out;
  }
};

// Lets the display catch up: messages pumped for a while.
void Settle(int milliseconds = 300) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  while (static_cast<int>(end - GetTickCount()) > 0) {
    platform::PumpMessages();
    Sleep(10);
  }
  platform::PumpMessages();
}

std::wstring TitleOf(HWND hwnd) {
  wchar_t text[128] = {};
  GetWindowTextW(hwnd, text, 128);
  return text;
}

// A normal top-level window: title bar, sizing border, minimise and maximise boxes, a taskbar
// entry, double clicks; hidden until shown, with the client size asked for and its UTF-8 title.
TEST(HostWindowWin32, IsAFramedResizableWindowWithTheClientSizeAskedFor) {
  Recorded r(321, 203, "Vindelux Fan \xE2\x80\x94 F\xC3\xA4hre");
  ASSERT_NE(r.window, nullptr);
  const auto style = static_cast<DWORD>(GetWindowLongW(r.hwnd, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongW(r.hwnd, GWL_EXSTYLE));
  EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, DWORD{WS_OVERLAPPEDWINDOW});
  EXPECT_EQ(style & (WS_POPUP | WS_CHILD | WS_VISIBLE), 0u);
  EXPECT_NE(exStyle & WS_EX_APPWINDOW, 0u);
  EXPECT_EQ(exStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST), 0u);
  EXPECT_NE(GetClassLongW(r.hwnd, GCL_STYLE) & CS_DBLCLKS, 0u);
  EXPECT_EQ(TitleOf(r.hwnd), L"Vindelux Fan \u2014 F\u00e4hre");

  RECT client{};
  GetClientRect(r.hwnd, &client);
  EXPECT_EQ(client.right, 321);
  EXPECT_EQ(client.bottom, 203);
  EXPECT_TRUE(r.Of(Kind::Resize).empty()) << "the size asked for is no news to the owner";

  r.window->Show();
  EXPECT_TRUE(IsWindowVisible(r.hwnd));
  const platform::Rect bounds = r.window->ClientBounds();
  POINT origin{0, 0};
  ClientToScreen(r.hwnd, &origin);
  EXPECT_EQ(bounds, (platform::Rect{origin.x, origin.y, origin.x + 321, origin.y + 203}));

  r.window->SetTitle("\xC3\x9C");
  EXPECT_EQ(TitleOf(r.hwnd), L"\u00dc");
}

// Every new client size reaches the owner once, synchronously from the window procedure, as it
// does from inside the system's sizing loop; a size met before is not repeated.
TEST(HostWindowWin32, EveryNewClientSizeIsOneResizeEvent) {
  Recorded r;
  ASSERT_NE(r.window, nullptr);
  r.window->Show();
  Settle(100);
  r.events.clear();

  window_test::ResizeWindow(r.hwnd, 400, 260);
  ASSERT_EQ(r.Of(Kind::Resize).size(), 1u) << "not delivered during the size change";
  EXPECT_EQ(r.Of(Kind::Resize)[0].ClientWidth, 400);
  EXPECT_EQ(r.Of(Kind::Resize)[0].ClientHeight, 260);
  window_test::ResizeWindow(r.hwnd, 400, 260);
  window_test::ResizeWindow(r.hwnd, 480, 300);
  Settle(100);
  const auto resizes = r.Of(Kind::Resize);
  ASSERT_EQ(resizes.size(), 2u);
  EXPECT_EQ(resizes[1].ClientWidth, 480);
  EXPECT_EQ(resizes[1].ClientHeight, 300);
  EXPECT_EQ(r.window->ClientBounds().Width(), 480);
  EXPECT_EQ(r.window->ClientBounds().Height(), 300);
}

// The system's size loop, started as a window starts it from a press in its client area (wine's
// display here has no frames of a window manager to grab): while a hand on its own thread drags
// the pointer, every step reaches the owner as a Resize from inside the loop, and frames are
// asked for meanwhile, and afterwards no more.
TEST(HostWindowWin32, TheSystemsSizeLoopResizesAndAsksForFrames) {
  Recorded r(320, 240);
  ASSERT_NE(r.window, nullptr);
  r.window->Show();
  Settle(200);
  const platform::Rect client = r.window->ClientBounds();
  const Point start{client.Right - 3, client.Bottom - 3};
  std::atomic<bool> pressed{false};
  const DWORD owner = GetCurrentThreadId();
  std::thread hand([&] {
    window_test::MovePointer(start);
    window_test::PressButton(MouseButton::Left);
    pressed = true;
    // The hand moves once the loop has begun, from where the loop found the pointer.
    for (int waited = 0; waited < 2000; waited += 5) {
      GUITHREADINFO info{};
      info.cbSize = sizeof(info);
      if (GetGUIThreadInfo(owner, &info) && (info.flags & GUI_INMOVESIZE) != 0) break;
      Sleep(5);
    }
    for (int step = 1; step <= 4; ++step) {
      Sleep(150);
      window_test::MovePointer({start.X + 10 * step, start.Y + 5 * step});
    }
    Sleep(150);
    window_test::ReleaseButton(MouseButton::Left);
  });
  while (!pressed) Sleep(1);
  Settle(50);
  r.events.clear();
  // Returns when the button is released.
  SendMessageW(r.hwnd, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, 0);
  hand.join();
  Settle(100);

  const auto resizes = r.Of(Kind::Resize);
  ASSERT_FALSE(resizes.empty()) << "the drag resized nothing";
  EXPECT_GE(resizes.size(), 2u) << "the steps of the drag did not each reach the owner";
  EXPECT_EQ(resizes.back().ClientWidth, 360);
  EXPECT_EQ(resizes.back().ClientHeight, 260);
  EXPECT_GE(r.Of(Kind::Paint).size(), 3u) << "too few frames asked for during the drag";
  // Out of the loop the owner's own loop runs again: no more frames are asked for.
  r.events.clear();
  Settle(200);
  EXPECT_TRUE(r.Of(Kind::Paint).empty());
}

// Mouse and key messages become the events the portable back end makes of the same input: the
// second press of a double click as the double click alone, letters as 'a' to 'z'.
TEST(HostWindowWin32, MouseAndKeyMessagesBecomeTheirEvents) {
  Recorded r;
  ASSERT_NE(r.window, nullptr);
  r.window->Show();
  Settle(100);
  r.events.clear();

  struct Case {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    Kind kind;
    MouseButton button;
    Point position;
    Key key;
    char letter;
    bool shift;
  };
  const Case cases[] = {
      {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(123, 45), Kind::MouseDown, MouseButton::Left, {123, 45}, Key::Other, 0, false},
      {WM_LBUTTONUP, 0, MAKELPARAM(124, 46), Kind::MouseUp, MouseButton::Left, {124, 46}, Key::Other, 0, false},
      {WM_LBUTTONDBLCLK, MK_LBUTTON | MK_SHIFT, MAKELPARAM(7, 8), Kind::DoubleClick, MouseButton::Left, {7, 8}, Key::Other, 0, true},
      {WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(300, 200), Kind::MouseDown, MouseButton::Right, {300, 200}, Key::Other, 0, false},
      {WM_MOUSEMOVE, 0, MAKELPARAM(10, 20), Kind::MouseMove, MouseButton::Left, {10, 20}, Key::Other, 0, false},
      {WM_KEYDOWN, VK_SPACE, 0, Kind::KeyDown, MouseButton::Left, {}, Key::Space, 0, false},
      {WM_KEYDOWN, VK_ESCAPE, 0, Kind::KeyDown, MouseButton::Left, {}, Key::Escape, 0, false},
      {WM_KEYDOWN, 'F', 0, Kind::KeyDown, MouseButton::Left, {}, Key::Other, 'f', false},
      {WM_KEYDOWN, 'Q', 0, Kind::KeyDown, MouseButton::Left, {}, Key::Other, 'q', false},
      {WM_KEYDOWN, VK_F1, 0, Kind::KeyDown, MouseButton::Left, {}, Key::Other, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << c.msg << " " << c.wParam);
    r.events.clear();
    PostMessageW(r.hwnd, c.msg, c.wParam, c.lParam);
    platform::PumpMessages();
    std::vector<WindowEvent> mine;
    for (const WindowEvent& e : r.events) {
      // Wine may send focus or pointer-leave events of its own on the way.
      if (e.Type == c.kind) mine.push_back(e);
    }
    ASSERT_EQ(mine.size(), 1u);
    const WindowEvent& e = mine[0];
    if (c.kind == Kind::KeyDown) {
      EXPECT_EQ(e.KeyCode, c.key);
      EXPECT_EQ(e.Letter, c.letter);
    } else {
      EXPECT_EQ(e.Button, c.button);
      EXPECT_EQ(e.Position, c.position);
      EXPECT_EQ(e.Shift.Shift, c.shift);
    }
  }
}

// A real click through the window system lands at its client position.
TEST(HostWindowWin32, ARealClickArrivesAtItsClientPosition) {
  Recorded r;
  ASSERT_NE(r.window, nullptr);
  r.window->Show();
  Settle(200);
  const platform::Rect client = r.window->ClientBounds();
  window_test::MovePointer({client.Left + 123, client.Top + 45});
  window_test::PressButton(MouseButton::Left);
  window_test::ReleaseButton(MouseButton::Left);
  Settle(200);
  const auto downs = r.Of(Kind::MouseDown);
  const auto ups = r.Of(Kind::MouseUp);
  ASSERT_EQ(downs.size(), 1u);
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(downs[0].Position, (Point{123, 45}));
  EXPECT_EQ(ups[0].Position, (Point{123, 45}));
}

// Nothing closes by itself: WM_CLOSE is a request the owner answers.
TEST(HostWindowWin32, CloseIsARequestOnly) {
  Recorded r;
  ASSERT_NE(r.window, nullptr);
  r.window->Show();
  PostMessageW(r.hwnd, WM_CLOSE, 0, 0);
  Settle(100);
  EXPECT_EQ(r.Of(Kind::CloseRequest).size(), 1u);
  EXPECT_TRUE(IsWindow(r.hwnd));
  EXPECT_TRUE(IsWindowVisible(r.hwnd));
}

platform::PixelBuffer Pattern(int width, int height) {
  platform::PixelBuffer pixels(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels.At(x, y) = {static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(y * 3),
                         static_cast<std::uint8_t>(200 - x), 255};
    }
  }
  return pixels;
}

// Where the screen differs from the buffer at 1:1 in its corner and black elsewhere; empty when
// it does not.
std::string FirstDifference(const platform::PixelBuffer& screen, const platform::PixelBuffer& shown) {
  for (int y = 0; y < screen.Height(); ++y) {
    for (int x = 0; x < screen.Width(); ++x) {
      platform::Pixel32 want{0, 0, 0, 255};
      if (x < shown.Width() && y < shown.Height()) want = shown.At(x, y);
      const platform::Pixel32 got = screen.At(x, y);
      if (got.r != want.r || got.g != want.g || got.b != want.b) {
        return "at " + std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(got.r) +
               "," + std::to_string(got.g) + "," + std::to_string(got.b);
      }
    }
  }
  return {};
}

// The screen shows the presented pixels at 1:1 in the top left corner and black for the rest of
// the client area, also after the window grew, from the copy the window keeps.
TEST(HostWindowWin32, ScreenShowsThePresentedPixelsAndBlackAround) {
  Recorded r(200, 150);
  ASSERT_NE(r.window, nullptr);
  r.window->Show();
  // A white frame over the whole client area first: what the smaller one leaves must turn black.
  platform::PixelBuffer white(200, 150);
  for (int y = 0; y < 150; ++y) {
    for (int x = 0; x < 200; ++x) white.At(x, y) = {255, 255, 255, 255};
  }
  r.window->Present(white);
  Settle(200);
  const platform::PixelBuffer shown = Pattern(120, 80);
  r.window->Present(shown);
  Settle(300);
  EXPECT_EQ(FirstDifference(window_test::CaptureScreen(r.window->ClientBounds()), shown), "");

  window_test::ResizeWindow(r.hwnd, 260, 190);
  Settle(300);
  EXPECT_EQ(FirstDifference(window_test::CaptureScreen(r.window->ClientBounds()), shown), "");
}

// Full screen: a borderless window over the whole monitor, one Resize to its size; back: the
// frame and the former place and size.
TEST(HostWindowWin32, FullScreenCoversTheMonitorAndGoesBack) {
  Recorded r(320, 240);
  ASSERT_NE(r.window, nullptr);
  r.window->Show();
  Settle(100);
  RECT before{};
  GetWindowRect(r.hwnd, &before);
  r.events.clear();

  r.window->SetFullscreen(true);
  EXPECT_TRUE(r.window->IsFullscreen());
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(r.hwnd, MONITOR_DEFAULTTONEAREST), &monitor));
  RECT full{};
  GetWindowRect(r.hwnd, &full);
  EXPECT_TRUE(EqualRect(&full, &monitor.rcMonitor));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(r.hwnd, GWL_STYLE)) & (WS_CAPTION | WS_THICKFRAME), 0u);
  const int monitorWidth = monitor.rcMonitor.right - monitor.rcMonitor.left;
  const int monitorHeight = monitor.rcMonitor.bottom - monitor.rcMonitor.top;
  ASSERT_FALSE(r.Of(Kind::Resize).empty());
  EXPECT_EQ(r.Of(Kind::Resize).back().ClientWidth, monitorWidth);
  EXPECT_EQ(r.Of(Kind::Resize).back().ClientHeight, monitorHeight);

  r.window->SetFullscreen(false);
  Settle(100);
  EXPECT_FALSE(r.window->IsFullscreen());
  RECT after{};
  GetWindowRect(r.hwnd, &after);
  EXPECT_TRUE(EqualRect(&after, &before));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(r.hwnd, GWL_STYLE)) & WS_OVERLAPPEDWINDOW,
            DWORD{WS_OVERLAPPEDWINDOW});
  EXPECT_EQ(r.Of(Kind::Resize).back().ClientWidth, 320);
  EXPECT_EQ(r.Of(Kind::Resize).back().ClientHeight, 240);
}

}  // namespace
