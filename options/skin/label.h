#pragma once

#include <string>

#include "options/skin/control.h"
#include "platform/font.h"

namespace vf::skin {

// A caption in the skin's label colour. It takes no focus and does nothing with the mouse, but a
// press on it still belongs to it, not to the window's surface.
class TsLabel : public TsControl {
 public:
  enum class TStyle { Normal, Title };

  TsLabel(TsControlHost& host, platform::Rect bounds, std::u16string caption, platform::FontSpec font,
          TStyle style = TStyle::Normal, platform::TextAlign alignment = platform::TextAlign::Left);

  const std::u16string& Caption() const { return FCaption; }
  const platform::FontSpec& Font() const { return FFont; }

  void Paint(TPainter& painter, const TSkin& skin, bool showFocus) const override;

 private:
  std::u16string FCaption;
  platform::FontSpec FFont;
  TStyle FStyle;
  platform::TextAlign FAlignment;
};

}  // namespace vf::skin
