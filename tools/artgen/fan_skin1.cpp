// Skin 1: a propeller of tinted glass. Twelve thin, strongly swept blades overlap towards
// their tips and are held by a slim glass rim; only the polished hub is opaque. The blades
// are translucent, brighter and denser along their polished edges, and darker where two
// overlap, so the alpha channel turns with them.

#include <cmath>

#include "det_math.h"
#include "fan_geometry.h"
#include "fan_skins.h"
#include "raster.h"
#include "shading.h"

namespace artgen {
namespace {

constexpr double kCentre = kSkin1Size / 2.0;

constexpr double kRimInner = 60.0;
constexpr double kRimOuter = 63.3;  // the rim touches the first and last rows
constexpr double kHub = 13.5;
constexpr double kHubFace = 11.0;
constexpr double kJewel = 5.0;

const BladeShape kBladeShape{12, 9.0, 61.0, 0.95, 2.4, 18.5, 0.85, 4.0};

const Rgb kGlassTint = Rgb8(45, 165, 235);
const Rgb kEdgeTint = Rgb8(175, 230, 255);
const Rgb kSteel = Rgb8(150, 158, 168);

// One blade's contribution: a thin sheet of tinted glass whose polished edges gleam.
Premul GlassBlade(const Polar& p, const BladeSample& b) {
  if (!b.Inside()) {
    return {};
  }
  const double slope = 0.5 + 0.7 * b.across;
  const Vec3 n = Normalized({-slope * p.tx, -slope * p.ty, 1.0});
  const double gloss = Specular(n, 14);
  const Rgb body = kGlassTint * (0.5 + 0.5 * Diffuse(n));
  const double bodyAlpha = 0.26 + 0.16 * b.along;

  // Light travels sideways through the sheet near its edges, so they look thicker and
  // brighter; the leading edge faces the light more often than the trailing one.
  const double rim = 1.0 - SmoothStep(0.0, 1.3, -b.distance);
  const double edgeAlpha = b.across > 0.0 ? 0.8 : 0.6;
  const Rgb colour = Mix(body, kEdgeTint * (b.across > 0.0 ? 1.0 : 0.75), rim);
  const double alpha = Mix(bodyAlpha, edgeAlpha, rim);

  const Premul glass = WithAlpha(colour, alpha);
  const double gleam = 0.5 * gloss;
  return Over(WithAlpha({1.0, 1.0, 1.0}, gleam), glass);
}

// The rim: a round glass tube, clearer in the middle and denser at its sides (Fresnel).
Premul Rim(const Polar& p) {
  const double t = (p.r - kRimInner) / (kRimOuter - kRimInner) * 2.0 - 1.0;  // -1 .. 1
  const double c = std::fabs(t) * 0.95;
  const double tilt = (t < 0.0 ? -1.0 : 1.0) * 1.2 * c / std::sqrt(1.0 - c * c);
  const Vec3 n = TiltedNormal(p.ux, p.uy, tilt);
  const Rgb colour = kGlassTint * (0.4 + 0.7 * Diffuse(n));
  const double alpha = 0.32 + 0.5 * c * c;
  return Over(WithAlpha({1.0, 1.0, 1.0}, 0.85 * Specular(n, 30)), WithAlpha(colour, alpha));
}

// Polished steel reflects a bright sky above and a darker floor below.
Rgb Chrome(Vec3 n, Rgb tint) {
  const double sky = Clamp01(0.5 - 0.7 * n.y);
  const Rgb reflection = Mix(Rgb8(40, 46, 56), Rgb8(230, 238, 245), sky);
  return reflection * tint + Grey(0.9 * Specular(n, 36));
}

Rgb Hub(const Polar& p) {
  if (p.r >= kHubFace) {
    const double t = Clamp01((p.r - kHubFace) / (kHub - kHubFace)) * 0.95;
    return Chrome(TiltedNormal(p.ux, p.uy, 1.3 * t / std::sqrt(1.0 - t * t)), kSteel * 1.1);
  }
  if (p.r >= kJewel) {
    // A shallow cone rising to the jewel, with a dark groove around it.
    const Rgb c = Chrome(TiltedNormal(p.ux, p.uy, -0.35), kSteel);
    return c * (0.6 + 0.4 * SmoothStep(0.0, 0.6, p.r - kJewel));
  }
  // A tinted glass jewel in the centre.
  const Vec3 n = TiltedNormal(p.ux, p.uy, 0.9 * p.r / kJewel);
  return kGlassTint * (0.35 + 0.5 * Diffuse(n)) + Grey(0.95 * Specular(n, 40));
}

}  // namespace

Image RenderFanSkin1(int frame) {
  const double rotation = FrameRotation(frame, kSkin1Frames, kBladeShape.count);
  const double spacing = dmath::kTwoPi / kBladeShape.count;
  return RenderSupersampled(kSkin1Size, kSkin1Size, kFanSupersampling, [&](double x, double y) {
    const Polar p = ToPolar(x, y, kCentre, kCentre);
    if (p.r > kRimOuter) {
      return Premul{};
    }
    if (p.r < kHub) {
      return Opaque(Hub(p));
    }
    // Only the two blades on either side of a sample can cover it. Each blade's leading
    // edge lies over the trailing edge of the blade ahead of it, the same way round all
    // the way round, so the overlaps stay symmetric as the rotor turns.
    const double ahead = AngleAheadOfBlade(kBladeShape, p, rotation);
    const Premul behind = GlassBlade(p, SampleBlade(kBladeShape, p, ahead));
    const Premul inFront = GlassBlade(p, SampleBlade(kBladeShape, p, ahead - spacing));
    Premul c = Over(behind, inFront);
    if (p.r >= kRimInner) {
      c = Over(Rim(p), c);
    }
    return c;
  });
}

}  // namespace artgen
