#pragma once

// Trigonometry built from plain IEEE arithmetic (+, -, *, /, floor) only. The platform's
// libm is free to differ in the last bit between versions and machines; these functions
// are not, so the artwork stays byte-for-byte reproducible wherever the generator is built
// (the build turns off fused multiply-add contraction for the same reason).
namespace artgen::dmath {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;

double Sin(double x);
double Cos(double x);

// Angle of (x, y) in (-pi, pi]. With screen coordinates (y pointing down) the angle grows
// clockwise on screen.
double Atan2(double y, double x);

}  // namespace artgen::dmath
