#pragma once

#include <algorithm>
#include <cmath>

#include "color.h"

// Small vector and lighting helpers shared by the fan skins. Screen coordinates: x to the
// right, y down, z towards the viewer. All fans are lit by one light from the upper left,
// so that the skins read as parts of one scene.
namespace artgen {

struct Vec3 {
  double x = 0.0, y = 0.0, z = 0.0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator*(Vec3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
inline double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Normalized(Vec3 v) {
  const double len = std::sqrt(Dot(v, v));
  return len > 0.0 ? v * (1.0 / len) : v;
}

inline double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
inline double Mix(double a, double b, double t) { return a + (b - a) * t; }

// Hermite ramp from 0 at e0 to 1 at e1; e0 may be larger than e1 for a falling ramp.
inline double SmoothStep(double e0, double e1, double x) {
  const double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3.0 - 2.0 * t);
}

// x to a small integer power by repeated squaring; std::pow is avoided because its last
// bit may differ between C libraries.
inline double PowInt(double x, int n) {
  double result = 1.0;
  while (n > 0) {
    if (n & 1) {
      result *= x;
    }
    x *= x;
    n >>= 1;
  }
  return result;
}

inline const Vec3 kLightDir = Normalized({-0.48, -0.62, 0.62});
inline const Vec3 kHalfVector = Normalized(kLightDir + Vec3{0.0, 0.0, 1.0});

inline double Diffuse(Vec3 n) { return std::max(0.0, Dot(n, kLightDir)); }
inline double Specular(Vec3 n, int power) {
  return PowInt(std::max(0.0, Dot(n, kHalfVector)), power);
}

// Normal of a surface that slopes along the unit direction (ux, uy): `tilt` is -dz/ds, so a
// positive tilt faces the direction (a rim rolling away outwards), a negative one faces back.
inline Vec3 TiltedNormal(double ux, double uy, double tilt) {
  return Normalized({ux * tilt, uy * tilt, 1.0});
}

// Plain Lambert plus Blinn-Phong shading of a surface colour.
inline Rgb Shade(Rgb base, Vec3 n, double ambient, double diffuseWeight, double glossWeight,
                 int glossPower, Rgb glossColour = {1.0, 1.0, 1.0}) {
  return base * (ambient + diffuseWeight * Diffuse(n)) +
         glossColour * (glossWeight * Specular(n, glossPower));
}

}  // namespace artgen
