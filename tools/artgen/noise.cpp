#include "noise.h"

#include <algorithm>
#include <cmath>

namespace artgen {

Pcg32::Pcg32(std::uint64_t seed, std::uint64_t stream) : increment_((stream << 1u) | 1u) {
    next();
    state_ += seed;
    next();
}

std::uint32_t Pcg32::next() {
    const std::uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + increment_;
    const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<std::uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

double Pcg32::unit() { return next() * (1.0 / 4294967296.0); }

double Pcg32::symmetric() { return unit() * 2.0 - 1.0; }

Field::Field(int w, int h)
    : width(w), height(h), values(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0.0) {}

double Field::mean() const {
    double sum = 0.0;
    for (double v : values) {
        sum += v;
    }
    return sum / static_cast<double>(values.size());
}

Field white_noise(int width, int height, Pcg32& rng) {
    Field field(width, height);
    for (double& v : field.values) {
        v = rng.symmetric();
    }
    return field;
}

Field value_noise(int width, int height, double cell_x, double cell_y, Pcg32& rng) {
    const double shift_x = rng.unit();
    const double shift_y = rng.unit();
    const int cols = static_cast<int>(std::ceil(width / cell_x)) + 2;
    const int rows = static_cast<int>(std::ceil(height / cell_y)) + 2;
    Field lattice(cols, rows);
    for (double& v : lattice.values) {
        v = rng.symmetric();
    }
    const auto fade = [](double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); };

    Field field(width, height);
    for (int y = 0; y < height; ++y) {
        const double gy = (y + 0.5) / cell_y + shift_y;
        const int iy = static_cast<int>(std::floor(gy));
        const double fy = fade(gy - iy);
        for (int x = 0; x < width; ++x) {
            const double gx = (x + 0.5) / cell_x + shift_x;
            const int ix = static_cast<int>(std::floor(gx));
            const double fx = fade(gx - ix);
            const double top = lattice.at(ix, iy) + (lattice.at(ix + 1, iy) - lattice.at(ix, iy)) * fx;
            const double bottom =
                lattice.at(ix, iy + 1) + (lattice.at(ix + 1, iy + 1) - lattice.at(ix, iy + 1)) * fx;
            field.at(x, y) = top + (bottom - top) * fy;
        }
    }
    return field;
}

Field box_blur(const Field& field, int radius) {
    Field out(field.width, field.height);
    const int n = (2 * radius + 1) * (2 * radius + 1);
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            double sum = 0.0;
            for (int dy = -radius; dy <= radius; ++dy) {
                const int sy = std::clamp(y + dy, 0, field.height - 1);
                for (int dx = -radius; dx <= radius; ++dx) {
                    sum += field.at(std::clamp(x + dx, 0, field.width - 1), sy);
                }
            }
            out.at(x, y) = sum / n;
        }
    }
    return out;
}

void add_scaled(Field& target, const Field& source, double scale) {
    for (std::size_t i = 0; i < target.values.size(); ++i) {
        target.values[i] += source.values[i] * scale;
    }
}

}  // namespace artgen
