#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "renderer/geometry.h"
#include "renderer/image_catalogue.h"

// Where the parts of a background go on the composition bitmap, as a list of draws in painting
// order: the centre, the top, bottom, left and right edges, then the four corners. It depends only
// on the parts' sizes and placement kinds and on the composition size, so it is computed apart from
// any drawing.
namespace vf {

enum class TPartSlot : std::uint8_t {
  Centr,
  TopLeftRight,
  BottomLeftRight,
  LeftTopBottom,
  RightTopBottom,
  TopLeft,
  TopRight,
  BottomLeft,
  BottomRight,
};
inline constexpr std::size_t kPartSlotCount = 9;

// A part's natural size and placement (corners have none); an absent part is 0 x 0.
struct TPartLayout {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  TTypePos Pos = TTypePos::tpNone;
};
using TPartLayouts = std::array<TPartLayout, kPartSlotCount>;

struct TPartDraw {
  TPartSlot Slot;
  TGPRect Rect;
  bool IsSiding;  // drawn through a copy pre-scaled to the rectangle
  friend bool operator==(const TPartDraw&, const TPartDraw&) = default;
};

// Border widths in composition pixels: from the edges only, never the corners.
TRect PaddingOf(const TPartLayouts& parts);

std::vector<TPartDraw> PlanComposition(const TPartLayouts& parts, std::int32_t W0, std::int32_t H0);

}  // namespace vf
