#include "options/skin/radio_button.h"

#include <algorithm>

namespace vf::skin {

using platform::Key;
using platform::MouseButton;
using platform::WindowEvent;

TsRadioButton::TsRadioButton(TsControlHost& host, platform::Rect bounds) : TsControl(host, bounds) {
  SkinSection = kRadioButtonSection;
}

std::vector<TsRadioButton*> TsRadioButton::Group() const {
  std::vector<TsRadioButton*> group;
  for (TsControl* c : Host().Controls())
    if (auto* radio = dynamic_cast<TsRadioButton*>(c)) group.push_back(radio);
  return group;
}

void TsRadioButton::SetChecked(bool value) {
  if (value == FChecked) return;
  FChecked = value;
  Invalidate();
  if (!value) return;
  for (TsRadioButton* other : Group())
    if (other != this) other->SetChecked(false);
  Raise(OnClick, this);
}

void TsRadioButton::MouseDown(const WindowEvent& event) {
  if (event.Button != MouseButton::Left) return;
  SetFocus();
  FPressed = true;
  FPressedInside = true;
  Invalidate();
}

void TsRadioButton::MouseMove(const WindowEvent& event) {
  if (!FPressed) return;
  const bool inside = Contains(event.Position);
  if (inside != FPressedInside) {
    FPressedInside = inside;
    Invalidate();
  }
}

void TsRadioButton::MouseUp(const WindowEvent& event) {
  if (event.Button != MouseButton::Left || !FPressed) return;
  FPressed = false;
  Invalidate();
  if (Contains(event.Position)) SetChecked(true);
}

void TsRadioButton::CancelMode() {
  FPressed = false;
  Invalidate();
}

bool TsRadioButton::KeyDown(const WindowEvent& event) {
  int step = 0;
  switch (event.KeyCode) {
    case Key::Space:
      SetChecked(true);
      return true;
    case Key::Left:
    case Key::Up: step = -1; break;
    case Key::Right:
    case Key::Down: step = 1; break;
    default: return false;
  }
  const std::vector<TsRadioButton*> group = Group();
  const auto self = std::find(group.begin(), group.end(), this);
  const int count = static_cast<int>(group.size());
  const int index = (static_cast<int>(self - group.begin()) + step + count) % count;
  TsRadioButton* next = group[static_cast<std::size_t>(index)];
  next->SetFocus();
  next->SetChecked(true);
  return true;
}

void TsRadioButton::Paint(TPainter& painter, const TSkin& skin, bool showFocus) const {
  const TRadioSection& s = skin.RadioButton;
  constexpr float kDiameter = 14;
  const float x = static_cast<float>(Left()) + (static_cast<float>(Width()) - kDiameter) / 2;
  const float y = static_cast<float>(Top()) + (static_cast<float>(Height()) - kDiameter) / 2;
  const TRectF ring{x, y, kDiameter, kDiameter};
  if (FChecked && s.DotGlowAlpha > 0) {
    painter.StrokeRound({x - 2, y - 2, kDiameter + 4, kDiameter + 4}, kDiameter, 2, s.DotGlow, s.DotGlowAlpha * 0.5f);
    painter.StrokeRound({x - 1, y - 1, kDiameter + 2, kDiameter + 2}, kDiameter, 1, s.DotGlow, s.DotGlowAlpha);
  }
  const TFace& face = FPressed && FPressedInside ? s.Pressed : (Hot() ? s.Hot : s.Normal);
  painter.Face(ring, kDiameter / 2, face);
  if (FChecked) {
    const float d = 6;
    const TRectF dot{x + (kDiameter - d) / 2, y + (kDiameter - d) / 2, d, d};
    painter.FillRound(dot, d / 2, TGradient::Linear(s.DotHighlight, s.Dot));
    painter.FillRound({dot.X + 1, dot.Y + 1, d - 2, d - 2}, d, TGradient::Solid(s.Dot), 0.6f);
    painter.FillRound({dot.X + 1.2f, dot.Y + 0.8f, 2.2f, 2.2f}, 2, TGradient::Solid(s.DotHighlight), 0.9f);
  }
  if (showFocus) painter.DottedRect(BoundsRect(), s.Focus, 0.95f);
}

}  // namespace vf::skin
