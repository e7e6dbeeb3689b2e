#include "fan_geometry.h"

#include <algorithm>
#include <cmath>

#include "det_math.h"
#include "shading.h"

namespace artgen {

Polar polar(double x, double y, double centre_x, double centre_y) {
    Polar p;
    p.dx = x - centre_x;
    p.dy = y - centre_y;
    p.r = std::sqrt(p.dx * p.dx + p.dy * p.dy);
    p.phi = dmath::atan2(p.dy, p.dx);
    if (p.r > 0.0) {
        p.ux = p.dx / p.r;
        p.uy = p.dy / p.r;
    }
    p.tx = -p.uy;
    p.ty = p.ux;
    return p;
}

double frame_rotation(int frame, int frames, int blades) {
    return dmath::kTwoPi * frame / (static_cast<double>(blades) * frames);
}

Direction direction(double angle) { return {dmath::cos(angle), dmath::sin(angle)}; }

double rounded_box_distance(double px, double py, double hx, double hy, double rounding) {
    const double qx = std::fabs(px) - hx + rounding;
    const double qy = std::fabs(py) - hy + rounding;
    const double ox = std::max(qx, 0.0);
    const double oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - rounding;
}

namespace {

double span_fraction(const BladeShape& shape, double r) {
    return clamp01((r - shape.root_radius) / (shape.tip_radius - shape.root_radius));
}

}  // namespace

double angle_ahead_of_blade(const BladeShape& shape, const Polar& p, double rotation) {
    const double spacing = dmath::kTwoPi / shape.count;
    const double s = span_fraction(shape, p.r);
    const double angle = p.phi - rotation - shape.sweep * s * s;
    return angle - spacing * std::floor(angle / spacing);
}

BladeSample sample_blade(const BladeShape& shape, const Polar& p, double offset) {
    BladeSample b;
    b.along = span_fraction(shape, p.r);
    const double half_chord =
        mix(shape.root_half_chord, shape.tip_half_chord, smoothstep(0.0, shape.widen_until, b.along));
    const double arc = offset * p.r;
    b.arc = arc;
    b.across = arc / half_chord;
    // A box in (arc, radius) space: straight along the chord, rounded at the tip corners.
    const double qx = std::fabs(arc) - half_chord + shape.tip_rounding;
    const double qy = p.r - shape.tip_radius + shape.tip_rounding;
    const double ox = std::max(qx, 0.0);
    const double oy = std::max(qy, 0.0);
    const double to_outline = std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - shape.tip_rounding;
    b.distance = std::max(to_outline, shape.root_radius - p.r);
    return b;
}

BladeSample nearest_blade(const BladeShape& shape, const Polar& p, double rotation) {
    const double spacing = dmath::kTwoPi / shape.count;
    const double ahead = angle_ahead_of_blade(shape, p, rotation);
    return sample_blade(shape, p, ahead < spacing / 2.0 ? ahead : ahead - spacing);
}

}  // namespace artgen
