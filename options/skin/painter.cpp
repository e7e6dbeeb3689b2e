#include "options/skin/painter.h"

#include <algorithm>
#include <cmath>

namespace vf::skin {
namespace {

TColor Lerp(TColor a, TColor b, float t) {
  auto mix = [t](std::uint8_t x, std::uint8_t y) {
    return static_cast<std::uint8_t>(std::lround(static_cast<float>(x) + (static_cast<float>(y) - static_cast<float>(x)) * t));
  };
  return {mix(a.R, b.R), mix(a.G, b.G), mix(a.B, b.B)};
}

// Signed distance from a point to a rounded rectangle's edge: negative inside.
float RoundDistance(const TRectF& r, float radius, float px, float py) {
  const float hx = r.W / 2, hy = r.H / 2;
  radius = std::clamp(radius, 0.0f, std::min(hx, hy));
  const float qx = std::fabs(px - (r.X + hx)) - (hx - radius);
  const float qy = std::fabs(py - (r.Y + hy)) - (hy - radius);
  const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float Coverage(float distance) { return std::clamp(0.5f - distance, 0.0f, 1.0f); }

}  // namespace

TColor TGradient::At(float t) const {
  if (Count <= 1) return Stops[0].Color;
  if (t <= Stops[0].At) return Stops[0].Color;
  for (int i = 1; i < Count; ++i) {
    if (t <= Stops[i].At) {
      const float span = Stops[i].At - Stops[i - 1].At;
      return span <= 0 ? Stops[i].Color : Lerp(Stops[i - 1].Color, Stops[i].Color, (t - Stops[i - 1].At) / span);
    }
  }
  return Stops[Count - 1].Color;
}

void TPainter::Blend(int x, int y, TColor color, float alpha) {
  if (x < 0 || y < 0 || x >= FTarget.Width() || y >= FTarget.Height() || alpha <= 0) return;
  platform::Pixel32& p = FTarget.At(x, y);
  const float a = std::min(alpha, 1.0f);
  auto mix = [a](std::uint8_t under, std::uint8_t over) {
    return static_cast<std::uint8_t>(std::lround(static_cast<float>(under) + (static_cast<float>(over) - static_cast<float>(under)) * a));
  };
  p.r = mix(p.r, color.R);
  p.g = mix(p.g, color.G);
  p.b = mix(p.b, color.B);
  p.a = 255;
}

void TPainter::MixWith(const platform::PixelBuffer& before, const platform::Rect& r, float weight) {
  for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, FTarget.Height()); ++y) {
    for (int x = std::max(r.Left, 0); x < std::min(r.Right, FTarget.Width()); ++x) {
      const platform::Pixel32& old = before.At(x, y);
      Blend(x, y, {old.r, old.g, old.b}, weight);
    }
  }
}

void TPainter::Fill(const platform::Rect& r, TColor color, float alpha) {
  for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, FTarget.Height()); ++y)
    for (int x = std::max(r.Left, 0); x < std::min(r.Right, FTarget.Width()); ++x) Blend(x, y, color, alpha);
}

template <typename Shade>
void TPainter::Shape(const TRectF& r, float radius, Shade shade) {
  const int x0 = std::max(0, static_cast<int>(std::floor(r.X)) - 1);
  const int y0 = std::max(0, static_cast<int>(std::floor(r.Y)) - 1);
  const int x1 = std::min(FTarget.Width(), static_cast<int>(std::ceil(r.X + r.W)) + 1);
  const int y1 = std::min(FTarget.Height(), static_cast<int>(std::ceil(r.Y + r.H)) + 1);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) shade(x, y, RoundDistance(r, radius, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f));
}

void TPainter::FillRound(const TRectF& r, float radius, const TGradient& fill, float alpha) {
  if (r.W <= 0 || r.H <= 0) return;
  Shape(r, radius, [&](int x, int y, float d) {
    const float c = Coverage(d);
    if (c > 0) Blend(x, y, fill.At((static_cast<float>(y) + 0.5f - r.Y) / r.H), c * alpha);
  });
}

void TPainter::StrokeRound(const TRectF& r, float radius, float width, TColor color, float alpha) {
  if (r.W <= 0 || r.H <= 0) return;
  Shape(r, radius, [&](int x, int y, float d) {
    // Inside the outer edge and outside the inner edge, `width` further in.
    const float c = Coverage(d) - Coverage(d + width);
    if (c > 0) Blend(x, y, color, c * alpha);
  });
}

void TPainter::Face(const TRectF& r, float radius, const TFace& face) {
  FillRound(r, radius, face.Fill);
  if (face.HighlightAlpha > 0) {
    // The lit edge: a stroke one pixel inside, kept to the upper half and fading downwards.
    const TRectF inner = r.Inset(1);
    Shape(inner, std::max(0.0f, radius - 1), [&](int x, int y, float d) {
      const float c = Coverage(d) - Coverage(d + 1);
      const float fade = std::clamp(1.0f - (static_cast<float>(y) + 0.5f - inner.Y) / (inner.H * 0.6f), 0.0f, 1.0f);
      if (c > 0 && fade > 0) Blend(x, y, face.Highlight, c * fade * face.HighlightAlpha);
    });
  }
  StrokeRound(r, radius, 1, face.Border);
}

void TPainter::ClearOutsideRound(const TRectF& r, float radius, TColor color) {
  // Only fully outside pixels take the key colour: a blended key colour would not be cut out and
  // would show as a pink fringe.
  for (int y = 0; y < FTarget.Height(); ++y)
    for (int x = 0; x < FTarget.Width(); ++x)
      if (RoundDistance(r, radius, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f) >= 0.5f) Blend(x, y, color, 1);
}

void TPainter::DottedRect(const platform::Rect& r, TColor color, float alpha) {
  for (int x = r.Left; x < r.Right; ++x) {
    if (((x - r.Left) & 1) == 0) {
      Blend(x, r.Top, color, alpha);
      Blend(x, r.Bottom - 1, color, alpha);
    }
  }
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    if (((y - r.Top) & 1) == 0) {
      Blend(r.Left, y, color, alpha);
      Blend(r.Right - 1, y, color, alpha);
    }
  }
}

void TPainter::Text(const platform::Rect& box, const platform::FontSpec& font, std::u16string_view text,
                    TColor color, platform::TextAlign align) {
  platform::DrawText(FTarget, box, font, text, {color.R, color.G, color.B}, align);
}

}  // namespace vf::skin
