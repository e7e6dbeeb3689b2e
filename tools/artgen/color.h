#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace artgen {

// Colour channels in [0, 1]. `Rgb` is an opaque surface colour; `Premul` carries alpha with
// the colour already multiplied by it, which is the form in which samples are averaged and
// layers are stacked, so that transparent areas never darken or tint their neighbours.
struct Rgb {
  double r = 0.0, g = 0.0, b = 0.0;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb Mix(Rgb a, Rgb b, double t) { return a * (1.0 - t) + b * t; }
inline Rgb Grey(double v) { return {v, v, v}; }
inline Rgb Rgb8(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

struct Premul {
  double r = 0.0, g = 0.0, b = 0.0, a = 0.0;
};

inline Premul Opaque(Rgb c) { return {c.r, c.g, c.b, 1.0}; }
inline Premul WithAlpha(Rgb c, double a) { return {c.r * a, c.g * a, c.b * a, a}; }
inline Premul operator+(Premul p, Premul q) { return {p.r + q.r, p.g + q.g, p.b + q.b, p.a + q.a}; }
inline Premul operator*(Premul p, double k) { return {p.r * k, p.g * k, p.b * k, p.a * k}; }

// Porter-Duff "over": `front` stacked on `back`.
inline Premul Over(Premul front, Premul back) { return front + back * (1.0 - front.a); }

// Rounds a channel in [0, 1] to 8 bits; values outside are clamped.
inline std::uint8_t ToByte(double v) {
  const double scaled = std::floor(v * 255.0 + 0.5);
  return static_cast<std::uint8_t>(std::clamp(scaled, 0.0, 255.0));
}

}  // namespace artgen
