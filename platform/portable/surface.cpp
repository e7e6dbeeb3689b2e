// Portable off-screen surfaces and the GDI copies between them.
//
// Implemented: Surface (white on every non-empty SetSize with every bit set, the fourth byte
// included, as the whiteness fill of Windows leaves it, and the fourth byte then carried along as
// Windows carries it in a 32-bit bitmap), handles checked against the live surfaces, BitBlt (SRCCOPY, clipped to both
// surfaces, overlapping copies within one surface), StretchBlt in the default BLACKONWHITE mode,
// ReadPixels and WritePixels.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "platform/debug_channel.h"
#include "surface_impl.h"

namespace platform {

using portable::SurfaceFromDC;

namespace {

// White is every bit set, the fourth byte included, as the platform's whiteness fill leaves it.
constexpr Pixel32 kWhite{255, 255, 255, 255};

// The part [begin, end) of a run of `length` cells starting at `origin` (in surface coordinates)
// that lies inside a surface side of `limit` cells, as offsets into the run.
struct Span {
  long long begin;
  long long end;
  bool Empty() const { return begin >= end; }
};

Span Clip(long long origin, long long length, long long limit) {
  return {std::max(0LL, -origin), std::min(length, limit - origin)};
}

Span Intersect(Span a, Span b) { return {std::max(a.begin, b.begin), std::min(a.end, b.end)}; }

// Copies a row between different surfaces. Not memcpy: for rows of 2 KiB and more glibc copies
// with `rep movsb`, which some processors run ten times slower when the destination lies a few
// bytes past the source modulo 4 KiB, as it does for two surfaces allocated one after the other.
// A loop of 16-byte moves has no such cliff.
void CopyRow(Pixel32* dest, const Pixel32* source, std::size_t bytes) {
  auto* out = reinterpret_cast<unsigned char*>(dest);
  const auto* in = reinterpret_cast<const unsigned char*>(source);
  std::size_t i = 0;
  // A fixed 64 bytes is copied inline with vector moves, never through the library call.
  for (; i + 64 <= bytes; i += 64) std::memcpy(out + i, in + i, 64);
  for (; i < bytes; i += sizeof(Pixel32)) std::memcpy(out + i, in + i, sizeof(Pixel32));
}

// The source cells [first, last) that destination cell d of a stretch from sourceLength to
// destLength combines: one replicated cell when enlarging, every dropped cell too when shrinking.
struct StretchRange {
  long long first;
  long long last;
};

StretchRange StretchSource(long long d, long long sourceLength, long long destLength) {
  const long long first = d * sourceLength / destLength;
  const long long last = std::max(first + 1, (d + 1) * sourceLength / destLength);
  return {first, last};
}

}  // namespace

namespace {

struct SurfaceRegistry {
  std::mutex lock;
  std::unordered_set<const Surface::Impl*> live;
};

SurfaceRegistry& Registry() {
  static SurfaceRegistry registry;
  return registry;
}

}  // namespace

Surface::Impl::Impl() {
  std::lock_guard guard(Registry().lock);
  Registry().live.insert(this);
}

Surface::Impl::~Impl() {
  std::lock_guard guard(Registry().lock);
  Registry().live.erase(this);
}

Surface::Impl* portable::SurfaceFromDC(DeviceContext dc) {
  if (dc == nullptr) return nullptr;
  {
    std::lock_guard guard(Registry().lock);
    if (Registry().live.count(static_cast<const Surface::Impl*>(dc)) != 0)
      return static_cast<Surface::Impl*>(dc);
  }
  static std::once_flag reported;
  std::call_once(reported, [] {
    OutputDebugLine(u"platform: a device context that is not a drawing surface was refused");
  });
  return nullptr;
}

Surface::Surface() : FImpl(std::make_unique<Impl>()) {}
Surface::~Surface() = default;
Surface::Surface(Surface&&) noexcept = default;
Surface& Surface::operator=(Surface&&) noexcept = default;

void Surface::SetSize(int width, int height) {
  if (!FImpl) FImpl = std::make_unique<Impl>();
  if (width <= 0 || height <= 0) {
    FImpl->pixels = PixelBuffer();
    return;
  }
  // White is every bit set, so one byte fill of the tight rows paints it.
  static_assert(kWhite == Pixel32{0xFF, 0xFF, 0xFF, 0xFF});
  PixelBuffer& pixels = FImpl->pixels;
  if (!pixels.ReuseFor(width, height)) pixels = PixelBuffer(width, height);
  std::memset(pixels.Row(0), 0xFF, static_cast<std::size_t>(pixels.Stride()) * static_cast<std::size_t>(height));
}

int Surface::Width() const { return FImpl ? FImpl->pixels.Width() : 0; }
int Surface::Height() const { return FImpl ? FImpl->pixels.Height() : 0; }
DeviceContext Surface::DC() const { return FImpl.get(); }

void BitBlt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source,
            int sourceX, int sourceY) {
  Surface::Impl* target = SurfaceFromDC(dest);
  const Surface::Impl* origin = SurfaceFromDC(source);
  if (target == nullptr || origin == nullptr || width <= 0 || height <= 0) return;
  const PixelBuffer& from = origin->pixels;
  PixelBuffer& to = target->pixels;

  const Span columns = Intersect(Clip(x, width, to.Width()), Clip(sourceX, width, from.Width()));
  const Span rows = Intersect(Clip(y, height, to.Height()), Clip(sourceY, height, from.Height()));
  if (columns.Empty() || rows.Empty()) return;

  const long long count = columns.end - columns.begin;
  const auto rowBytes = static_cast<std::size_t>(count) * sizeof(Pixel32);
  auto destRow = [&](long long row) { return to.Row(static_cast<int>(y + row)) + (x + columns.begin); };
  auto sourceRow = [&](long long row) { return from.Row(static_cast<int>(sourceY + row)) + (sourceX + columns.begin); };

  // Whole rows of both surfaces form one block each: a single copy, the common case of a full
  // surface going to another (also right when the blocks overlap within one surface).
  const bool wholeRows = count == to.Width() && count == from.Width() &&
                         to.Stride() == static_cast<std::ptrdiff_t>(rowBytes) &&
                         from.Stride() == static_cast<std::ptrdiff_t>(rowBytes);
  if (wholeRows) {
    std::memmove(destRow(rows.begin), sourceRow(rows.begin), rowBytes * static_cast<std::size_t>(rows.end - rows.begin));
    return;
  }
  if (target != origin) {
    for (long long row = rows.begin; row < rows.end; ++row) CopyRow(destRow(row), sourceRow(row), rowBytes);
    return;
  }
  // Within one surface a copy downwards must start at the bottom so it never reads a row it has
  // already overwritten; memmove takes care of overlap inside a row.
  if (y > sourceY) {
    for (long long row = rows.end - 1; row >= rows.begin; --row) std::memmove(destRow(row), sourceRow(row), rowBytes);
  } else {
    for (long long row = rows.begin; row < rows.end; ++row) std::memmove(destRow(row), sourceRow(row), rowBytes);
  }
}

void StretchBlt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source,
                int sourceX, int sourceY, int sourceWidth, int sourceHeight) {
  Surface::Impl* target = SurfaceFromDC(dest);
  const Surface::Impl* origin = SurfaceFromDC(source);
  if (target == nullptr || origin == nullptr) return;
  if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return;
  PixelBuffer& to = target->pixels;

  // A stretch within one surface reads from a snapshot, so written pixels are never read back.
  PixelBuffer snapshot;
  if (target == origin) snapshot = origin->pixels;
  const PixelBuffer& from = target == origin ? snapshot : origin->pixels;

  const Span columns = Clip(x, width, to.Width());
  const Span rows = Clip(y, height, to.Height());
  if (columns.Empty() || rows.Empty()) return;

  // The source columns of every visible destination column, cut to the source surface; an empty
  // range marks a column whose source lies wholly outside, which is left as it is.
  std::vector<StretchRange> sourceColumns;
  sourceColumns.reserve(static_cast<std::size_t>(columns.end - columns.begin));
  for (long long dx = columns.begin; dx < columns.end; ++dx) {
    const StretchRange range = StretchSource(dx, sourceWidth, width);
    sourceColumns.push_back({std::max(0LL, sourceX + range.first),
                             std::min<long long>(from.Width(), sourceX + range.last)});
  }

  for (long long dy = rows.begin; dy < rows.end; ++dy) {
    const StretchRange range = StretchSource(dy, sourceHeight, height);
    const long long firstRow = std::max(0LL, sourceY + range.first);
    const long long lastRow = std::min<long long>(from.Height(), sourceY + range.last);
    if (firstRow >= lastRow) continue;
    Pixel32* out = to.Row(static_cast<int>(y + dy));
    for (long long dx = columns.begin; dx < columns.end; ++dx) {
      const StretchRange& cells = sourceColumns[static_cast<std::size_t>(dx - columns.begin)];
      if (cells.first >= cells.last) continue;
      // BLACKONWHITE keeps a dark pixel over a light one: every dropped pixel is ANDed in.
      Pixel32 combined{255, 255, 255, 255};
      for (long long sy = firstRow; sy < lastRow; ++sy) {
        const Pixel32* in = from.Row(static_cast<int>(sy));
        for (long long sx = cells.first; sx < cells.last; ++sx) {
          combined.b &= in[sx].b;
          combined.g &= in[sx].g;
          combined.r &= in[sx].r;
          combined.a &= in[sx].a;
        }
      }
      out[x + dx] = combined;
    }
  }
}

PixelBuffer ReadPixels(DeviceContext dc, int x, int y, int width, int height) {
  PixelBuffer copy(width, height);
  const Surface::Impl* origin = SurfaceFromDC(dc);
  if (origin == nullptr || copy.Empty()) return copy;
  const PixelBuffer& from = origin->pixels;
  const Span columns = Clip(x, width, from.Width());
  const Span rows = Clip(y, height, from.Height());
  if (columns.Empty() || rows.Empty()) return copy;
  const auto rowBytes = static_cast<std::size_t>(columns.end - columns.begin) * sizeof(Pixel32);
  for (long long row = rows.begin; row < rows.end; ++row) {
    CopyRow(copy.Row(static_cast<int>(row)) + columns.begin, from.Row(static_cast<int>(y + row)) + (x + columns.begin),
            rowBytes);
  }
  return copy;
}

void WritePixels(DeviceContext dc, int x, int y, const PixelBuffer& pixels) {
  Surface::Impl* target = SurfaceFromDC(dc);
  if (target == nullptr || pixels.Empty()) return;
  PixelBuffer& to = target->pixels;
  const Span columns = Clip(x, pixels.Width(), to.Width());
  const Span rows = Clip(y, pixels.Height(), to.Height());
  if (columns.Empty() || rows.Empty()) return;
  const auto rowBytes = static_cast<std::size_t>(columns.end - columns.begin) * sizeof(Pixel32);
  for (long long row = rows.begin; row < rows.end; ++row) {
    Pixel32* out = to.Row(static_cast<int>(y + row)) + (x + columns.begin);
    const Pixel32* in = pixels.Row(static_cast<int>(row)) + columns.begin;
    // A buffer may wrap memory of its own, even this surface's; only then can rows overlap.
    const auto outAddress = reinterpret_cast<std::uintptr_t>(out), inAddress = reinterpret_cast<std::uintptr_t>(in);
    if (outAddress < inAddress + rowBytes && inAddress < outAddress + rowBytes) {
      std::memmove(out, in, rowBytes);
    } else {
      CopyRow(out, in, rowBytes);
    }
  }
}

}  // namespace platform
