#pragma once

#include <vector>

#include "platform/pixel_buffer.h"
#include "platform/window.h"

// What a user and a camera do to a real screen: pointer moves and button presses that go through
// the window system like real input, and pictures of the screen as the display shows it.
namespace window_test {

void MovePointer(platform::Point to);
void PressButton(platform::MouseButton button);
void ReleaseButton(platform::MouseButton button);
void TapEnterKey();

// Asks the window to close the way the window system's own close does (WM_CLOSE on Windows, the
// window manager's delete request on X).
void RequestClose(platform::PopupWindow& window);

// Gives a window (its native handle) a new client size from outside, as a user dragging its
// border does.
void ResizeWindow(void* nativeHandle, int width, int height);

// Where this process's shown top-level windows are on the screen, all but the one given (its
// native handle).
std::vector<platform::Rect> OtherShownWindows(void* except);

// The screen's pixels in a rectangle, fourth byte 255.
platform::PixelBuffer CaptureScreen(const platform::Rect& area);

}  // namespace window_test
