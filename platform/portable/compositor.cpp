// Alpha conversions and source-over compositing for the portable imaging; built with -O3 like
// the resampler, since a scaled draw composites every destination pixel.
#include "compositor.h"

#include <cstdint>

namespace platform::portable {
namespace {

// x / 255 rounded to nearest, exact for every x in [0, 255 * 255].
inline std::uint32_t Div255(std::uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}

inline std::uint8_t Byte(std::uint32_t value) { return static_cast<std::uint8_t>(value); }

}  // namespace

void PremultiplyRow(Pixel32* dest, const Pixel32* source, int count) {
  for (int i = 0; i < count; ++i) {
    const Pixel32 p = source[i];
    dest[i] = {Byte(Div255(p.b * p.a)), Byte(Div255(p.g * p.a)), Byte(Div255(p.r * p.a)), p.a};
  }
}

void UnpremultiplyRow(Pixel32* dest, const Pixel32* source, int count) {
  for (int i = 0; i < count; ++i) {
    const Pixel32 p = source[i];
    if (p.a == 0) {
      dest[i] = {0, 0, 0, 0};
      continue;
    }
    const std::uint32_t half = p.a / 2u;
    auto straight = [&](std::uint8_t c) {
      const std::uint32_t value = (c * 255u + half) / p.a;
      return Byte(value > 255 ? 255 : value);
    };
    dest[i] = {straight(p.b), straight(p.g), straight(p.r), p.a};
  }
}

void CompositeStraightRow(Pixel32* dest, const Pixel32* source, int count) {
  for (int i = 0; i < count; ++i) {
    const Pixel32 s = source[i];
    if (s.a == 0) continue;
    Pixel32& d = dest[i];
    if (s.a == 255) {
      d = s;
      continue;
    }
    const std::uint32_t a = s.a;
    const std::uint32_t inverse = 255u - a;
    d.b = Byte((s.b * a + d.b * inverse + 127u) / 255u);
    d.g = Byte((s.g * a + d.g * inverse + 127u) / 255u);
    d.r = Byte((s.r * a + d.r * inverse + 127u) / 255u);
    d.a = Byte(255u - ((255u - d.a) * inverse + 127u) / 255u);
  }
}

void CompositePremultipliedRow(Pixel32* dest, const Pixel32* source, int count) {
  for (int i = 0; i < count; ++i) {
    const Pixel32 s = source[i];
    if (s.a == 0) continue;
    Pixel32& d = dest[i];
    if (s.a == 255) {
      d = s;
      continue;
    }
    const std::uint32_t inverse = 255u - s.a;
    d.b = Byte(s.b + Div255(d.b * inverse));
    d.g = Byte(s.g + Div255(d.g * inverse));
    d.r = Byte(s.r + Div255(d.r * inverse));
    d.a = Byte(s.a + Div255(d.a * inverse));
  }
}

}  // namespace platform::portable
