#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/api.h"
#include "platform/resources.h"
#include "platform/surface.h"

// The imaging library the renderer uses: GDI+ through its flat interface on Windows, our own
// decoder, resampler and compositor elsewhere. One function per operation, named after it.
namespace platform::gdiplus {

enum class Unit : std::int32_t { World = 0, Display = 1, Pixel = 2, Point = 3, Inch = 4, Document = 5, Millimeter = 6 };

enum class InterpolationMode : std::int32_t {
  Default = 0,
  LowQuality = 1,
  HighQuality = 2,
  Bilinear = 3,
  Bicubic = 4,
  NearestNeighbor = 5,
  HighQualityBilinear = 6,
  HighQualityBicubic = 7,
};

// An image: a decoded bitmap, a wrapped surface or a thumbnail. Disposed by its owner. An empty
// Image stands for a call that produced nothing; every operation on it does nothing and reads 0.
class VF_PLATFORM_API Image {
 public:
  Image() = default;
  explicit Image(void* native) : FNative(native) {}
  ~Image();
  Image(Image&& other) noexcept : FNative(other.FNative) { other.FNative = nullptr; }
  Image& operator=(Image&& other) noexcept;
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
  explicit operator bool() const { return FNative != nullptr; }
  void* Native() const { return FNative; }

 private:
  void* FNative = nullptr;
};

// A drawing object bound to a drawing surface. Deleted by its owner.
class VF_PLATFORM_API Graphics {
 public:
  Graphics() = default;
  explicit Graphics(void* native) : FNative(native) {}
  ~Graphics();
  Graphics(Graphics&& other) noexcept : FNative(other.FNative) { other.FNative = nullptr; }
  Graphics& operator=(Graphics&& other) noexcept;
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;
  explicit operator bool() const { return FNative != nullptr; }
  void* Native() const { return FNative; }

 private:
  void* FNative = nullptr;
};

// GdiplusStartup with version 1, no debug callback, background thread and external codecs not
// suppressed, no output record. Returns the token (0 when start-up failed).
VF_PLATFORM_API std::uintptr_t GdiplusStartup();
VF_PLATFORM_API void GdiplusShutdown(std::uintptr_t token);

// Decoding a PNG (without colour management) from a stream or a file; empty when undecodable.
VF_PLATFORM_API Image CreateBitmapFromStream(const Stream& stream);
VF_PLATFORM_API Image CreateBitmapFromFile(const std::u16string& path);
// An opaque copy of an off-screen bitmap's pixels (GdipCreateBitmapFromHBITMAP).
VF_PLATFORM_API Image CreateBitmapFromSurface(const Surface& surface);

// The unit of the image's bounds; the bounds themselves are not needed. World for an empty image.
VF_PLATFORM_API Unit GetImageBounds(const Image& image);
VF_PLATFORM_API std::uint32_t GetImageWidth(const Image& image);
VF_PLATFORM_API std::uint32_t GetImageHeight(const Image& image);

// A new image of exactly width x height showing the whole source resampled, alpha included.
VF_PLATFORM_API Image GetImageThumbnail(const Image& image, std::uint32_t width, std::uint32_t height);

VF_PLATFORM_API Graphics CreateFromHDC(DeviceContext dc);
VF_PLATFORM_API void SetInterpolationMode(const Graphics& graphics, InterpolationMode mode);

// The source rectangle scaled into the destination rectangle and composited source-over by the
// source alpha, clipped to the surface; 1:1 when both rectangles have the same size.
VF_PLATFORM_API void DrawImageRectRectI(const Graphics& graphics, const Image& image, int x, int y,
                                        int width, int height, int sourceX, int sourceY,
                                        int sourceWidth, int sourceHeight, Unit sourceUnit);

}  // namespace platform::gdiplus

namespace platform::png {

// A decoded PNG: straight alpha, 8 bits per channel, in the Pixel32 layout.
// Raises std::runtime_error with the codec's message for data it rejects.
VF_PLATFORM_API PixelBuffer Decode(const void* data, std::size_t size);

}  // namespace platform::png
