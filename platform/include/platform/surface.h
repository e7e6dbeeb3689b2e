#pragma once

#include <memory>

#include "platform/api.h"
#include "platform/pixel_buffer.h"

// Off-screen bitmaps and the copies between drawing surfaces.
namespace platform {

// A drawing surface: a memory device context on Windows (HDC), a surface of the portable back end
// elsewhere. The host's target for a render call is one as well.
using DeviceContext = void*;

// A display-compatible bitmap without alpha channel, selected into a drawing surface of its own.
// It starts empty (0 x 0); every SetSize to a non-empty size makes all its pixels white.
class VF_PLATFORM_API Surface {
 public:
  Surface();
  ~Surface();
  Surface(Surface&&) noexcept;
  Surface& operator=(Surface&&) noexcept;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  // Negative sizes count as 0. Sizes whose pixel count would overflow raise std::bad_alloc.
  void SetSize(int width, int height);
  int Width() const;
  int Height() const;
  DeviceContext DC() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> FImpl;
};

// A plain 1:1 copy (SRCCOPY), clipped to both surfaces.
VF_PLATFORM_API void BitBlt(DeviceContext dest, int x, int y, int width, int height,
                            DeviceContext source, int sourceX, int sourceY);

// The source rectangle scaled into the destination rectangle by the plain stretch of the default
// mode: pixels are replicated when enlarging and the dropped ones are combined with the kept ones
// by bitwise AND when shrinking.
VF_PLATFORM_API void StretchBlt(DeviceContext dest, int x, int y, int width, int height,
                                DeviceContext source, int sourceX, int sourceY, int sourceWidth,
                                int sourceHeight);

// A copy of a rectangle of a surface, and writing such a copy back. Parts outside the surface
// read as zero and are not written.
VF_PLATFORM_API PixelBuffer ReadPixels(DeviceContext dc, int x, int y, int width, int height);
VF_PLATFORM_API void WritePixels(DeviceContext dc, int x, int y, const PixelBuffer& pixels);

}  // namespace platform
