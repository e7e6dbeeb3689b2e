#pragma once

#include "color.h"
#include "image.h"

namespace artgen {

// Renders an image by averaging a regular grid of grid x grid samples per pixel. The shader
// gets the sample position in pixel units (the pixel (0, 0) spans [0, 1) x [0, 1)) and
// returns a premultiplied colour. Because the sample positions are the same for every call,
// a shape whose coverage does not depend on the frame gets exactly the same alpha in every
// frame.
template <typename Shader>
Image RenderSupersampled(int width, int height, int grid, Shader&& shader) {
  Image image(width, height);
  const double step = 1.0 / grid;
  const double weight = 1.0 / (grid * grid);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      Premul sum;
      for (int j = 0; j < grid; ++j) {
        const double sy = y + (j + 0.5) * step;
        for (int i = 0; i < grid; ++i) {
          const double sx = x + (i + 0.5) * step;
          sum = sum + shader(sx, sy);
        }
      }
      const Premul mean = sum * weight;
      std::uint8_t* px = image.At(x, y);
      const std::uint8_t alpha = ToByte(mean.a);
      if (alpha == 0) {
        continue;  // stays (0, 0, 0, 0)
      }
      px[0] = ToByte(mean.r / mean.a);
      px[1] = ToByte(mean.g / mean.a);
      px[2] = ToByte(mean.b / mean.a);
      px[3] = alpha;
    }
  }
  return image;
}

}  // namespace artgen
