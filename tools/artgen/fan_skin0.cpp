// Skin 0: a dark metal PC-case fan. Six curved, cambered blades turn in the bore of a round
// housing with a machined face and a rolled outer lip; two mounting clips stick out at
// twelve and six o'clock. Everything inside the outline is opaque (the bore shows the dark
// motor frame behind the blades), so the alpha channel is the same in every frame and only
// the colours move.

#include <array>
#include <cmath>

#include "det_math.h"
#include "fan_geometry.h"
#include "fan_skins.h"
#include "raster.h"
#include "shading.h"

namespace artgen {
namespace {

constexpr double kCentre = kSkin0Size / 2.0;

constexpr double kOuter = 57.5;      // housing edge: the fan spans columns 2 to 116
constexpr double kRollStart = 54.0;  // the outer lip rolls away from here
constexpr double kFaceInner = 50.8;  // machined flat face between here and the roll
constexpr double kBore = 48.8;       // the opening the blades turn in
constexpr double kHub = 16.0;
constexpr double kHubFace = 13.6;
constexpr double kCap = 5.6;

// Mounting clips reach the first and last rows.
constexpr double kClipHalfWidth = 11.5;
constexpr double kClipRounding = 3.0;

constexpr int kStruts = 3;
constexpr double kStrutHalfWidth = 1.7;

const BladeShape kBladeShape{6, 12.0, 47.4, 0.62, 6.5, 17.0, 0.75, 6.5};

const Rgb kHousingMetal = Rgb8(64, 67, 74);
const Rgb kBladeMetal = Rgb8(58, 62, 70);
const Rgb kHubMetal = Rgb8(70, 73, 80);
const Rgb kCavity = Rgb8(13, 14, 16);
const Rgb kStrutMetal = Rgb8(34, 36, 40);

// Shadows fall away from the light, towards the lower right.
constexpr double kShadowX = 2.2, kShadowY = 2.9;

// Concentric machining marks catch the light along the radius that points at it: the
// classic streak of a lathe-turned disc.
double TurnedMetalStreak(const Polar& p) {
  const double hx = kHalfVector.x, hy = kHalfVector.y;
  const double len = std::sqrt(hx * hx + hy * hy);
  const double c = std::fabs(p.ux * hx + p.uy * hy) / len;
  return PowInt(c, 10);
}

// Normal of a rolled edge: t runs from 0 (flat) to 1 (the edge), the surface bending over a
// quarter circle.
double RollTilt(double t, double strength) {
  const double c = Clamp01(t) * 0.96;
  return strength * c / std::sqrt(1.0 - c * c);
}

Rgb Housing(const Polar& p) {
  Rgb c;
  if (p.r >= kRollStart) {
    const Vec3 n =
        TiltedNormal(p.ux, p.uy, RollTilt((p.r - kRollStart) / (kOuter - kRollStart), 1.3));
    c = Shade(kHousingMetal, n, 0.45, 0.85, 0.7, 24);
  } else if (p.r >= kFaceInner) {
    const Vec3 n{0.0, 0.0, 1.0};
    c = Shade(kHousingMetal, n, 0.45, 0.75, 0.0, 1) + Grey(0.16 * TurnedMetalStreak(p));
  } else {
    // The chamfer into the bore faces the centre, so it is lit on the lower right.
    const Vec3 n = TiltedNormal(p.ux, p.uy, -1.3);
    c = Shade(kHousingMetal * 0.8, n, 0.35, 0.8, 0.45, 16);
  }
  // Thin dark seams where the surfaces meet.
  const double seam = std::min(std::fabs(p.r - kRollStart), std::fabs(p.r - kFaceInner));
  return c * (0.72 + 0.28 * SmoothStep(0.0, 0.45, seam));
}

Rgb Clip(double x, double y, const Polar& p) {
  const auto distance = [](double px, double py) {
    return RoundedBoxDistance(px - kCentre, py - kCentre, kClipHalfWidth, kCentre, kClipRounding);
  };
  const double d = distance(x, y);
  // Bevel along the clip's edge, facing outwards along the distance gradient.
  const double gx = distance(x + 0.25, y) - distance(x - 0.25, y);
  const double gy = distance(x, y + 0.25) - distance(x, y - 0.25);
  const double glen = std::sqrt(gx * gx + gy * gy);
  const double bevel = SmoothStep(-1.4, 0.0, d);
  const Vec3 n = glen > 0.0 ? TiltedNormal(gx / glen, gy / glen, 1.2 * bevel) : Vec3{0.0, 0.0, 1.0};
  // The housing's rolled lip overhangs the clip and shades it.
  const double shadowed = 0.55 + 0.45 * SmoothStep(kOuter, kOuter + 2.5, p.r);
  return Shade(kHousingMetal * 0.85, n, 0.45, 0.8, 0.5, 20) * shadowed;
}

// The struts point down and to either upper side, 120 degrees apart.
const Direction& Strut(int i) {
  static const auto table = [] {
    std::array<Direction, kStruts> t;
    for (int k = 0; k < kStruts; ++k) {
      t[static_cast<std::size_t>(k)] =
          UnitDirection(dmath::kPi / 2.0 + dmath::kTwoPi * k / kStruts);
    }
    return t;
  }();
  return table[static_cast<std::size_t>(i)];
}

// The motor frame seen through the blades: a dark back, three struts, and the shadows of
// the housing, the hub and the blades.
Rgb Cavity(double x, double y, const Polar& p, double rotation) {
  Rgb c = kCavity;
  for (int i = 0; i < kStruts; ++i) {
    const Direction a = Strut(i);
    const double along = p.dx * a.x + p.dy * a.y;
    const double across = p.dx * -a.y + p.dy * a.x;
    if (along > 0.0 && std::fabs(across) < kStrutHalfWidth) {
      const double t = across / kStrutHalfWidth;
      const Vec3 n = TiltedNormal(-a.y, a.x, 1.4 * t);
      c = Shade(kStrutMetal, n, 0.5, 0.7, 0.25, 12);
    }
  }
  // Ambient occlusion deepens the bore towards its wall and the hub.
  c = c * (0.55 + 0.45 * SmoothStep(kBore, kBore - 8.0, p.r) * SmoothStep(kHub, kHub + 5.0, p.r));

  const Polar s = ToPolar(x - kShadowX, y - kShadowY, kCentre, kCentre);
  double light = 1.0;
  light *= 1.0 - 0.6 * SmoothStep(kBore - 1.5, kBore + 0.5, s.r);
  light *= 1.0 - 0.5 * SmoothStep(kHub + 1.0, kHub - 1.0, s.r);
  light *= 1.0 - 0.55 * SmoothStep(1.2, -1.2, NearestBlade(kBladeShape, s, rotation).distance);
  return c * light;
}

Rgb Blade(double x, double y, const Polar& p, const BladeSample& b) {
  // A cambered, pitched blade: the slope along the direction of travel changes across the
  // chord, so the light slides over the blade as it turns.
  const double slope = 0.55 + 0.55 * b.across;
  const Vec3 n = Normalized({-slope * p.tx, -slope * p.ty, 1.0});
  Rgb c = Shade(kBladeMetal * (0.8 + 0.35 * b.along), n, 0.42, 0.95, 0.5, 18);

  const double edge = Clamp01(-b.distance / 1.1);
  if (b.across > 0.0) {
    c = c + Grey(0.2 * (1.0 - edge));  // the leading edge is rounded and catches light
  } else {
    c = c * (0.65 + 0.35 * edge);
  }
  c = c * (0.6 + 0.4 * SmoothStep(kHub, kHub + 7.0, p.r));
  // The housing's lip shades the tips on the upper left.
  const Polar s = ToPolar(x - 0.9, y - 1.2, kCentre, kCentre);
  return c * (1.0 - 0.35 * SmoothStep(kBore - 1.0, kBore + 0.5, s.r));
}

Rgb Hub(const Polar& p) {
  if (p.r >= kHubFace) {
    const Vec3 n = TiltedNormal(p.ux, p.uy, RollTilt((p.r - kHubFace) / (kHub - kHubFace), 1.4));
    return Shade(kHubMetal, n, 0.45, 0.8, 0.7, 24);
  }
  if (p.r >= kCap) {
    const Rgb c = Shade(kHubMetal, Vec3{0.0, 0.0, 1.0}, 0.45, 0.7, 0.0, 1) +
                  Grey(0.22 * TurnedMetalStreak(p));
    return c * (0.7 + 0.3 * SmoothStep(0.0, 0.5, p.r - kCap));
  }
  // A slightly domed cap with a tight highlight.
  const Vec3 n = TiltedNormal(p.ux, p.uy, 0.7 * p.r / kCap);
  return Shade(kHubMetal * 0.9, n, 0.4, 0.8, 0.9, 40);
}

}  // namespace

Image RenderFanSkin0(int frame) { return RenderFanSkin0At(frame, kSkin0Size); }

Image RenderFanSkin0At(int frame, int size) {
  const double rotation = FrameRotation(frame, kSkin0Frames, kBladeShape.count);
  // The geometry is in pixels of the skin's own size; at that size the scale is exactly 1.
  const double scale = static_cast<double>(kSkin0Size) / size;
  return RenderSupersampled(size, size, kFanSupersampling, [&](double sx, double sy) {
    const double x = sx * scale, y = sy * scale;
    const Polar p = ToPolar(x, y, kCentre, kCentre);
    if (p.r > kOuter) {
      if (RoundedBoxDistance(p.dx, p.dy, kClipHalfWidth, kCentre, kClipRounding) <= 0.0) {
        return Opaque(Clip(x, y, p));
      }
      return Premul{};
    }
    if (p.r >= kBore) {
      return Opaque(Housing(p));
    }
    if (p.r < kHub) {
      return Opaque(Hub(p));
    }
    const BladeSample b = NearestBlade(kBladeShape, p, rotation);
    return Opaque(b.Inside() ? Blade(x, y, p, b) : Cavity(x, y, p, rotation));
  });
}

}  // namespace artgen
