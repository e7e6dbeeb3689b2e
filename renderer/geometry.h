#pragma once

#include <cstdint>

// The renderer's rectangles and points.
namespace vf {

// A drawing rectangle: X, Y, Width, Height (the imaging library's integer rectangle).
struct TGPRect {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  friend bool operator==(const TGPRect&, const TGPRect&) = default;
};

inline TGPRect MakeGPRect(std::int32_t X, std::int32_t Y, std::int32_t Width, std::int32_t Height) {
  return TGPRect{X, Y, Width, Height};
}

// The platform's rectangle by its edges; used for border widths.
struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  friend bool operator==(const TRect&, const TRect&) = default;
};

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

}  // namespace vf
