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

Premul Premultiplied(const Image& image, int x, int y) {
  const std::uint8_t* px =
      image.At(std::clamp(x, 0, image.width - 1), std::clamp(y, 0, image.height - 1));
  const double a = px[3] / 255.0;
  return {px[0] / 255.0 * a, px[1] / 255.0 * a, px[2] / 255.0 * a, a};
}

// Bilinear sample at a source position in pixel units, filtered in premultiplied space.
Premul Sample(const Image& image, double sx, double sy) {
  const double fx = std::floor(sx), fy = std::floor(sy);
  const int x = static_cast<int>(fx), y = static_cast<int>(fy);
  const double tx = sx - fx, ty = sy - fy;
  const Premul top = Premultiplied(image, x, y) * (1.0 - tx) + Premultiplied(image, x + 1, y) * tx;
  const Premul bottom =
      Premultiplied(image, x, y + 1) * (1.0 - tx) + Premultiplied(image, x + 1, y + 1) * tx;
  return top * (1.0 - ty) + bottom * ty;
}

void Put(Image& canvas, int x, int y, Rgb c) {
  std::uint8_t* px = canvas.At(x, y);
  px[0] = ToByte(c.r);
  px[1] = ToByte(c.g);
  px[2] = ToByte(c.b);
  px[3] = 255;
}

Rgb Get(const Image& canvas, int x, int y) {
  const std::uint8_t* px = canvas.At(x, y);
  return Rgb8(px[0], px[1], px[2]);
}

void Fill(Image& canvas, int left, int top, int w, int h, Rgb c) {
  for (int y = top; y < top + h; ++y) {
    for (int x = left; x < left + w; ++x) {
      Put(canvas, x, y, c);
    }
  }
}

void Checkerboard(Image& canvas, int left, int top, int w, int h) {
  const Rgb a = Rgb8(214, 120, 40), b = Rgb8(40, 90, 170);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      Put(canvas, left + x, top + y, ((x / 40 + y / 40) % 2) ? a : b);
    }
  }
}

// Stretches `image` over the rectangle and composites it onto what is already there.
void DrawScaled(Image& canvas, const Image& image, int left, int top, int w, int h) {
  const double kx = static_cast<double>(image.width) / w;
  const double ky = static_cast<double>(image.height) / h;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Premul s = Sample(image, (x + 0.5) * kx - 0.5, (y + 0.5) * ky - 0.5);
      const Rgb under = Get(canvas, left + x, top + y);
      Put(canvas, left + x, top + y, Rgb{s.r, s.g, s.b} + under * (1.0 - s.a));
    }
  }
}

double LuminanceOverBlack(const Image& image, double sx, double sy) {
  const Premul s = Sample(image, sx, sy);
  return 0.3 * s.r + 0.59 * s.g + 0.11 * s.b;
}

void DrawMotion(Image& canvas, const Image& first, const Image& later, int left, int top) {
  const double k = static_cast<double>(first.width) / kTile;
  for (int y = 0; y < kTile; ++y) {
    for (int x = 0; x < kTile; ++x) {
      const double sx = (x + 0.5) * k - 0.5, sy = (y + 0.5) * k - 0.5;
      const double a = std::min(1.0, 1.6 * LuminanceOverBlack(first, sx, sy));
      const double b = std::min(1.0, 1.6 * LuminanceOverBlack(later, sx, sy));
      Put(canvas, left + x, top + y, Rgb{a, b, b});
    }
  }
}

}  // namespace

Image BuildContactSheet(const std::vector<std::vector<Image>>& skins,
                        const std::vector<Image>& backgrounds) {
  const int width = kMargin + kTilesPerRow * (kTile + kMargin);
  const int backgroundRows =
      static_cast<int>((backgrounds.size() + kTilesPerRow - 1) / kTilesPerRow);
  const int height = kMargin + static_cast<int>(skins.size()) * (kTile + kMargin) +
                     backgroundRows * (kShort + kMargin) + backgroundRows * (kTile + kMargin);
  Image canvas(width, height);
  Fill(canvas, 0, 0, width, height, Grey(0.2));
  const Rgb midGrey = Grey(0.5);

  int top = kMargin;
  for (const std::vector<Image>& frames : skins) {
    const int shown[] = {0, 1, 15};
    int left = kMargin;
    for (int index : shown) {
      Fill(canvas, left, top, kTile, kTile, midGrey);
      DrawScaled(canvas, frames[static_cast<std::size_t>(index)], left, top, kTile, kTile);
      left += kTile + kMargin;
    }
    Checkerboard(canvas, left, top, kTile, kTile);
    DrawScaled(canvas, frames[0], left, top, kTile, kTile);
    left += kTile + kMargin;
    DrawMotion(canvas, frames[0], frames[4], left, top);
    top += kTile + kMargin;
  }

  const auto layOut = [&](int w, int h) {
    for (std::size_t i = 0; i < backgrounds.size(); ++i) {
      const int column = static_cast<int>(i % kTilesPerRow);
      const int left = kMargin + column * (kTile + kMargin);
      Fill(canvas, left, top, w, h, midGrey);
      DrawScaled(canvas, backgrounds[i], left, top, w, h);
      if (column == kTilesPerRow - 1 || i + 1 == backgrounds.size()) {
        top += h + kMargin;
      }
    }
  };
  layOut(kTile, kShort);
  layOut(kShort, kTile);
  return canvas;
}

}  // namespace artgen
