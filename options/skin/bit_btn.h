#pragma once

#include <string>

#include "options/skin/control.h"
#include "platform/font.h"

namespace vf::skin {

// A push button: it clicks when the left button is released over it after being pressed on it,
// and on Space or Enter while it has the focus. The pointer shows a hand over it.
class TsBitBtn : public TsControl {
 public:
  TsBitBtn(TsControlHost& host, platform::Rect bounds, std::u16string caption, platform::FontSpec font);

  const std::u16string& Caption() const { return FCaption; }
  bool Down() const { return FPressed && FPressedInside; }
  TNotifyEvent OnClick;
  void Click();

  bool CanFocus() const override { return true; }
  platform::CursorShape Cursor() const override { return platform::CursorShape::Hand; }
  void MouseDown(const platform::WindowEvent& event) override;
  void MouseMove(const platform::WindowEvent& event) override;
  void MouseUp(const platform::WindowEvent& event) override;
  bool KeyDown(const platform::WindowEvent& event) override;
  void CancelMode() override;
  void Paint(TPainter& painter, const TSkin& skin, bool showFocus) const override;

 private:
  std::u16string FCaption;
  platform::FontSpec FFont;
  bool FPressed = false;
  bool FPressedInside = false;
};

}  // namespace vf::skin
