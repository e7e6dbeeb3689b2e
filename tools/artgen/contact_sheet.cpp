#include "contact_sheet.h"

#include <algorithm>
#include <cmath>

#include "color.h"

namespace artgen {
namespace {

constexpr int kMargin = 8;
constexpr int kTile = 320;
constexpr int kShort = 180;
constexpr int kTilesPerRow = 5;

Premul premultiplied(const Image& image, int x, int y) {
    const std::uint8_t* px = image.at(std::clamp(x, 0, image.width - 1), std::clamp(y, 0, image.height - 1));
    const double a = px[3] / 255.0;
    return {px[0] / 255.0 * a, px[1] / 255.0 * a, px[2] / 255.0 * a, a};
}

// Bilinear sample at a source position in pixel units, filtered in premultiplied space.
Premul sample(const Image& image, double sx, double sy) {
    const double fx = std::floor(sx), fy = std::floor(sy);
    const int x = static_cast<int>(fx), y = static_cast<int>(fy);
    const double tx = sx - fx, ty = sy - fy;
    const Premul top = premultiplied(image, x, y) * (1.0 - tx) + premultiplied(image, x + 1, y) * tx;
    const Premul bottom = premultiplied(image, x, y + 1) * (1.0 - tx) + premultiplied(image, x + 1, y + 1) * tx;
    return top * (1.0 - ty) + bottom * ty;
}

void put(Image& canvas, int x, int y, Rgb c) {
    std::uint8_t* px = canvas.at(x, y);
    px[0] = to_byte(c.r);
    px[1] = to_byte(c.g);
    px[2] = to_byte(c.b);
    px[3] = 255;
}

Rgb get(const Image& canvas, int x, int y) {
    const std::uint8_t* px = canvas.at(x, y);
    return rgb8(px[0], px[1], px[2]);
}

void fill(Image& canvas, int left, int top, int w, int h, Rgb c) {
    for (int y = top; y < top + h; ++y) {
        for (int x = left; x < left + w; ++x) {
            put(canvas, x, y, c);
        }
    }
}

void checkerboard(Image& canvas, int left, int top, int w, int h) {
    const Rgb a = rgb8(214, 120, 40), b = rgb8(40, 90, 170);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            put(canvas, left + x, top + y, ((x / 40 + y / 40) % 2) ? a : b);
        }
    }
}

// Stretches `image` over the rectangle and composites it onto what is already there.
void draw_scaled(Image& canvas, const Image& image, int left, int top, int w, int h) {
    const double kx = static_cast<double>(image.width) / w, ky = static_cast<double>(image.height) / h;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Premul s = sample(image, (x + 0.5) * kx - 0.5, (y + 0.5) * ky - 0.5);
            const Rgb under = get(canvas, left + x, top + y);
            put(canvas, left + x, top + y, Rgb{s.r, s.g, s.b} + under * (1.0 - s.a));
        }
    }
}

double luminance_over_black(const Image& image, double sx, double sy) {
    const Premul s = sample(image, sx, sy);
    return 0.3 * s.r + 0.59 * s.g + 0.11 * s.b;
}

void draw_motion(Image& canvas, const Image& first, const Image& later, int left, int top) {
    const double k = static_cast<double>(first.width) / kTile;
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            const double sx = (x + 0.5) * k - 0.5, sy = (y + 0.5) * k - 0.5;
            const double a = std::min(1.0, 1.6 * luminance_over_black(first, sx, sy));
            const double b = std::min(1.0, 1.6 * luminance_over_black(later, sx, sy));
            put(canvas, left + x, top + y, Rgb{a, b, b});
        }
    }
}

}  // namespace

Image build_contact_sheet(const std::vector<std::vector<Image>>& skins, const std::vector<Image>& backgrounds) {
    const int width = kMargin + kTilesPerRow * (kTile + kMargin);
    const int background_rows = static_cast<int>((backgrounds.size() + kTilesPerRow - 1) / kTilesPerRow);
    const int height = kMargin + static_cast<int>(skins.size()) * (kTile + kMargin) +
                       background_rows * (kShort + kMargin) + background_rows * (kTile + kMargin);
    Image canvas(width, height);
    fill(canvas, 0, 0, width, height, grey(0.2));
    const Rgb mid_grey = grey(0.5);

    int top = kMargin;
    for (const std::vector<Image>& frames : skins) {
        const int shown[] = {0, 1, 15};
        int left = kMargin;
        for (int index : shown) {
            fill(canvas, left, top, kTile, kTile, mid_grey);
            draw_scaled(canvas, frames[static_cast<std::size_t>(index)], left, top, kTile, kTile);
            left += kTile + kMargin;
        }
        checkerboard(canvas, left, top, kTile, kTile);
        draw_scaled(canvas, frames[0], left, top, kTile, kTile);
        left += kTile + kMargin;
        draw_motion(canvas, frames[0], frames[4], left, top);
        top += kTile + kMargin;
    }

    const auto lay_out = [&](int w, int h) {
        for (std::size_t i = 0; i < backgrounds.size(); ++i) {
            const int column = static_cast<int>(i % kTilesPerRow);
            const int left = kMargin + column * (kTile + kMargin);
            fill(canvas, left, top, w, h, mid_grey);
            draw_scaled(canvas, backgrounds[i], left, top, w, h);
            if (column == kTilesPerRow - 1 || i + 1 == backgrounds.size()) {
                top += h + kMargin;
            }
        }
    };
    lay_out(kTile, kShort);
    lay_out(kShort, kTile);
    return canvas;
}

}  // namespace artgen
