#include "backgrounds.h"

#include <array>
#include <cmath>

#include "color.h"
#include "det_math.h"
#include "noise.h"

namespace artgen {
namespace {

// Turns a grey-level field (0..255 scale) into an opaque grey image whose mean is `mean`.
// The field is shifted by its own mean first, so the stated brightness holds whatever the
// noise happened to add.
Image GreyImage(const Field& field, double mean) {
  const double shift = mean - field.Mean();
  Image image(field.width, field.height);
  for (int y = 0; y < field.height; ++y) {
    for (int x = 0; x < field.width; ++x) {
      const std::uint8_t v = ToByte((field.At(x, y) + shift) / 255.0);
      std::uint8_t* px = image.At(x, y);
      px[0] = px[1] = px[2] = v;
      px[3] = 255;
    }
  }
  return image;
}

// A broad, soft sheen across the picture: light in the upper left fading to the lower
// right. It is a single smooth gradient, so stretching only makes it broader.
Field Sheen(int width, int height, double strength) {
  Field field(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double u = (x + 0.5) / width;
      const double v = (y + 0.5) / height;
      field.At(x, y) = strength * dmath::Cos((u * 0.6 + v * 0.4) * dmath::kPi);
    }
  }
  return field;
}

// Background 0: softly brushed steel. The brushing is a short, low-contrast grain rather
// than long lines, so it still reads as metal when the window stretches it vertically.
Image BrushedSteel() {
  constexpr int kW = 165, kH = 75;
  Pcg32 rng(0x0b1e55ed, 1);
  Field field = Sheen(kW, kH, 7.0);
  AddScaled(field, ValueNoise(kW, kH, 14.0, 1.6, rng), 3.2);
  AddScaled(field, ValueNoise(kW, kH, 5.0, 1.0, rng), 2.0);
  AddScaled(field, ValueNoise(kW, kH, 40.0, 25.0, rng), 3.0);
  AddScaled(field, WhiteNoise(kW, kH, rng), 1.3);
  return GreyImage(field, 92.0);
}

// Background 1: bead-blasted aluminium: an even, isotropic grain over faint mottling.
Image BlastedAluminium() {
  constexpr int kW = 146, kH = 56;
  Pcg32 rng(0xa1u, 2);
  Field field = Sheen(kW, kH, 4.0);
  AddScaled(field, BoxBlur(WhiteNoise(kW, kH, rng), 1), 2.0);
  AddScaled(field, WhiteNoise(kW, kH, rng), 0.9);
  AddScaled(field, ValueNoise(kW, kH, 9.0, 9.0, rng), 1.2);
  AddScaled(field, ValueNoise(kW, kH, 30.0, 30.0, rng), 3.0);
  return GreyImage(field, 76.0);
}

// Background 2: near-black powder coat: a very fine, dim grain with gentle clouding.
Image PowderCoat() {
  constexpr int kW = 175, kH = 58;
  Pcg32 rng(0xc0a7u, 3);
  Field field = Sheen(kW, kH, 3.0);
  AddScaled(field, BoxBlur(WhiteNoise(kW, kH, rng), 1), 1.4);
  AddScaled(field, WhiteNoise(kW, kH, rng), 0.7);
  AddScaled(field, ValueNoise(kW, kH, 12.0, 12.0, rng), 0.9);
  AddScaled(field, ValueNoise(kW, kH, 45.0, 35.0, rng), 2.2);
  return GreyImage(field, 27.0);
}

// Backgrounds 3 to 9: one plain colour over a 10 x 10 tile whose one-pixel border is
// slightly transparent, the corners most.
Image PlainColour(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  constexpr int kSide = 10;
  Image image(kSide, kSide);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const bool sideColumn = x == 0 || x == kSide - 1;
      const bool sideRow = y == 0 || y == kSide - 1;
      std::uint8_t alpha = 255;
      if (sideColumn && sideRow) {
        alpha = 220;
      } else if (sideColumn && (y == 1 || y == kSide - 2)) {
        alpha = 242;
      } else if (sideColumn || sideRow) {
        alpha = 237;
      }
      std::uint8_t* px = image.At(x, y);
      px[0] = r;
      px[1] = g;
      px[2] = b;
      px[3] = alpha;
    }
  }
  return image;
}

}  // namespace

std::vector<Image> RenderBackgrounds() {
  struct Plain {
    std::uint8_t r, g, b;
  };
  static constexpr std::array<Plain, 7> kPlainColours{{
      {160, 17, 17},    // red
      {60, 126, 47},    // green
      {38, 163, 174},   // teal
      {21, 98, 169},    // blue
      {24, 42, 132},    // navy
      {173, 156, 43},   // ochre
      {232, 232, 227},  // off-white
  }};
  std::vector<Image> backgrounds{BrushedSteel(), BlastedAluminium(), PowderCoat()};
  for (const Plain& c : kPlainColours) {
    backgrounds.push_back(PlainColour(c.r, c.g, c.b));
  }
  return backgrounds;
}

}  // namespace artgen
