#pragma once

#include "options/skin/control.h"

namespace vf::skin {

// A radio button of the group formed by all radio buttons of one window. Selecting one that was
// not selected deselects the others and raises OnClick; anything else raises nothing. It is a
// Tab stop only while selected; the arrow keys move the selection within the group.
class TsRadioButton : public TsControl {
 public:
  TsRadioButton(TsControlHost& host, platform::Rect bounds);

  bool Checked() const { return FChecked; }
  void SetChecked(bool value);
  TNotifyEvent OnClick;

  bool CanFocus() const override { return true; }
  bool TabStop() const override { return FChecked; }
  void MouseDown(const platform::WindowEvent& event) override;
  void MouseMove(const platform::WindowEvent& event) override;
  void MouseUp(const platform::WindowEvent& event) override;
  bool KeyDown(const platform::WindowEvent& event) override;
  void CancelMode() override;
  void Paint(TPainter& painter, const TSkin& skin, bool showFocus) const override;

 private:
  std::vector<TsRadioButton*> Group() const;

  bool FChecked = false;
  bool FPressed = false;  // the left button went down on it and is still held
  bool FPressedInside = false;
};

}  // namespace vf::skin
