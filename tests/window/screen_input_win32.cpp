// Real input through SendInput and pictures of the screen through the desktop's device context.
#include <windows.h>

#include <cstring>
#include <stdexcept>

#include "screen_input.h"

namespace window_test {
namespace {

void Send(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof(INPUT));
}

}  // namespace

void MovePointer(platform::Point to) {
  // Absolute coordinates run from 0 to 65535 across the primary screen.
  const int w = GetSystemMetrics(SM_CXSCREEN) - 1;
  const int h = GetSystemMetrics(SM_CYSCREEN) - 1;
  Send(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (to.X * 65535 + w / 2) / w,
       (to.Y * 65535 + h / 2) / h);
}

void PressButton(platform::MouseButton button) {
  switch (button) {
    case platform::MouseButton::Left: Send(MOUSEEVENTF_LEFTDOWN); break;
    case platform::MouseButton::Right: Send(MOUSEEVENTF_RIGHTDOWN); break;
    case platform::MouseButton::Middle: Send(MOUSEEVENTF_MIDDLEDOWN); break;
  }
}

void ReleaseButton(platform::MouseButton button) {
  switch (button) {
    case platform::MouseButton::Left: Send(MOUSEEVENTF_LEFTUP); break;
    case platform::MouseButton::Right: Send(MOUSEEVENTF_RIGHTUP); break;
    case platform::MouseButton::Middle: Send(MOUSEEVENTF_MIDDLEUP); break;
  }
}

void TapEnterKey() {
  INPUT keys[2]{};
  keys[0].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = VK_RETURN;
  keys[1] = keys[0];
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

platform::PixelBuffer CaptureScreen(const platform::Rect& area) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = area.Width();
  info.bmiHeader.biHeight = -area.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) throw std::runtime_error("CreateDIBSection failed");
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, area.Width(), area.Height(), screen, area.Left, area.Top, SRCCOPY);
  SelectObject(memory, old);
  platform::PixelBuffer out(area.Width(), area.Height());
  for (int y = 0; y < area.Height(); ++y) {
    std::memcpy(out.Row(y), static_cast<const std::uint8_t*>(bits) + y * area.Width() * 4,
                static_cast<std::size_t>(area.Width()) * 4);
    for (int x = 0; x < area.Width(); ++x) out.At(x, y).a = 255;
  }
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return out;
}

}  // namespace window_test

namespace window_test {

void RequestClose(platform::PopupWindow& window) {
  PostMessageW(static_cast<HWND>(window.NativeHandle()), WM_CLOSE, 0, 0);
}

void ResizeWindow(void* nativeHandle, int width, int height) {
  const HWND window = static_cast<HWND>(nativeHandle);
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

struct WindowSearch {
  HWND except;
  std::vector<platform::Rect> found;
};

// A named procedure: a lambda gives no stdcall function on 32-bit Windows.
BOOL CALLBACK CollectShownWindow(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (window == search.except || process != GetCurrentProcessId() || !IsWindowVisible(window))
    return TRUE;
  RECT r{};
  GetWindowRect(window, &r);
  search.found.push_back({r.left, r.top, r.right, r.bottom});
  return TRUE;
}

}  // namespace

std::vector<platform::Rect> OtherShownWindows(void* except) {
  WindowSearch search{static_cast<HWND>(except), {}};
  EnumWindows(&CollectShownWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace window_test
