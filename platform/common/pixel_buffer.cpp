// The one pixel-buffer type of both back ends: owning buffers with a tight stride, and wrappers
// around memory that belongs to someone else (a DIB section's bits, a caller's array).
#include "platform/pixel_buffer.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace platform {
namespace {

// The byte count of a tight width x height buffer, refused when it does not fit the address space.
std::size_t ByteCount(int width, int height) {
  const auto pixels = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height);
  constexpr unsigned long long kLimit = static_cast<unsigned long long>(PTRDIFF_MAX) / sizeof(Pixel32);
  if (pixels > kLimit) throw std::bad_alloc();
  return static_cast<std::size_t>(pixels) * sizeof(Pixel32);
}

}  // namespace

void PixelBuffer::FreeBytes::operator()(std::uint8_t* bytes) const noexcept { std::free(bytes); }

PixelBuffer::PixelBuffer(int width, int height) {
  if (width <= 0 || height <= 0) return;
  FCapacity = ByteCount(width, height);
  FStorage.reset(static_cast<std::uint8_t*>(std::calloc(FCapacity, 1)));
  if (!FStorage) throw std::bad_alloc();
  FData = FStorage.get();
  FWidth = width;
  FHeight = height;
  FStride = static_cast<std::ptrdiff_t>(width) * static_cast<std::ptrdiff_t>(sizeof(Pixel32));
}

PixelBuffer PixelBuffer::Wrap(void* pixels, int width, int height, std::ptrdiff_t stride) {
  PixelBuffer buffer;
  if (pixels == nullptr || width <= 0 || height <= 0) return buffer;
  buffer.FData = static_cast<std::uint8_t*>(pixels);
  buffer.FWidth = width;
  buffer.FHeight = height;
  buffer.FStride = stride;
  return buffer;
}

bool PixelBuffer::ReuseFor(int width, int height) {
  if (!FStorage || width <= 0 || height <= 0) return false;
  const auto pixels = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height);
  if (pixels > FCapacity / sizeof(Pixel32) || pixels * sizeof(Pixel32) * 2 < FCapacity) return false;
  FWidth = width;
  FHeight = height;
  FStride = static_cast<std::ptrdiff_t>(width) * static_cast<std::ptrdiff_t>(sizeof(Pixel32));
  return true;
}

PixelBuffer::PixelBuffer(const PixelBuffer& other) : PixelBuffer(other.FWidth, other.FHeight) {
  const auto rowBytes = static_cast<std::size_t>(FWidth) * sizeof(Pixel32);
  for (int y = 0; y < FHeight; ++y) std::memcpy(Row(y), other.Row(y), rowBytes);
}

// Keeps its own memory where it holds the copy (ReuseFor), so a window handed a frame of the same
// size at every presentation allocates nothing.
PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other) {
  if (this == &other) return *this;
  if (other.Empty()) {
    *this = PixelBuffer();
    return *this;
  }
  if (!ReuseFor(other.FWidth, other.FHeight)) *this = PixelBuffer(other.FWidth, other.FHeight);
  const auto rowBytes = static_cast<std::size_t>(FWidth) * sizeof(Pixel32);
  for (int y = 0; y < FHeight; ++y) std::memcpy(Row(y), other.Row(y), rowBytes);
  return *this;
}

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : FStorage(std::move(other.FStorage)),
      FData(std::exchange(other.FData, nullptr)),
      FWidth(std::exchange(other.FWidth, 0)),
      FHeight(std::exchange(other.FHeight, 0)),
      FStride(std::exchange(other.FStride, 0)),
      FCapacity(std::exchange(other.FCapacity, 0)) {}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept {
  if (this == &other) return *this;
  // Moving the owner keeps its heap block, so FData stays valid in its new owner.
  FStorage = std::move(other.FStorage);
  FData = std::exchange(other.FData, nullptr);
  FWidth = std::exchange(other.FWidth, 0);
  FHeight = std::exchange(other.FHeight, 0);
  FStride = std::exchange(other.FStride, 0);
  FCapacity = std::exchange(other.FCapacity, 0);
  return *this;
}

}  // namespace platform
