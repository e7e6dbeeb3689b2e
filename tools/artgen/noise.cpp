#include "noise.h"

#include <algorithm>
#include <cmath>

namespace artgen {

Pcg32::Pcg32(std::uint64_t seed, std::uint64_t stream) : FIncrement((stream << 1u) | 1u) {
  Next();
  FState += seed;
  Next();
}

std::uint32_t Pcg32::Next() {
  const std::uint64_t old = FState;
  FState = old * 6364136223846793005ULL + FIncrement;
  const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
  const auto rot = static_cast<std::uint32_t>(old >> 59u);
  return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

double Pcg32::Unit() { return Next() * (1.0 / 4294967296.0); }

double Pcg32::Symmetric() { return Unit() * 2.0 - 1.0; }

Field::Field(int w, int h)
    : width(w), height(h), values(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0.0) {}

double Field::Mean() const {
  double sum = 0.0;
  for (double v : values) {
    sum += v;
  }
  return sum / static_cast<double>(values.size());
}

Field WhiteNoise(int width, int height, Pcg32& rng) {
  Field field(width, height);
  for (double& v : field.values) {
    v = rng.Symmetric();
  }
  return field;
}

Field ValueNoise(int width, int height, double cellX, double cellY, Pcg32& rng) {
  const double shiftX = rng.Unit();
  const double shiftY = rng.Unit();
  const int cols = static_cast<int>(std::ceil(width / cellX)) + 2;
  const int rows = static_cast<int>(std::ceil(height / cellY)) + 2;
  Field lattice(cols, rows);
  for (double& v : lattice.values) {
    v = rng.Symmetric();
  }
  const auto fade = [](double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); };

  Field field(width, height);
  for (int y = 0; y < height; ++y) {
    const double gy = (y + 0.5) / cellY + shiftY;
    const int iy = static_cast<int>(std::floor(gy));
    const double fy = fade(gy - iy);
    for (int x = 0; x < width; ++x) {
      const double gx = (x + 0.5) / cellX + shiftX;
      const int ix = static_cast<int>(std::floor(gx));
      const double fx = fade(gx - ix);
      const double top = lattice.At(ix, iy) + (lattice.At(ix + 1, iy) - lattice.At(ix, iy)) * fx;
      const double bottom =
          lattice.At(ix, iy + 1) + (lattice.At(ix + 1, iy + 1) - lattice.At(ix, iy + 1)) * fx;
      field.At(x, y) = top + (bottom - top) * fy;
    }
  }
  return field;
}

Field BoxBlur(const Field& field, int radius) {
  Field out(field.width, field.height);
  const int n = (2 * radius + 1) * (2 * radius + 1);
  for (int y = 0; y < field.height; ++y) {
    for (int x = 0; x < field.width; ++x) {
      double sum = 0.0;
      for (int dy = -radius; dy <= radius; ++dy) {
        const int sy = std::clamp(y + dy, 0, field.height - 1);
        for (int dx = -radius; dx <= radius; ++dx) {
          sum += field.At(std::clamp(x + dx, 0, field.width - 1), sy);
        }
      }
      out.At(x, y) = sum / n;
    }
  }
  return out;
}

void AddScaled(Field& target, const Field& source, double scale) {
  for (std::size_t i = 0; i < target.values.size(); ++i) {
    target.values[i] += source.values[i] * scale;
  }
}

}  // namespace artgen
