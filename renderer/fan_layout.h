#pragma once

#include <cstdint>

#include "renderer/geometry.h"

// Where the fans go: the size at which the background is composed before it is scaled to the area,
// and the one or two squares the fans are drawn into. Pure integer arithmetic with a few rounded
// quotients, run once per rebuild.
namespace vf {

struct TCompositionSize {
  std::int32_t OrigWidth = 0;
  std::int32_t OrigHeight = 0;
  friend bool operator==(const TCompositionSize&, const TCompositionSize&) = default;
};

// The aspect ratio of the area with its smaller side equal to the fan image's size (fw x fh).
TCompositionSize CalcCompositionSize(std::int32_t fw, std::int32_t fh, std::int32_t AW,
                                     std::int32_t AH);

// The composition size that is actually composed: the one above, shrunk to the same aspect ratio
// when it would hold more than kCompositionBudgetFloor pixels and more than four times the area's.
// Only an area far thinner than a fan gets there (100000 x 1 would compose 11900000 x 119); there
// the background is composed at a coarser scale, so a resize costs time in proportion to the area.
inline constexpr std::int64_t kCompositionBudgetFloor = std::int64_t{1} << 21;
TCompositionSize LimitCompositionSize(const TCompositionSize& AOrig, std::int32_t AW, std::int32_t AH);

struct TFanRects {
  TGPRect R1;  // always present
  TGPRect R2;  // absent when X is -1; then (-1, -1, 1, 1)
};

inline bool IsAbsent(const TGPRect& rect) { return rect.X == -1; }

// The fan squares in an area of AW x AH whose background has the border widths P (in composition
// pixels of a composition OrigWidth x OrigHeight).
TFanRects CalcFanRects(std::int32_t OrigWidth, std::int32_t OrigHeight, const TRect& P,
                       std::int32_t AW, std::int32_t AH);

}  // namespace vf
