#pragma once

#include <windows.h>

#include "platform/window.h"

// What the popup and the host window share in reading Windows' input messages, so both pass on
// the same events for the same messages.
namespace platform::win32 {

Key KeyOf(WPARAM virtualKey);
// 'a' to 'z' for the letter keys, else 0.
char LetterOf(WPARAM virtualKey);

bool KeyHeld(int virtualKey);
ShiftState CurrentShift();

// A mouse message's event: its button, its client position and the modifiers it carries.
WindowEvent MouseEventOf(WindowEvent::Kind kind, MouseButton button, WPARAM wParam, LPARAM lParam);

// A key-down message's event: key, letter and the modifiers held.
WindowEvent KeyEventOf(WPARAM virtualKey);

}  // namespace platform::win32
