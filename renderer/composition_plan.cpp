#include "renderer/composition_plan.h"

namespace vf {

namespace {

const TPartLayout& Part(const TPartLayouts& parts, TPartSlot slot) {
  return parts[static_cast<std::size_t>(slot)];
}

// A run draws copies k = 0 .. inner div tile (truncating toward zero), so it always reaches the
// far side of the inner area; it draws nothing only when that quotient is negative.
template <typename Draw>
void Run(std::int32_t inner, std::int32_t tile, Draw&& draw) {
  for (std::int32_t k = 0; k <= inner / tile; ++k) draw(k);
}

}  // namespace

TRect PaddingOf(const TPartLayouts& parts) {
  return TRect{Part(parts, TPartSlot::LeftTopBottom).Width, Part(parts, TPartSlot::TopLeftRight).Height,
               Part(parts, TPartSlot::RightTopBottom).Width, Part(parts, TPartSlot::BottomLeftRight).Height};
}

std::vector<TPartDraw> PlanComposition(const TPartLayouts& parts, std::int32_t W0, std::int32_t H0) {
  const TRect pad = PaddingOf(parts);
  const std::int32_t innerW = W0 - pad.Left - pad.Right;
  const std::int32_t innerH = H0 - pad.Top - pad.Bottom;
  std::vector<TPartDraw> draws;
  auto add = [&](TPartSlot slot, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 bool siding) { draws.push_back({slot, MakeGPRect(x, y, w, h), siding}); };
  auto present = [&](TPartSlot slot) -> const TPartLayout* {
    const TPartLayout& p = Part(parts, slot);
    return p.Width != 0 && p.Height != 0 ? &p : nullptr;
  };

  if (const TPartLayout* c = present(TPartSlot::Centr)) {
    const std::int32_t w = c->Width, h = c->Height;
    switch (c->Pos) {
      case TTypePos::tpPart:
        // The tiles are the only draws at natural size, without a pre-scaled copy.
        Run(innerW, w, [&](std::int32_t k) {
          Run(innerH, h, [&](std::int32_t j) { add(TPartSlot::Centr, pad.Left + w * k, pad.Top + h * j, w, h, false); });
        });
        break;
      case TTypePos::tpStretch:
        add(TPartSlot::Centr, pad.Left, pad.Top, innerW, innerH, true);
        break;
      case TTypePos::tpHorz:
        Run(innerW, w, [&](std::int32_t k) { add(TPartSlot::Centr, pad.Left + w * k, pad.Top, w, innerH, true); });
        break;
      case TTypePos::tpVert:
        Run(innerH, h, [&](std::int32_t j) { add(TPartSlot::Centr, pad.Left, pad.Top + h * j, innerW, h, true); });
        break;
      case TTypePos::tpNone:
        break;
    }
  }

  // Tiled edges start after the neighbouring edge and count their own tiles; stretched edges span
  // the whole side, and the corners drawn last cover their ends.
  auto horizontalEdge = [&](TPartSlot slot, bool bottom) {
    const TPartLayout* e = present(slot);
    if (e == nullptr) return;
    const std::int32_t w = e->Width, h = e->Height, y = bottom ? H0 - h : 0;
    if (e->Pos == TTypePos::tpPart)
      Run(innerW, w, [&](std::int32_t k) { add(slot, pad.Left + w * k, y, w, h, true); });
    else if (e->Pos == TTypePos::tpStretch)
      add(slot, 0, y, W0, h, true);
  };
  auto verticalEdge = [&](TPartSlot slot, bool right) {
    const TPartLayout* e = present(slot);
    if (e == nullptr) return;
    const std::int32_t w = e->Width, h = e->Height, x = right ? W0 - w : 0;
    if (e->Pos == TTypePos::tpPart)
      Run(innerH, h, [&](std::int32_t j) { add(slot, x, pad.Top + h * j, w, h, true); });
    else if (e->Pos == TTypePos::tpStretch)
      add(slot, x, 0, w, H0, true);
  };
  auto corner = [&](TPartSlot slot, bool right, bool bottom) {
    const TPartLayout* c = present(slot);
    if (c == nullptr) return;
    add(slot, right ? W0 - c->Width : 0, bottom ? H0 - c->Height : 0, c->Width, c->Height, true);
  };

  horizontalEdge(TPartSlot::TopLeftRight, false);
  horizontalEdge(TPartSlot::BottomLeftRight, true);
  verticalEdge(TPartSlot::LeftTopBottom, false);
  verticalEdge(TPartSlot::RightTopBottom, true);
  corner(TPartSlot::TopLeft, false, false);
  corner(TPartSlot::TopRight, true, false);
  corner(TPartSlot::BottomLeft, false, true);
  corner(TPartSlot::BottomRight, true, true);
  return draws;
}

}  // namespace vf
