#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace artgen {

// An 8-bit RGBA raster with straight (not premultiplied) alpha, rows top to bottom, the
// layout PNG colour type 6 stores. Fully transparent pixels are kept at (0, 0, 0, 0) so
// that hidden colour never reaches the files.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  Image() = default;
  Image(int w, int h)
      : width(w),
        height(h),
        pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4, 0) {}

  std::uint8_t* At(int x, int y) { return &pixels[Offset(x, y)]; }
  const std::uint8_t* At(int x, int y) const { return &pixels[Offset(x, y)]; }

 private:
  std::size_t Offset(int x, int y) const {
    const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    return (row + static_cast<std::size_t>(x)) * 4;
  }
};

}  // namespace artgen
