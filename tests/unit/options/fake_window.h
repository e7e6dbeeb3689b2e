#pragma once

#include <memory>
#include <string>
#include <vector>

#include "options/form_options.h"
#include "platform/window.h"

// A window that records what the form asks of it, and services that hand the form such windows.
namespace vf::test {

class FakeWindow : public platform::PopupWindow {
 public:
  explicit FakeWindow(platform::PopupWindowStyle style) : Style(style) {}

  void Present(const platform::PixelBuffer& pixels) override {
    Presented = pixels;
    ++Presents;
  }
  void Show() override {
    Visible = true;
    Calls.push_back("Show");
  }
  void Hide() override {
    Visible = false;
    Calls.push_back("Hide");
  }
  bool IsVisible() const override { return Visible; }
  void BringToFront() override { Calls.push_back("BringToFront"); }
  void MoveTo(int left, int top) override {
    Position = {left, top};
    Calls.push_back("MoveTo");
  }
  platform::Rect Bounds() const override {
    return {Position.X, Position.Y, Position.X + Style.ClientWidth, Position.Y + Style.ClientHeight};
  }
  void BeginMoveDrag(platform::MoveFilter filter) override {
    Filter = std::move(filter);
    ++MoveDrags;
  }
  void SetCursor(platform::CursorShape shape) override { Cursor = shape; }
  void* NativeHandle() const override { return nullptr; }

  platform::PopupWindowStyle Style;
  platform::PixelBuffer Presented;
  int Presents = 0;
  bool Visible = false;
  std::vector<std::string> Calls;
  platform::Point Position;
  int MoveDrags = 0;
  platform::MoveFilter Filter;
  platform::CursorShape Cursor = platform::CursorShape::Arrow;
};

// Services whose windows are fakes, remembered in `window`; the work area is 0,0 - 1920,1040.
inline TFormOptions::TServices FakeServices(FakeWindow*& window) {
  return {[&window](const platform::PopupWindowStyle& style, platform::WindowEventHandler) {
            auto made = std::make_unique<FakeWindow>(style);
            window = made.get();
            return std::unique_ptr<platform::PopupWindow>(std::move(made));
          },
          [](const platform::Rect&) { return platform::Rect{0, 0, 1920, 1040}; }};
}

// Scripted input in the window's client coordinates.
inline platform::WindowEvent MouseDown(int x, int y, platform::MouseButton button = platform::MouseButton::Left) {
  platform::WindowEvent e;
  e.Type = platform::WindowEvent::Kind::MouseDown;
  e.Button = button;
  e.Position = {x, y};
  return e;
}
inline platform::WindowEvent MouseUp(int x, int y, platform::MouseButton button = platform::MouseButton::Left) {
  platform::WindowEvent e = MouseDown(x, y, button);
  e.Type = platform::WindowEvent::Kind::MouseUp;
  return e;
}
inline platform::WindowEvent MouseMove(int x, int y) {
  platform::WindowEvent e;
  e.Type = platform::WindowEvent::Kind::MouseMove;
  e.Position = {x, y};
  return e;
}
inline platform::WindowEvent KeyDown(platform::Key key, bool shift = false) {
  platform::WindowEvent e;
  e.Type = platform::WindowEvent::Kind::KeyDown;
  e.KeyCode = key;
  e.Shift.Shift = shift;
  return e;
}
inline platform::WindowEvent Simple(platform::WindowEvent::Kind kind) {
  platform::WindowEvent e;
  e.Type = kind;
  return e;
}

}  // namespace vf::test
