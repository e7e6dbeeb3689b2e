#include "options/skin/bit_btn.h"

namespace vf::skin {

using platform::Key;
using platform::MouseButton;
using platform::WindowEvent;

TsBitBtn::TsBitBtn(TsControlHost& host, platform::Rect bounds, std::u16string caption, platform::FontSpec font)
    : TsControl(host, bounds), FCaption(std::move(caption)), FFont(std::move(font)) {
  SkinSection = kButtonSection;
}

void TsBitBtn::Click() { Raise(OnClick, this); }

void TsBitBtn::MouseDown(const WindowEvent& event) {
  if (event.Button != MouseButton::Left) return;
  SetFocus();
  FPressed = true;
  FPressedInside = true;
  Invalidate();
}

void TsBitBtn::MouseMove(const WindowEvent& event) {
  if (!FPressed) return;
  const bool inside = Contains(event.Position);
  if (inside != FPressedInside) {
    FPressedInside = inside;
    Invalidate();
  }
}

void TsBitBtn::MouseUp(const WindowEvent& event) {
  if (event.Button != MouseButton::Left || !FPressed) return;
  FPressed = false;
  Invalidate();
  if (Contains(event.Position)) Click();
}

void TsBitBtn::CancelMode() {
  FPressed = false;
  Invalidate();
}

bool TsBitBtn::KeyDown(const WindowEvent& event) {
  if (event.KeyCode != Key::Space && event.KeyCode != Key::Enter) return false;
  Click();
  return true;
}

void TsBitBtn::Paint(TPainter& painter, const TSkin& skin, bool showFocus) const {
  const TButtonSection& s = skin.Button;
  const bool down = Down();
  const TFace& face = down ? s.Pressed : (Hot() ? s.Hot : s.Normal);
  const TRectF body = TRectF::From(BoundsRect());
  painter.Face(body, static_cast<float>(s.Radius), face);
  platform::FontSpec font = FFont;
  font.Bold = font.Bold || s.BoldCaption;
  const int shift = down ? 1 : 0;  // the caption sinks with the pressed face
  const platform::Rect box{Left() + shift, Top() + shift, Left() + Width() + shift, Top() + Height() + shift};
  if (s.TextShadowAlpha > 0) {
    const platform::Rect shadow{box.Left, box.Top + 1, box.Right, box.Bottom + 1};
    platform::PixelBuffer before = painter.Target();
    painter.Text(shadow, font, FCaption, s.TextShadow, platform::TextAlign::Center);
    painter.MixWith(before, shadow, 1 - s.TextShadowAlpha);
  }
  painter.Text(box, font, FCaption, s.Text, platform::TextAlign::Center);
  if (showFocus) {
    const platform::Rect inner{Left() + 3, Top() + 3, Left() + Width() - 3, Top() + Height() - 3};
    painter.DottedRect(inner, s.Focus, 0.9f);
  }
}

}  // namespace vf::skin
