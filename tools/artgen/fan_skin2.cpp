// Skin 2: a heavy industrial fan. Four broad, riveted steel paddles turn in a thick ring
// painted safety yellow and bolted down at eight points. Like skin 0 it is opaque inside
// its round outline, so its alpha channel is the same in every frame.

#include <array>
#include <cmath>

#include "det_math.h"
#include "fan_geometry.h"
#include "fan_skins.h"
#include "noise.h"
#include "raster.h"
#include "shading.h"

namespace artgen {
namespace {

constexpr double kCentre = kSkin2Size / 2.0;

constexpr double kOuter = 70.5;      // the ring spans columns and rows 1 to 141
constexpr double kOuterRoll = 67.6;  // the painted ring rolls over outside this radius
constexpr double kInnerRoll = 60.6;  // ... and inside this one
constexpr double kRingInner = 58.4;  // where the paint ends and the steel lip begins
constexpr double kBore = 55.8;       // the opening the paddles turn in
constexpr double kMotor = 22.0;      // the motor can behind the hub
constexpr double kHub = 15.0;
constexpr double kHubFace = 12.4;
constexpr double kCap = 4.2;

constexpr int kRingBolts = 8;
constexpr double kRingBoltRadius = 64.1;
constexpr double kRingBoltSize = 2.1;
constexpr int kHubBolts = 4;
constexpr double kHubBoltRadius = 8.4;
constexpr double kHubBoltSize = 1.6;
constexpr double kRivetRadius = 19.5;
constexpr double kRivetOffset = 4.2;
constexpr double kRivetSize = 1.3;
constexpr double kStrutHalfWidth = 2.4;

const BladeShape kBladeShape{4, 10.0, 54.4, 0.28, 6.0, 25.0, 0.55, 10.0};

const Rgb kPaint = Rgb8(246, 184, 22);
const Rgb kSteel = Rgb8(150, 156, 162);
const Rgb kDarkSteel = Rgb8(70, 73, 78);
const Rgb kCastIron = Rgb8(40, 41, 44);
const Rgb kCavity = Rgb8(20, 20, 22);

constexpr double kShadowX = 2.6, kShadowY = 3.4;

double RollTilt(double t, double strength) {
  const double c = Clamp01(t) * 0.96;
  return strength * c / std::sqrt(1.0 - c * c);
}

// Slight orange-peel unevenness of the paint; fixed on screen, like the ring itself.
double PaintGrain(double x, double y) {
  static const Field grain = [] {
    Pcg32 rng(0x9e11040u, 21);
    Field f = ValueNoise(kSkin2Size, kSkin2Size, 3.0, 3.0, rng);
    AddScaled(f, ValueNoise(kSkin2Size, kSkin2Size, 11.0, 11.0, rng), 0.8);
    return f;
  }();
  return grain.At(static_cast<int>(x), static_cast<int>(y));
}

// A domed bolt head with a darker washer around it; (ox, oy) is the offset from its centre.
bool Bolt(double ox, double oy, double size, Rgb& colour) {
  const double d = std::sqrt(ox * ox + oy * oy);
  if (d > size * 1.3) {
    return false;
  }
  if (d > size) {
    colour = kDarkSteel * 0.7;
    return true;
  }
  const double k = d / size * 0.9;
  const Vec3 n = d > 0.0 ? TiltedNormal(ox / d, oy / d, 1.4 * k / std::sqrt(1.0 - k * k))
                         : Vec3{0.0, 0.0, 1.0};
  colour = Shade(kSteel, n, 0.35, 0.8, 0.9, 30);
  return true;
}

const Direction& RingBolt(int i) {
  static const auto table = [] {
    std::array<Direction, kRingBolts> t;
    for (int k = 0; k < kRingBolts; ++k) {
      t[static_cast<std::size_t>(k)] = UnitDirection(dmath::kTwoPi * (k + 0.5) / kRingBolts);
    }
    return t;
  }();
  return table[static_cast<std::size_t>(i)];
}

Rgb Ring(double x, double y, const Polar& p) {
  if (p.r < kRingInner) {
    // Bare steel lip sloping down into the bore.
    const Vec3 n = TiltedNormal(p.ux, p.uy, -1.2);
    return Shade(kDarkSteel, n, 0.35, 0.85, 0.5, 16);
  }
  double tilt = 0.0;
  if (p.r >= kOuterRoll) {
    tilt = RollTilt((p.r - kOuterRoll) / (kOuter - kOuterRoll), 1.3);
  } else if (p.r < kInnerRoll) {
    tilt = -RollTilt((kInnerRoll - p.r) / (kInnerRoll - kRingInner), 1.3);
  }
  const Vec3 n = TiltedNormal(p.ux, p.uy, tilt);
  Rgb c = Shade(kPaint * (1.0 + 0.035 * PaintGrain(x, y)), n, 0.5, 0.62, 0.45, 22);

  for (int i = 0; i < kRingBolts; ++i) {
    const Direction d = RingBolt(i);
    const double ox = p.dx - d.x * kRingBoltRadius, oy = p.dy - d.y * kRingBoltRadius;
    Rgb head;
    if (Bolt(ox, oy, kRingBoltSize, head)) {
      return head;
    }
    // Each bolt casts a small shadow on the paint.
    const double sx = ox - 0.8, sy = oy - 1.0;
    const double sd = std::sqrt(sx * sx + sy * sy);
    c = c * (1.0 - 0.35 * SmoothStep(kRingBoltSize * 1.3 + 0.6, kRingBoltSize * 1.3 - 0.4, sd));
  }
  return c;
}

// The sample against the nearest paddle.
BladeSample Paddle(const Polar& p, double rotation) {
  return NearestBlade(kBladeShape, p, rotation);
}

Rgb Blade(const Polar& p, const BladeSample& b) {
  const double slope = 0.35 + 0.45 * b.across;
  Vec3 n = Normalized({-slope * p.tx, -slope * p.ty, 1.0});
  // The rim of the paddle is folded back, which shows as a bevel along the outline.
  const double fold = 1.0 - SmoothStep(0.0, 1.8, -b.distance);
  if (fold > 0.0) {
    const double s = b.across > 0.0 ? 1.0 : -1.0;
    n = Normalized(n + Vec3{s * p.tx, s * p.ty, 0.0} * (0.9 * fold));
  }
  Rgb c = Shade(kSteel * (0.8 + 0.25 * b.along), n, 0.38, 0.8, 0.55, 20);

  // Two rivets hold each paddle to its arm.
  for (double side : {-1.0, 1.0}) {
    Rgb head;
    if (Bolt(b.arc - side * kRivetOffset, p.r - kRivetRadius, kRivetSize, head)) {
      c = head;
    }
  }
  return c * (0.75 + 0.25 * SmoothStep(kHub, kHub + 6.0, p.r));
}

Rgb Cavity(double x, double y, const Polar& p, double rotation) {
  Rgb c = kCavity;
  if (p.r < kMotor) {
    const double t = Clamp01((p.r - (kMotor - 2.5)) / 2.5);
    c = Shade(kCastIron * 0.8, TiltedNormal(p.ux, p.uy, RollTilt(t, 1.2)), 0.4, 0.7, 0.3, 16);
  } else {
    // Four struts on the diagonals carry the motor.
    const double ax = std::fabs(p.dx), ay = std::fabs(p.dy);
    const double across = std::fabs(ax - ay) * 0.70710678118654752;
    if (across < kStrutHalfWidth) {
      // Round bars: darker towards their sides.
      const double t = across / kStrutHalfWidth;
      c = kDarkSteel * (0.85 * (1.0 - 0.4 * t * t));
    }
  }
  c = c * (0.55 + 0.45 * SmoothStep(kBore, kBore - 9.0, p.r));

  const Polar s = ToPolar(x - kShadowX, y - kShadowY, kCentre, kCentre);
  double light = 1.0;
  light *= 1.0 - 0.6 * SmoothStep(kBore - 1.5, kBore + 0.5, s.r);
  light *= 1.0 - 0.5 * SmoothStep(kHub + 1.0, kHub - 1.0, s.r);
  light *= 1.0 - 0.55 * SmoothStep(1.2, -1.2, Paddle(s, rotation).distance);
  return c * light;
}

Rgb Hub(const Polar& p, double rotation) {
  if (p.r >= kHubFace) {
    const Vec3 n = TiltedNormal(p.ux, p.uy, RollTilt((p.r - kHubFace) / (kHub - kHubFace), 1.4));
    return Shade(kCastIron, n, 0.45, 0.9, 0.5, 20);
  }
  if (p.r < kCap) {
    const Vec3 n = TiltedNormal(p.ux, p.uy, 0.9 * p.r / kCap);
    return Shade(kSteel, n, 0.35, 0.8, 0.9, 36);
  }
  // Four bolts turn with the rotor, one between each pair of paddles.
  for (int i = 0; i < kHubBolts; ++i) {
    const Direction d = UnitDirection(rotation + dmath::kTwoPi * (i + 0.5) / kHubBolts);
    Rgb head;
    if (Bolt(p.dx - d.x * kHubBoltRadius, p.dy - d.y * kHubBoltRadius, kHubBoltSize, head)) {
      return head;
    }
  }
  return Shade(kCastIron, Vec3{0.0, 0.0, 1.0}, 0.5, 0.7, 0.0, 1) *
         (0.75 + 0.25 * SmoothStep(kCap, kCap + 1.0, p.r));
}

}  // namespace

Image RenderFanSkin2(int frame) {
  const double rotation = FrameRotation(frame, kSkin2Frames, kBladeShape.count);
  return RenderSupersampled(kSkin2Size, kSkin2Size, kFanSupersampling, [&](double x, double y) {
    const Polar p = ToPolar(x, y, kCentre, kCentre);
    if (p.r > kOuter) {
      return Premul{};
    }
    if (p.r >= kBore) {
      return Opaque(Ring(x, y, p));
    }
    if (p.r < kHub) {
      return Opaque(Hub(p, rotation));
    }
    const BladeSample b = Paddle(p, rotation);
    return Opaque(b.Inside() ? Blade(p, b) : Cavity(x, y, p, rotation));
  });
}

}  // namespace artgen
