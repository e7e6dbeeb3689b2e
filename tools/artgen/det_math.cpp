#include "det_math.h"

#include <cmath>

namespace artgen::dmath {
namespace {

// pi/2 split into a head with trailing zero bits and a tail, so that q * head is exact
// for the small multiples the artwork uses and the reduction loses no accuracy.
constexpr double kHalfPiHead = 1.57079632673412561417e+00;
constexpr double kHalfPiTail = 6.07710050650619224932e-11;
constexpr double kTwoOverPi = 2.0 / kPi;
constexpr double kTanPiOver8 = 0.41421356237309504880;

// Taylor polynomials on [-pi/4, pi/4], evaluated by Horner's rule from the highest term down;
// the first omitted terms are below 1e-13.
double SinPoly(double x) {
  const double x2 = x * x;
  double acc = 1.0 / 6227020800.0;
  acc = -1.0 / 39916800.0 + x2 * acc;
  acc = 1.0 / 362880.0 + x2 * acc;
  acc = -1.0 / 5040.0 + x2 * acc;
  acc = 1.0 / 120.0 + x2 * acc;
  acc = -1.0 / 6.0 + x2 * acc;
  return x * (1.0 + x2 * acc);
}

double CosPoly(double x) {
  const double x2 = x * x;
  double acc = -1.0 / 87178291200.0;
  acc = 1.0 / 479001600.0 + x2 * acc;
  acc = -1.0 / 3628800.0 + x2 * acc;
  acc = 1.0 / 40320.0 + x2 * acc;
  acc = -1.0 / 720.0 + x2 * acc;
  acc = 1.0 / 24.0 + x2 * acc;
  acc = -0.5 + x2 * acc;
  return 1.0 + x2 * acc;
}

// Series for |u| <= tan(pi/8); the first omitted term is below 1e-10.
double AtanSmall(double u) {
  const double u2 = u * u;
  double acc = 0.0;
  for (int n = 10; n >= 0; --n) {
    acc = 1.0 / static_cast<double>(2 * n + 1) - u2 * acc;
  }
  return u * acc;
}

// Reduces x to r in [-pi/4, pi/4] and returns the quadrant (0..3) it came from.
int Reduce(double x, double& r) {
  const double q = std::floor(x * kTwoOverPi + 0.5);
  r = (x - q * kHalfPiHead) - q * kHalfPiTail;
  const long long qi = static_cast<long long>(q);
  return static_cast<int>(((qi % 4) + 4) % 4);
}

double SinQuadrant(int quadrant, double r) {
  switch (quadrant) {
    case 0: return SinPoly(r);
    case 1: return CosPoly(r);
    case 2: return -SinPoly(r);
    default: return -CosPoly(r);
  }
}

}  // namespace

double Sin(double x) {
  double r = 0.0;
  const int quadrant = Reduce(x, r);
  return SinQuadrant(quadrant, r);
}

double Cos(double x) {
  double r = 0.0;
  const int quadrant = Reduce(x, r);
  return SinQuadrant((quadrant + 1) % 4, r);
}

double Atan2(double y, double x) {
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  if (ax == 0.0 && ay == 0.0) {
    return 0.0;
  }
  const bool steep = ay > ax;
  const double t = steep ? ax / ay : ay / ax;  // in [0, 1]
  double a = t > kTanPiOver8 ? kPi / 4.0 + AtanSmall((t - 1.0) / (t + 1.0)) : AtanSmall(t);
  if (steep) {
    a = kPi / 2.0 - a;
  }
  if (x < 0.0) {
    a = kPi - a;
  }
  return y < 0.0 ? -a : a;
}

}  // namespace artgen::dmath
