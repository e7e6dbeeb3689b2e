#include "options/skin/control.h"

#include <algorithm>
#include <utility>

namespace vf::skin {

using platform::WindowEvent;

TsControl::TsControl(TsControlHost& host, platform::Rect bounds) : FHost(host), FBounds(bounds) {
  FHost.Add(this);
}

TsControl::~TsControl() { FHost.Remove(this); }

bool TsControl::Contains(platform::Point p) const {
  return p.X >= FBounds.Left && p.X < FBounds.Right && p.Y >= FBounds.Top && p.Y < FBounds.Bottom;
}

bool TsControl::Focused() const { return FHost.ActiveControl() == this; }
void TsControl::Invalidate() { FHost.Invalidate(); }
void TsControl::SetFocus() { FHost.FocusControl(this); }

void TsControlHost::Remove(TsControl* control) {
  std::erase(FControls, control);
  if (FFocused == control) FFocused = nullptr;
  if (FCaptured == control) FCaptured = nullptr;
  if (FHotControl == control) FHotControl = nullptr;
}

TsControl* TsControlHost::ControlAt(platform::Point p) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
    if ((*it)->Contains(p)) return *it;
  return nullptr;
}

void TsControlHost::FocusControl(TsControl* control) {
  if (control != nullptr && !control->CanFocus()) return;
  if (FFocused == control) return;
  FFocused = control;
  Invalidate();
}

void TsControlHost::SelectNext(bool forward) {
  std::vector<TsControl*> order;
  for (TsControl* c : FControls)
    if (c->TabOrder >= 0 && c->CanFocus() && (c->TabStop() || c == FFocused)) order.push_back(c);
  std::stable_sort(order.begin(), order.end(),
                   [](const TsControl* a, const TsControl* b) { return a->TabOrder < b->TabOrder; });
  if (order.empty()) return;
  const auto current = std::find(order.begin(), order.end(), FFocused);
  const int count = static_cast<int>(order.size());
  int index = current == order.end() ? (forward ? -1 : count) : static_cast<int>(current - order.begin());
  for (int step = 0; step < count; ++step) {
    index = (index + (forward ? 1 : -1) + count) % count;
    if (order[static_cast<std::size_t>(index)]->TabStop()) {
      FocusControl(order[static_cast<std::size_t>(index)]);
      return;
    }
  }
}

void TsControlHost::SetHot(TsControl* control) {
  if (FHotControl == control) return;
  if (FHotControl != nullptr) FHotControl->FHot = false;
  FHotControl = control;
  if (FHotControl != nullptr) FHotControl->FHot = true;
  Invalidate();
}

platform::CursorShape TsControlHost::CursorAt(platform::Point p) const {
  // While a control holds the capture, the pointer keeps that control's cursor.
  const TsControl* control = FCaptured != nullptr ? FCaptured : ControlAt(p);
  return control != nullptr ? control->Cursor() : platform::CursorShape::Arrow;
}

bool TsControlHost::Dispatch(const WindowEvent& event) {
  switch (event.Type) {
    case WindowEvent::Kind::MouseDown: {
      TsControl* target = FCaptured != nullptr ? FCaptured : ControlAt(event.Position);
      if (target == nullptr) return false;
      if (event.Button == platform::MouseButton::Left) FCaptured = target;
      target->MouseDown(event);
      return true;
    }
    case WindowEvent::Kind::MouseMove:
      // Under a capture only the capturing control can be hot, as the window system reports it.
      SetHot(FCaptured != nullptr ? (FCaptured->Contains(event.Position) ? FCaptured : nullptr)
                                  : ControlAt(event.Position));
      if (FCaptured != nullptr) FCaptured->MouseMove(event);
      else if (FHotControl != nullptr) FHotControl->MouseMove(event);
      return true;
    case WindowEvent::Kind::MouseUp: {
      TsControl* target = FCaptured != nullptr ? FCaptured : ControlAt(event.Position);
      if (event.Button == platform::MouseButton::Left) FCaptured = nullptr;
      if (target != nullptr) target->MouseUp(event);
      return true;
    }
    case WindowEvent::Kind::MouseLeave:
      if (FCaptured == nullptr) SetHot(nullptr);
      return true;
    case WindowEvent::Kind::KeyDown:
      if (event.KeyCode == platform::Key::Tab) {
        SelectNext(!event.Shift.Shift);
        return true;
      }
      if (FFocused != nullptr) FFocused->KeyDown(event);
      return true;
    case WindowEvent::Kind::FocusIn:
      FActive = true;
      if (FFocused == nullptr) SelectNext(true);
      Invalidate();
      return true;
    case WindowEvent::Kind::FocusOut:
      FActive = false;
      if (FCaptured != nullptr) std::exchange(FCaptured, nullptr)->CancelMode();
      SetHot(nullptr);
      Invalidate();
      return true;
    case WindowEvent::Kind::CloseRequest:
    case WindowEvent::Kind::Paint:
    case WindowEvent::Kind::Resize:
    case WindowEvent::Kind::DoubleClick:
      return true;
  }
  return true;
}

void TsControlHost::Paint(TPainter& painter, const TSkin& skin) const {
  for (const TsControl* c : FControls) c->Paint(painter, skin, FActive && c == FFocused);
}

}  // namespace vf::skin
