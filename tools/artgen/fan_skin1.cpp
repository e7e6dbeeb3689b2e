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

const Rgb kGlassTint = rgb8(45, 165, 235);
const Rgb kEdgeTint = rgb8(175, 230, 255);
const Rgb kSteel = rgb8(150, 158, 168);

// One blade's contribution: a thin sheet of tinted glass whose polished edges gleam.
Premul glass_blade(const Polar& p, const BladeSample& b) {
    if (!b.inside()) {
        return {};
    }
    const double slope = 0.5 + 0.7 * b.across;
    const Vec3 n = normalized({-slope * p.tx, -slope * p.ty, 1.0});
    const double gloss = specular(n, 14);
    const Rgb body = kGlassTint * (0.5 + 0.5 * diffuse(n));
    const double body_alpha = 0.26 + 0.16 * b.along;

    // Light travels sideways through the sheet near its edges, so they look thicker and
    // brighter; the leading edge faces the light more often than the trailing one.
    const double rim = 1.0 - smoothstep(0.0, 1.3, -b.distance);
    const double edge_alpha = b.across > 0.0 ? 0.8 : 0.6;
    const Rgb colour = mix(body, kEdgeTint * (b.across > 0.0 ? 1.0 : 0.75), rim);
    const double alpha = mix(body_alpha, edge_alpha, rim);

    const Premul glass = with_alpha(colour, alpha);
    const double gleam = 0.5 * gloss;
    return over(with_alpha({1.0, 1.0, 1.0}, gleam), glass);
}

// The rim: a round glass tube, clearer in the middle and denser at its sides (Fresnel).
Premul rim(const Polar& p) {
    const double t = (p.r - kRimInner) / (kRimOuter - kRimInner) * 2.0 - 1.0;  // -1 .. 1
    const double c = std::fabs(t) * 0.95;
    const double tilt = (t < 0.0 ? -1.0 : 1.0) * 1.2 * c / std::sqrt(1.0 - c * c);
    const Vec3 n = tilted_normal(p.ux, p.uy, tilt);
    const Rgb colour = kGlassTint * (0.4 + 0.7 * diffuse(n));
    const double alpha = 0.32 + 0.5 * c * c;
    return over(with_alpha({1.0, 1.0, 1.0}, 0.85 * specular(n, 30)), with_alpha(colour, alpha));
}

// Polished steel reflects a bright sky above and a darker floor below.
Rgb chrome(Vec3 n, Rgb tint) {
    const double sky = clamp01(0.5 - 0.7 * n.y);
    const Rgb reflection = mix(rgb8(40, 46, 56), rgb8(230, 238, 245), sky);
    return reflection * tint + grey(0.9 * specular(n, 36));
}

Rgb hub(const Polar& p) {
    if (p.r >= kHubFace) {
        const double t = clamp01((p.r - kHubFace) / (kHub - kHubFace)) * 0.95;
        return chrome(tilted_normal(p.ux, p.uy, 1.3 * t / std::sqrt(1.0 - t * t)), kSteel * 1.1);
    }
    if (p.r >= kJewel) {
        // A shallow cone rising to the jewel, with a dark groove around it.
        const Rgb c = chrome(tilted_normal(p.ux, p.uy, -0.35), kSteel);
        return c * (0.6 + 0.4 * smoothstep(0.0, 0.6, p.r - kJewel));
    }
    // A tinted glass jewel in the centre.
    const Vec3 n = tilted_normal(p.ux, p.uy, 0.9 * p.r / kJewel);
    return kGlassTint * (0.35 + 0.5 * diffuse(n)) + grey(0.95 * specular(n, 40));
}

}  // namespace

Image render_fan_skin1(int frame) {
    const double rotation = frame_rotation(frame, kSkin1Frames, kBladeShape.count);
    const double spacing = dmath::kTwoPi / kBladeShape.count;
    return render_supersampled(kSkin1Size, kSkin1Size, kFanSupersampling, [&](double x, double y) {
        const Polar p = polar(x, y, kCentre, kCentre);
        if (p.r > kRimOuter) {
            return Premul{};
        }
        if (p.r < kHub) {
            return opaque(hub(p));
        }
        // Only the two blades on either side of a sample can cover it. Each blade's leading
        // edge lies over the trailing edge of the blade ahead of it, the same way round all
        // the way round, so the overlaps stay symmetric as the rotor turns.
        const double ahead = angle_ahead_of_blade(kBladeShape, p, rotation);
        const Premul behind = glass_blade(p, sample_blade(kBladeShape, p, ahead));
        const Premul in_front = glass_blade(p, sample_blade(kBladeShape, p, ahead - spacing));
        Premul c = over(behind, in_front);
        if (p.r >= kRimInner) {
            c = over(rim(p), c);
        }
        return c;
    });
}

}  // namespace artgen
