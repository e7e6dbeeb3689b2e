#pragma once

#include <functional>
#include <string>
#include <vector>

#include "options/skin/notify_event.h"
#include "options/skin/painter.h"
#include "options/skin/skin.h"
#include "platform/window.h"

// The skinned controls' common ground: a control is a state machine fed with the window's input
// events (positions in the window's client coordinates) that paints itself from its skin section.
// A host (the form) owns the list of controls and does what the window system does for child
// windows: hit testing, mouse capture while a button is held, hot tracking, keyboard focus and Tab.
namespace vf::skin {

class TsControlHost;

class TsControl : public TObject {
 public:
  TsControl(TsControlHost& host, platform::Rect bounds);
  ~TsControl() override;
  TsControl(const TsControl&) = delete;
  TsControl& operator=(const TsControl&) = delete;

  const platform::Rect& BoundsRect() const { return FBounds; }
  int Left() const { return FBounds.Left; }
  int Top() const { return FBounds.Top; }
  int Width() const { return FBounds.Width(); }
  int Height() const { return FBounds.Height(); }
  bool Contains(platform::Point p) const;

  std::u16string SkinSection;
  int TabOrder = -1;  // -1: not in the Tab order at all

  // Whether the control can hold the keyboard focus, and whether Tab stops at it now.
  virtual bool CanFocus() const { return false; }
  virtual bool TabStop() const { return CanFocus(); }
  bool Focused() const;
  bool Hot() const { return FHot; }
  virtual platform::CursorShape Cursor() const { return platform::CursorShape::Arrow; }

  virtual void MouseDown(const platform::WindowEvent&) {}
  virtual void MouseMove(const platform::WindowEvent&) {}
  virtual void MouseUp(const platform::WindowEvent&) {}
  // True when the control used the key.
  virtual bool KeyDown(const platform::WindowEvent&) { return false; }
  // The mouse capture was taken away (the window lost the focus) while a button was held.
  virtual void CancelMode() {}

  virtual void Paint(TPainter& painter, const TSkin& skin, bool showFocus) const = 0;

 protected:
  void Invalidate();
  void SetFocus();
  TsControlHost& Host() const { return FHost; }

 private:
  friend class TsControlHost;
  TsControlHost& FHost;
  platform::Rect FBounds;
  bool FHot = false;
};

class TsControlHost {
 public:
  explicit TsControlHost(std::function<void()> onInvalidate) : FOnInvalidate(std::move(onInvalidate)) {}

  const std::vector<TsControl*>& Controls() const { return FControls; }
  TsControl* ControlAt(platform::Point p) const;
  TsControl* ActiveControl() const { return FFocused; }
  TsControl* Captured() const { return FCaptured; }
  bool Active() const { return FActive; }

  void FocusControl(TsControl* control);
  // Moves the focus to the next (or previous) control in the Tab order that is a Tab stop now.
  void SelectNext(bool forward);

  // Delivers one window event to the controls. Returns false for a mouse press on no control,
  // which belongs to the window's own surface.
  bool Dispatch(const platform::WindowEvent& event);
  // The cursor the pointer shows over a point.
  platform::CursorShape CursorAt(platform::Point p) const;

  void Paint(TPainter& painter, const TSkin& skin) const;
  void Invalidate() const {
    if (FOnInvalidate) FOnInvalidate();
  }

 private:
  friend class TsControl;
  void Add(TsControl* control) { FControls.push_back(control); }
  void Remove(TsControl* control);
  void SetHot(TsControl* control);

  std::function<void()> FOnInvalidate;
  std::vector<TsControl*> FControls;  // in painting order; hit tests take the last one first
  TsControl* FFocused = nullptr;
  TsControl* FCaptured = nullptr;
  TsControl* FHotControl = nullptr;
  bool FActive = false;
};

}  // namespace vf::skin
