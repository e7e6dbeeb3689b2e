#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace artgen {

// PCG32 (O'Neill, XSH-RR variant) with a fixed seed: every texture is drawn from its own
// stream, so changing one texture does not reshuffle the others.
class Pcg32 {
 public:
  explicit Pcg32(std::uint64_t seed, std::uint64_t stream = 0x5eedu);

  std::uint32_t Next();
  double Unit();       // [0, 1)
  double Symmetric();  // [-1, 1)

 private:
  std::uint64_t FState = 0;
  std::uint64_t FIncrement = 0;
};

// A scalar field of doubles, one value per pixel.
struct Field {
  int width = 0;
  int height = 0;
  std::vector<double> values;

  Field(int w, int h);
  double& At(int x, int y) { return values[Index(x, y)]; }
  double At(int x, int y) const { return values[Index(x, y)]; }
  double Mean() const;

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(x);
  }
};

// Uniform per-pixel noise in [-1, 1).
Field WhiteNoise(int width, int height, Pcg32& rng);

// Smooth value noise: random values in [-1, 1) on a lattice with the given cell size (which
// may differ per axis), blended with a quintic fade. The lattice is offset by a random
// fraction of a cell so that its rows and columns do not line up with the image edges.
Field ValueNoise(int width, int height, double cellX, double cellY, Pcg32& rng);

// Box blur with a (2 * radius + 1)^2 window, clamped at the edges.
Field BoxBlur(const Field& field, int radius);

void AddScaled(Field& target, const Field& source, double scale);

}  // namespace artgen
