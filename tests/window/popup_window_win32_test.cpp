// What only the Windows popup shows: the exact styles it is created with, its layered attributes,
// and the move command it sends itself, seen from inside the window procedure.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/message_pump.h"
#include "platform/window.h"

namespace {

platform::PopupWindowStyle OptionsLikeStyle() {
  platform::PopupWindowStyle style;
  style.ClientWidth = 224;
  style.ClientHeight = 130;
  style.Opacity = 235;
  style.FuchsiaTransparent = true;
  return style;
}

// Every window the thread creates, with the styles asked for (the system may make helper
// windows of its own on the way).
struct Created {
  HWND hwnd = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
};
std::vector<Created> gCreated;

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    gCreated.push_back({reinterpret_cast<HWND>(wParam), static_cast<DWORD>(cs->style),
                        cs->dwExStyle});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The window is created with exactly WS_POPUP and topmost | tool window (| window edge), then
// made layered with alpha 235 and the fuchsia colour key.
TEST(PopupWindowWin32, CreatesWithExactStylesThenLayered) {
  gCreated.clear();
  HHOOK hook = SetWindowsHookExW(WH_CBT, &WatchCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  auto window = platform::PopupWindow::Create(OptionsLikeStyle(), nullptr);
  UnhookWindowsHookEx(hook);
  ASSERT_NE(window, nullptr);
  const HWND hwnd = static_cast<HWND>(window->NativeHandle());
  const Created* made = nullptr;
  for (const Created& c : gCreated) made = c.hwnd == hwnd ? &c : made;
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->style, 0x80000000u);
  // The system drops the window edge from a window without a frame before the hook sees the
  // styles (wine does; Windows may keep it), so that bit is not asked for.
  EXPECT_EQ(made->exStyle & ~DWORD{WS_EX_WINDOWEDGE}, 0x88u);

  window->Show();
  // The system adds clip-siblings to every top-level window and drops the window edge from
  // windows without a frame; everything else reads back as made.
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & ~DWORD{WS_CLIPSIBLINGS},
            DWORD{WS_POPUP | WS_VISIBLE});
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)) & ~DWORD{WS_EX_WINDOWEDGE},
            DWORD{WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED});

  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags));
  EXPECT_EQ(key, RGB(255, 0, 255));
  EXPECT_EQ(alpha, 235);
  EXPECT_EQ(flags, DWORD{LWA_ALPHA | LWA_COLORKEY});

  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 224);
  EXPECT_EQ(client.bottom, 130);
}

// The window procedure under test is wrapped so the move command can be seen (and kept from
// starting the system's loop).
struct Observed {
  WNDPROC original = nullptr;
  std::vector<WPARAM> commands;
  std::vector<LPARAM> commandParams;
  bool captureReleased = false;
  RECT movedTo{};
  bool sawMoving = false;
};
Observed gObserved;

LRESULT CALLBACK Observe(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SYSCOMMAND) {
    gObserved.commands.push_back(wParam);
    gObserved.commandParams.push_back(lParam);
    gObserved.captureReleased = GetCapture() == nullptr;
    // Play the system's loop: one proposed position goes through WM_MOVING.
    RECT proposed{295, 140, 295 + 224, 140 + 130};
    CallWindowProcW(gObserved.original, hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
    gObserved.movedTo = proposed;
    gObserved.sawMoving = true;
    return 0;
  }
  return CallWindowProcW(gObserved.original, hwnd, msg, wParam, lParam);
}

// BeginMoveDrag releases the capture and sends SC_MOVE | HTCAPTION in-line; while that runs,
// WM_MOVING goes through the filter, and after it returns the filter is gone.
TEST(PopupWindowWin32, MoveDragSendsTheCaptionMoveCommandInLine) {
  gObserved = {};
  auto window = platform::PopupWindow::Create(OptionsLikeStyle(), nullptr);
  ASSERT_NE(window, nullptr);
  window->Show();
  const HWND hwnd = static_cast<HWND>(window->NativeHandle());
  gObserved.original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Observe)));
  SetCapture(hwnd);

  int filtered = 0;
  window->BeginMoveDrag([&](const platform::Rect& r) {
    ++filtered;
    return platform::Rect{300, r.Top, 300 + r.Width(), r.Bottom};
  });
  ASSERT_EQ(gObserved.commands.size(), 1u) << "the command was not sent in-line";
  EXPECT_EQ(gObserved.commands[0], WPARAM{0xF012});
  EXPECT_EQ(gObserved.commandParams[0], LPARAM{0});
  EXPECT_TRUE(gObserved.captureReleased);
  EXPECT_EQ(filtered, 1);
  EXPECT_EQ(gObserved.movedTo.left, 300);
  EXPECT_EQ(gObserved.movedTo.right, 524);

  RECT later{295, 140, 519, 270};
  SendMessageW(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&later));
  EXPECT_EQ(later.left, 295) << "the filter outlived its drag";
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gObserved.original));
}

// Windows of one module share one class, registered with the first window and gone with the
// last, so a module unloaded and loaded again finds no stale class.
TEST(PopupWindowWin32, ClassLivesAsLongAsItsWindows) {
  WNDCLASSEXW info{};
  info.cbSize = sizeof(info);
  {
    auto first = platform::PopupWindow::Create(OptionsLikeStyle(), nullptr);
    auto second = platform::PopupWindow::Create(OptionsLikeStyle(), nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    wchar_t name[64] = {};
    GetClassNameW(static_cast<HWND>(first->NativeHandle()), name, 64);
    first.reset();
    EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), name, &info));
    second.reset();
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), name, &info));
  }
}

}  // namespace
