#include "fan_geometry.h"

#include <algorithm>
#include <cmath>

#include "det_math.h"
#include "shading.h"

namespace artgen {

Polar ToPolar(double x, double y, double centreX, double centreY) {
  Polar p;
  p.dx = x - centreX;
  p.dy = y - centreY;
  p.r = std::sqrt(p.dx * p.dx + p.dy * p.dy);
  p.phi = dmath::Atan2(p.dy, p.dx);
  if (p.r > 0.0) {
    p.ux = p.dx / p.r;
    p.uy = p.dy / p.r;
  }
  p.tx = -p.uy;
  p.ty = p.ux;
  return p;
}

double FrameRotation(int frame, int frames, int blades) {
  return dmath::kTwoPi * frame / (static_cast<double>(blades) * frames);
}

Direction UnitDirection(double angle) { return {dmath::Cos(angle), dmath::Sin(angle)}; }

double RoundedBoxDistance(double px, double py, double hx, double hy, double rounding) {
  const double qx = std::fabs(px) - hx + rounding;
  const double qy = std::fabs(py) - hy + rounding;
  const double ox = std::max(qx, 0.0);
  const double oy = std::max(qy, 0.0);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - rounding;
}

namespace {

double SpanFraction(const BladeShape& shape, double r) {
  return Clamp01((r - shape.rootRadius) / (shape.tipRadius - shape.rootRadius));
}

}  // namespace

double AngleAheadOfBlade(const BladeShape& shape, const Polar& p, double rotation) {
  const double spacing = dmath::kTwoPi / shape.count;
  const double s = SpanFraction(shape, p.r);
  const double angle = p.phi - rotation - shape.sweep * s * s;
  return angle - spacing * std::floor(angle / spacing);
}

BladeSample SampleBlade(const BladeShape& shape, const Polar& p, double offset) {
  BladeSample b;
  b.along = SpanFraction(shape, p.r);
  const double halfChord =
      Mix(shape.rootHalfChord, shape.tipHalfChord, SmoothStep(0.0, shape.widenUntil, b.along));
  const double arc = offset * p.r;
  b.arc = arc;
  b.across = arc / halfChord;
  // A box in (arc, radius) space: straight along the chord, rounded at the tip corners.
  const double qx = std::fabs(arc) - halfChord + shape.tipRounding;
  const double qy = p.r - shape.tipRadius + shape.tipRounding;
  const double ox = std::max(qx, 0.0);
  const double oy = std::max(qy, 0.0);
  const double toOutline =
      std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - shape.tipRounding;
  b.distance = std::max(toOutline, shape.rootRadius - p.r);
  return b;
}

BladeSample NearestBlade(const BladeShape& shape, const Polar& p, double rotation) {
  const double spacing = dmath::kTwoPi / shape.count;
  const double ahead = AngleAheadOfBlade(shape, p, rotation);
  return SampleBlade(shape, p, ahead < spacing / 2.0 ? ahead : ahead - spacing);
}

}  // namespace artgen
