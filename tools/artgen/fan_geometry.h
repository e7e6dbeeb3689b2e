#pragma once

// Geometry shared by the fan skins: polar coordinates of a sample around the fan's centre,
// the outline of a swept blade, and the rotation of each frame.
namespace artgen {

// A sample position seen from the fan's centre. `phi` grows clockwise on screen because the
// screen's y axis points down; (tx, ty) is the unit direction of clockwise motion there.
struct Polar {
  double dx = 0.0, dy = 0.0;
  double r = 0.0;
  double phi = 0.0;
  double ux = 1.0, uy = 0.0;  // unit vector from the centre towards the sample
  double tx = 0.0, ty = 1.0;  // unit tangent, clockwise
};

Polar ToPolar(double x, double y, double centreX, double centreY);

// Rotation of the blades in a frame, clockwise, in radians. A full loop of `frames` frames
// turns the rotor by exactly one blade spacing, so the frame after the last one would equal
// frame 0 and the loop has no seam.
double FrameRotation(int frame, int frames, int blades);

// A unit direction on screen, `angle` radians clockwise from the positive x axis.
struct Direction {
  double x = 1.0, y = 0.0;
};

Direction UnitDirection(double angle);

// Signed distance to a box of half size (hx, hy) centred at the origin whose corners are
// rounded with radius `rounding`; negative inside.
double RoundedBoxDistance(double px, double py, double hx, double hy, double rounding);

// A blade outline in polar terms. The centre line leaves the hub at angle 0 and bends
// clockwise by `sweep` radians at the tip; the chord widens from the root to the tip.
struct BladeShape {
  int count = 1;
  double rootRadius = 0.0;     // the blade starts here (usually hidden below the hub)
  double tipRadius = 0.0;      // outermost reach
  double sweep = 0.0;          // clockwise bend of the centre line at the tip, radians
  double rootHalfChord = 0.0;  // half width at the root, pixels of arc
  double tipHalfChord = 0.0;   // half width from `widenUntil` on
  double widenUntil = 1.0;     // fraction of the span over which the chord widens
  double tipRounding = 0.0;    // radius of the rounded tip corners, pixels
};

// Where a sample lies relative to one blade.
struct BladeSample {
  double distance = 0.0;  // approximate signed distance to the outline, pixels; < 0 inside
  double arc = 0.0;       // along the circle from the centre line, pixels; > 0 clockwise
  double across = 0.0;    // -1 on the trailing edge .. +1 on the leading (clockwise) edge
  double along = 0.0;     // 0 at the root .. 1 at the tip
  bool Inside() const { return distance <= 0.0; }
};

// Angle in [0, spacing) by which the sample is ahead (clockwise) of the centre line of the
// blade just behind it, with the rotor turned by `rotation`.
double AngleAheadOfBlade(const BladeShape& shape, const Polar& p, double rotation);

// The sample against the blade whose centre line lies `offset` radians behind it.
BladeSample SampleBlade(const BladeShape& shape, const Polar& p, double offset);

// The sample against the nearest blade.
BladeSample NearestBlade(const BladeShape& shape, const Polar& p, double rotation);

}  // namespace artgen
