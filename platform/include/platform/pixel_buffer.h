#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/api.h"

namespace platform {

// One pixel as it lies in a 32-bit Windows bitmap: blue, green, red, then alpha. Decoded images
// carry straight (not premultiplied) alpha; off-screen surfaces are opaque RGB and keep the fourth
// byte only because Windows keeps it too.
struct Pixel32 {
  std::uint8_t b, g, r, a;
  friend bool operator==(const Pixel32&, const Pixel32&) = default;
};
static_assert(sizeof(Pixel32) == 4);

// A rectangle of pixels with an explicit stride in bytes, either owning its memory or wrapping
// memory it does not own, so both back ends and the tests share one pixel type. A copy always owns
// its pixels; a moved-from buffer is empty.
class VF_PLATFORM_API PixelBuffer {
 public:
  PixelBuffer() = default;
  // An owning buffer, every byte zero. Negative sizes give an empty buffer; sizes whose byte count
  // would overflow raise std::bad_alloc.
  PixelBuffer(int width, int height);
  static PixelBuffer Wrap(void* pixels, int width, int height, std::ptrdiff_t stride);

  // Turns an owning buffer into one of width x height (both positive) in the memory it already
  // has, when that memory holds it and is at most twice what it needs, so resizing back and forth
  // by a little (a window border being dragged) costs no fresh memory. The pixels are then left as
  // they lie. False, with the buffer unchanged, when it would need other memory.
  bool ReuseFor(int width, int height);

  PixelBuffer(const PixelBuffer& other);
  PixelBuffer& operator=(const PixelBuffer& other);
  PixelBuffer(PixelBuffer&& other) noexcept;
  PixelBuffer& operator=(PixelBuffer&& other) noexcept;
  ~PixelBuffer() = default;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  std::ptrdiff_t Stride() const { return FStride; }
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }

  Pixel32* Row(int y) { return reinterpret_cast<Pixel32*>(FData + y * FStride); }
  const Pixel32* Row(int y) const { return reinterpret_cast<const Pixel32*>(FData + y * FStride); }
  Pixel32& At(int x, int y) { return Row(y)[x]; }
  const Pixel32& At(int x, int y) const { return Row(y)[x]; }

 private:
  // Allocated with calloc rather than operator new: a size the process cannot have comes back as
  // std::bad_alloc on every build, where a sanitizer's operator new would end the process.
  struct VF_PLATFORM_API FreeBytes {
    void operator()(std::uint8_t* bytes) const noexcept;
  };
  std::unique_ptr<std::uint8_t[], FreeBytes> FStorage;
  std::uint8_t* FData = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  std::ptrdiff_t FStride = 0;
  std::size_t FCapacity = 0;  // bytes of FStorage; 0 for wrapped memory
};

}  // namespace platform
