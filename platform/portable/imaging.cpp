// The portable stand-in for the GDI+ flat interface the renderer calls.
//
// Implemented: a counted start-up token (bitmaps are only made while it is held, as with GDI+);
// bitmaps decoded from PNG streams and files with libpng, and opaque copies of surfaces; image
// size and bounds unit; thumbnails resampled by the high-quality filter; drawing objects bound
// to a surface with their interpolation mode; scaled source-over draws with clipping.
//
// Images hold straight alpha. Scaling filters premultiplied pixels (resampler.h), computed once
// per image on its first scaled draw and kept with it; 1:1 draws composite the straight pixels
// directly. The source unit of a draw is taken to be pixels, the only unit our bitmaps report.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <mutex>
#include <new>
#include <set>
#include <utility>
#include <vector>

#include "compositor.h"
#include "platform/imaging.h"
#include "platform/text.h"
#include "resampler.h"
#include "resources_impl.h"
#include "surface_impl.h"

namespace platform::gdiplus {

using portable::Filter;
using portable::SurfaceFromDC;

namespace {

struct ImageImpl {
  explicit ImageImpl(PixelBuffer straightPixels) : pixels(std::move(straightPixels)) {}

  // The premultiplied copy that scaled draws filter, made on first use.
  const PixelBuffer& Premultiplied() {
    std::call_once(premultipliedOnce, [this] {
      PixelBuffer copy(pixels.Width(), pixels.Height());
      for (int y = 0; y < pixels.Height(); ++y) portable::PremultiplyRow(copy.Row(y), pixels.Row(y), pixels.Width());
      premultiplied = std::move(copy);
    });
    return premultiplied;
  }

  PixelBuffer pixels;  // straight alpha, never empty
  std::once_flag premultipliedOnce;
  PixelBuffer premultiplied;
};

struct GraphicsImpl {
  Surface::Impl* target;
  InterpolationMode mode;
};

ImageImpl* ImageOf(const Image& image) { return static_cast<ImageImpl*>(image.Native()); }
GraphicsImpl* GraphicsOf(const Graphics& graphics) { return static_cast<GraphicsImpl*>(graphics.Native()); }

// The start-up tokens handed out and not yet shut down.
struct Library {
  std::mutex lock;
  std::set<std::uintptr_t> tokens;
  std::uintptr_t lastToken = 0;
};

Library& TheLibrary() {
  static Library library;
  return library;
}

bool Running() {
  Library& library = TheLibrary();
  std::lock_guard guard(library.lock);
  return !library.tokens.empty();
}

Image MakeImage(PixelBuffer pixels) {
  if (pixels.Empty()) return {};
  return Image(new ImageImpl(std::move(pixels)));
}

// A bitmap from encoded bytes; data the decoder rejects gives no bitmap, like GDI+.
Image DecodeImage(const void* data, std::size_t size) {
  if (!Running()) return {};
  try {
    return MakeImage(png::Decode(data, size));
  } catch (const std::exception&) {
    return {};
  }
}

Filter FilterFor(InterpolationMode mode) {
  return mode == InterpolationMode::NearestNeighbor ? Filter::Nearest : Filter::Cubic;
}

struct CompositeTarget {
  PixelBuffer* surface;
  int x;  // surface column of the first pixel of each row handed over
  int y;  // surface row of destination-rectangle row 0
  int width;
};

void CompositeRow(void* context, int y, const Pixel32* row) {
  const auto* target = static_cast<const CompositeTarget*>(context);
  portable::CompositePremultipliedRow(target->surface->Row(target->y + y) + target->x, row, target->width);
}

void StoreStraightRow(void* context, int y, const Pixel32* row) {
  auto* out = static_cast<PixelBuffer*>(context);
  portable::UnpremultiplyRow(out->Row(y), row, out->Width());
}

}  // namespace

Image::~Image() { delete static_cast<ImageImpl*>(FNative); }

Image& Image::operator=(Image&& other) noexcept {
  if (this != &other) {
    delete static_cast<ImageImpl*>(FNative);
    FNative = std::exchange(other.FNative, nullptr);
  }
  return *this;
}

Graphics::~Graphics() { delete static_cast<GraphicsImpl*>(FNative); }

Graphics& Graphics::operator=(Graphics&& other) noexcept {
  if (this != &other) {
    delete static_cast<GraphicsImpl*>(FNative);
    FNative = std::exchange(other.FNative, nullptr);
  }
  return *this;
}

std::uintptr_t GdiplusStartup() {
  Library& library = TheLibrary();
  std::lock_guard guard(library.lock);
  const std::uintptr_t token = ++library.lastToken;
  library.tokens.insert(token);
  return token;
}

void GdiplusShutdown(std::uintptr_t token) {
  Library& library = TheLibrary();
  std::lock_guard guard(library.lock);
  library.tokens.erase(token);
}

Image CreateBitmapFromStream(const Stream& stream) {
  const portable::StreamImpl* impl = portable::StreamOf(stream);
  if (impl == nullptr || impl->block == nullptr) return {};
  return DecodeImage(impl->block->bytes.get(), impl->block->size);
}

Image CreateBitmapFromFile(const std::u16string& path) {
  if (!Running()) return {};
  std::ifstream file(Utf16ToUtf8(path), std::ios::binary);
  if (!file) return {};
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) return {};
  return DecodeImage(bytes.data(), bytes.size());
}

Image CreateBitmapFromSurface(const Surface& surface) {
  const Surface::Impl* impl = SurfaceFromDC(surface.DC());
  if (!Running() || impl == nullptr || impl->pixels.Empty()) return {};
  PixelBuffer copy = impl->pixels;
  for (int y = 0; y < copy.Height(); ++y) {
    Pixel32* row = copy.Row(y);
    for (int x = 0; x < copy.Width(); ++x) row[x].a = 255;
  }
  return MakeImage(std::move(copy));
}

Unit GetImageBounds(const Image& image) { return image ? Unit::Pixel : Unit::World; }

std::uint32_t GetImageWidth(const Image& image) {
  return image ? static_cast<std::uint32_t>(ImageOf(image)->pixels.Width()) : 0;
}

std::uint32_t GetImageHeight(const Image& image) {
  return image ? static_cast<std::uint32_t>(ImageOf(image)->pixels.Height()) : 0;
}

Image GetImageThumbnail(const Image& image, std::uint32_t width, std::uint32_t height) {
  ImageImpl* source = ImageOf(image);
  constexpr std::uint32_t kMaxSide = 0x7FFFFFFF;
  if (source == nullptr || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return {};
  const int w = static_cast<int>(width);
  const int h = static_cast<int>(height);
  try {
    const PixelBuffer& pixels = source->pixels;
    if (w == pixels.Width() && h == pixels.Height()) return MakeImage(pixels);
    PixelBuffer out(w, h);
    const auto xWeights = portable::CachedAxisWeights(pixels.Width(), w, Filter::Cubic);
    const auto yWeights = portable::CachedAxisWeights(pixels.Height(), h, Filter::Cubic);
    portable::Resample(source->Premultiplied(), 0, 0, *xWeights, *yWeights, {0, 0, w, h},
                       StoreStraightRow, &out);
    return MakeImage(std::move(out));
  } catch (const std::bad_alloc&) {
    return {};
  }
}

Graphics CreateFromHDC(DeviceContext dc) {
  Surface::Impl* target = SurfaceFromDC(dc);
  if (target == nullptr) return {};
  return Graphics(new GraphicsImpl{target, InterpolationMode::Default});
}

void SetInterpolationMode(const Graphics& graphics, InterpolationMode mode) {
  if (GraphicsImpl* impl = GraphicsOf(graphics)) impl->mode = mode;
}

void DrawImageRectRectI(const Graphics& graphics, const Image& image, int x, int y, int width,
                        int height, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                        Unit /*sourceUnit*/) {
  GraphicsImpl* target = GraphicsOf(graphics);
  ImageImpl* source = ImageOf(image);
  if (target == nullptr || source == nullptr) return;
  if (width < 1 || height < 1 || sourceWidth < 1 || sourceHeight < 1) return;
  const PixelBuffer& pixels = source->pixels;
  PixelBuffer& surface = target->target->pixels;

  // Only the part of the source rectangle inside the image is drawn, where it would land.
  long long left = x, top = y, right = static_cast<long long>(x) + width, bottom = static_cast<long long>(y) + height;
  const long long sx0 = std::max(0, sourceX), sy0 = std::max(0, sourceY);
  const long long sx1 = std::min<long long>(pixels.Width(), static_cast<long long>(sourceX) + sourceWidth);
  const long long sy1 = std::min<long long>(pixels.Height(), static_cast<long long>(sourceY) + sourceHeight);
  if (sx0 >= sx1 || sy0 >= sy1) return;
  if (sx0 != sourceX || sy0 != sourceY || sx1 - sourceX != sourceWidth || sy1 - sourceY != sourceHeight) {
    left = x + (sx0 - sourceX) * width / sourceWidth;
    right = x + (sx1 - sourceX) * width / sourceWidth;
    top = y + (sy0 - sourceY) * height / sourceHeight;
    bottom = y + (sy1 - sourceY) * height / sourceHeight;
    if (left >= right || top >= bottom) return;
  }
  const int srcX = static_cast<int>(sx0), srcY = static_cast<int>(sy0);
  const int srcW = static_cast<int>(sx1 - sx0), srcH = static_cast<int>(sy1 - sy0);
  const long long destW = right - left, destH = bottom - top;
  if (destW > 0x7FFFFFFF || destH > 0x7FFFFFFF) return;

  // The visible part of the destination rectangle, in its own coordinates.
  const long long vx0 = std::max(0LL, -left), vy0 = std::max(0LL, -top);
  const long long vx1 = std::min(destW, surface.Width() - left), vy1 = std::min(destH, surface.Height() - top);
  if (vx0 >= vx1 || vy0 >= vy1) return;
  const int visibleWidth = static_cast<int>(vx1 - vx0);

  if (destW == srcW && destH == srcH) {
    for (long long row = vy0; row < vy1; ++row) {
      portable::CompositeStraightRow(surface.Row(static_cast<int>(top + row)) + (left + vx0),
                                     pixels.Row(static_cast<int>(srcY + row)) + (srcX + vx0), visibleWidth);
    }
    return;
  }

  try {
    const Filter filter = FilterFor(target->mode);
    const auto xWeights = portable::CachedAxisWeights(srcW, static_cast<int>(destW), filter);
    const auto yWeights = portable::CachedAxisWeights(srcH, static_cast<int>(destH), filter);
    CompositeTarget sink{&surface, static_cast<int>(left + vx0), static_cast<int>(top), visibleWidth};
    portable::Resample(source->Premultiplied(), srcX, srcY, *xWeights, *yWeights,
                       {static_cast<int>(vx0), static_cast<int>(vy0), static_cast<int>(vx1), static_cast<int>(vy1)},
                       CompositeRow, &sink);
  } catch (const std::bad_alloc&) {
    // GDI+ reports OutOfMemory here, which nobody inspects: the draw simply does not happen.
  }
}

}  // namespace platform::gdiplus
