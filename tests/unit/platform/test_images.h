#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/imaging.h"
#include "platform/pixel_buffer.h"
#include "platform/resources.h"
#include "platform/surface.h"
#include "support/png_encode.h"

// Small builders shared by the platform tests: images made in code, surfaces filled with them,
// and bitmaps loaded the way the renderer loads its embedded images.
namespace vf::test {

using platform::Pixel32;
using platform::PixelBuffer;

inline PixelBuffer Filled(int width, int height, Pixel32 colour) {
  PixelBuffer pixels(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.At(x, y) = colour;
  }
  return pixels;
}

// A white disc of the given radius, opaque inside with an antialiased rim, on fully transparent
// black: the shape of a fan frame, whose transparent corners must never darken a scaled edge.
inline PixelBuffer WhiteDisc(int size) {
  PixelBuffer pixels(size, size);
  const double centre = size / 2.0;
  const double radius = size / 2.0 - 1.0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double distance = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
      const double coverage = std::clamp(radius - distance + 0.5, 0.0, 1.0);
      const auto alpha = static_cast<std::uint8_t>(std::lround(coverage * 255.0));
      pixels.At(x, y) = alpha == 0 ? Pixel32{0, 0, 0, 0} : Pixel32{255, 255, 255, alpha};
    }
  }
  return pixels;
}

inline platform::Surface SurfaceOf(const PixelBuffer& pixels) {
  platform::Surface surface;
  surface.SetSize(pixels.Width(), pixels.Height());
  platform::WritePixels(surface.DC(), 0, 0, pixels);
  return surface;
}

inline PixelBuffer Contents(const platform::Surface& surface) {
  return platform::ReadPixels(surface.DC(), 0, 0, surface.Width(), surface.Height());
}

// A bitmap from encoded bytes through a global memory block and a stream, as the renderer does.
// An image decoded from a stream over a memory block, kept together with that block: the imaging
// library may read from the stream for as long as the image exists, so the block must outlive it.
struct StreamImage {
  platform::GlobalMemory memory;
  platform::gdiplus::Image image;  // declared after the block, so it goes first

  operator const platform::gdiplus::Image&() const { return image; }
  explicit operator bool() const { return static_cast<bool>(image); }
};

inline StreamImage ImageFromBytes(const std::vector<std::uint8_t>& bytes) {
  StreamImage result{platform::GlobalMemory::Alloc(bytes.size()), {}};
  EXPECT_TRUE(result.memory);
  void* block = platform::GlobalLock(result.memory);
  EXPECT_NE(block, nullptr);
  if (block == nullptr) return result;
  std::memcpy(block, bytes.data(), bytes.size());
  platform::Stream stream;
  EXPECT_EQ(platform::Stream::CreateOnHGlobal(result.memory, stream), 0);
  result.image = platform::gdiplus::CreateBitmapFromStream(stream);
  return result;
}

inline StreamImage ImageOf(const PixelBuffer& straightPixels) {
  return ImageFromBytes(EncodePng(straightPixels));
}

// Draws the whole image into a rectangle of the surface as the renderer's GDI+ graphic does.
inline void Draw(const platform::Surface& surface, const platform::gdiplus::Image& image, int x, int y,
                 int width, int height) {
  namespace gp = platform::gdiplus;
  const gp::Graphics graphics = gp::CreateFromHDC(surface.DC());
  gp::SetInterpolationMode(graphics, gp::InterpolationMode::HighQualityBicubic);
  gp::DrawImageRectRectI(graphics, image, x, y, width, height, 0, 0,
                         static_cast<int>(gp::GetImageWidth(image)), static_cast<int>(gp::GetImageHeight(image)),
                         gp::GetImageBounds(image));
}

// Keeps the imaging library started for the duration of a test.
class ImagingTest : public ::testing::Test {
 protected:
  void SetUp() override { FToken = platform::gdiplus::GdiplusStartup(); }
  void TearDown() override { platform::gdiplus::GdiplusShutdown(FToken); }

 private:
  std::uintptr_t FToken = 0;
};

}  // namespace vf::test
