#include "options/skin/label.h"

#include <algorithm>

namespace vf::skin {

TsLabel::TsLabel(TsControlHost& host, platform::Rect bounds, std::u16string caption, platform::FontSpec font,
                 TStyle style, platform::TextAlign alignment)
    : TsControl(host, bounds), FCaption(std::move(caption)), FFont(std::move(font)), FStyle(style),
      FAlignment(alignment) {}

void TsLabel::Paint(TPainter& painter, const TSkin& skin, bool) const {
  const bool title = FStyle == TStyle::Title;
  const TColor text = title ? skin.Form.TitleText : skin.Form.LabelText;
  const TColor shadow = title ? skin.Form.TitleShadow : skin.Form.LabelShadow;
  const float shadowAlpha = title ? skin.Form.TitleShadowAlpha : skin.Form.LabelShadowAlpha;
  // A label sizes itself to its caption: a left-aligned caption may run past the stored width
  // when the installed face is wider than the one the layout was made with.
  platform::Rect box = BoundsRect();
  if (FAlignment == platform::TextAlign::Left)
    box.Right = std::max(box.Right, box.Left + platform::MeasureText(FFont, FCaption).X + 2);
  if (shadowAlpha > 0) {
    const platform::Rect below{box.Left + 1, box.Top + 1, box.Right + 1, box.Bottom + 1};
    // The shadow is drawn as text too, faded by drawing over a copy of the pixels.
    platform::PixelBuffer& target = painter.Target();
    platform::PixelBuffer before = target;
    painter.Text(below, FFont, FCaption, shadow, FAlignment);
    painter.MixWith(before, below, 1 - shadowAlpha);
  }
  painter.Text(box, FFont, FCaption, text, FAlignment);
}

}  // namespace vf::skin
