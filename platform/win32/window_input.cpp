#include "window_input.h"

#include <windowsx.h>

namespace platform::win32 {

Key KeyOf(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_TAB: return Key::Tab;
    case VK_LEFT: return Key::Left;
    case VK_RIGHT: return Key::Right;
    case VK_UP: return Key::Up;
    case VK_DOWN: return Key::Down;
    case VK_PRIOR: return Key::PageUp;
    case VK_NEXT: return Key::PageDown;
    case VK_HOME: return Key::Home;
    case VK_END: return Key::End;
    case VK_SPACE: return Key::Space;
    case VK_RETURN: return Key::Enter;
    case VK_ESCAPE: return Key::Escape;
    default: return Key::Other;
  }
}

char LetterOf(WPARAM virtualKey) {
  // The virtual keys of the letters are their capitals' codes.
  return virtualKey >= 'A' && virtualKey <= 'Z' ? static_cast<char>('a' + (virtualKey - 'A'))
                                                : '\0';
}

bool KeyHeld(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

ShiftState CurrentShift() { return {KeyHeld(VK_SHIFT), KeyHeld(VK_CONTROL), KeyHeld(VK_MENU)}; }

WindowEvent MouseEventOf(WindowEvent::Kind kind, MouseButton button, WPARAM wParam,
                         LPARAM lParam) {
  WindowEvent event;
  event.Type = kind;
  event.Button = button;
  event.Position = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  event.Shift = {(wParam & MK_SHIFT) != 0, (wParam & MK_CONTROL) != 0, KeyHeld(VK_MENU)};
  return event;
}

WindowEvent KeyEventOf(WPARAM virtualKey) {
  WindowEvent event;
  event.Type = WindowEvent::Kind::KeyDown;
  event.KeyCode = KeyOf(virtualKey);
  event.Letter = LetterOf(virtualKey);
  event.Shift = CurrentShift();
  return event;
}

}  // namespace platform::win32
