#pragma once

#include <string_view>

#include "options/skin/skin.h"
#include "platform/font.h"
#include "platform/pixel_buffer.h"
#include "platform/window.h"

// Anti-aliased drawing of the toolkit's shapes into an opaque pixel buffer: rounded rectangles
// filled with a gradient or stroked, which also make circles and pills. Shapes are given in pixel
// edges (a 1-pixel line at x covers [x, x+1)); coverage is computed per pixel centre from the
// shape's signed distance, so every edge is smooth in every skin.
namespace vf::skin {

struct TRectF {
  float X = 0, Y = 0, W = 0, H = 0;
  static TRectF From(const platform::Rect& r) {
    return {static_cast<float>(r.Left), static_cast<float>(r.Top), static_cast<float>(r.Width()),
            static_cast<float>(r.Height())};
  }
  TRectF Inset(float d) const { return {X + d, Y + d, W - 2 * d, H - 2 * d}; }
};

class TPainter {
 public:
  explicit TPainter(platform::PixelBuffer& target) : FTarget(target) {}

  void Fill(const platform::Rect& r, TColor color, float alpha = 1);
  // The gradient runs from the top to the bottom of the rectangle.
  void FillRound(const TRectF& r, float radius, const TGradient& fill, float alpha = 1);
  void StrokeRound(const TRectF& r, float radius, float width, TColor color, float alpha = 1);
  // A framed face: fill, border, and the bevel's lit line inside the top edge.
  void Face(const TRectF& r, float radius, const TFace& face);
  // Everything outside the rounded rectangle becomes `color` (the window's cut-out corners).
  void ClearOutsideRound(const TRectF& r, float radius, TColor color);
  // A dotted rectangle, one pixel on and one off, as a keyboard focus cue.
  void DottedRect(const platform::Rect& r, TColor color, float alpha = 1);
  void Text(const platform::Rect& box, const platform::FontSpec& font, std::u16string_view text,
            TColor color, platform::TextAlign align);

  void Blend(int x, int y, TColor color, float alpha);
  // Fades what was drawn inside `r` since `before` was copied back towards it by `weight` (0 keeps
  // the new pixels, 1 restores the old): a translucent stroke from any opaque drawing operation.
  void MixWith(const platform::PixelBuffer& before, const platform::Rect& r, float weight);
  platform::PixelBuffer& Target() { return FTarget; }

 private:
  template <typename Shade>
  void Shape(const TRectF& r, float radius, Shade shade);

  platform::PixelBuffer& FTarget;
};

}  // namespace vf::skin
