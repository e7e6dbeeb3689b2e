// Windows off-screen surfaces and the GDI copies between drawing surfaces.
//
// Implemented: Surface (a bitmap compatible with the screen, selected into a memory device context
// of its own, white after every SetSize to a non-empty size; a size GDI cannot make raises
// std::bad_alloc like one whose byte count overflows), BitBlt and StretchBlt with SRCCOPY
// (the stretch mode of the destination is left as it is, BLACKONWHITE for our own surfaces), and
// ReadPixels and WritePixels through a 32-bit top-down DIB section, which works on any device
// context, the host's included.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "gdi_objects.h"
#include "platform/surface.h"

// Members are destroyed in reverse order: the selection is undone first, so the bitmap is no longer
// selected when it is deleted, and the context goes last.
struct platform::Surface::Impl {
  win32::UniqueDC dc;
  win32::UniqueBitmap bitmap;  // null while the surface is 0 x 0
  win32::SelectedObject selection;
  int width = 0;
  int height = 0;
};

namespace platform {

using win32::SelectedObject;
using win32::UniqueBitmap;
using win32::UniqueDC;

namespace {

// A bitmap's bytes must stay addressable by GDI's signed 32-bit byte counts; a 32-bit pixel takes
// four of them. Larger sizes are refused before GDI is asked.
constexpr std::uint64_t kMaxPixels = 0x7FFFFFFFu / 4u;

HDC AsHDC(DeviceContext dc) { return static_cast<HDC>(dc); }

std::unique_ptr<Surface::Impl> MakeImpl() {
  auto impl = std::make_unique<Surface::Impl>();
  impl->dc.reset(::CreateCompatibleDC(nullptr));
  if (!impl->dc) throw std::bad_alloc();
  return impl;
}

// A rectangle in the coordinates of a device context.
struct Area {
  int x, y, width, height;
  bool Empty() const { return width <= 0 || height <= 0; }
};

// The part of a rectangle that lies on the device context's surface: the bounds of the bitmap of a
// memory device context, the visible part of any other.
Area OnSurface(HDC dc, int x, int y, int width, int height) {
  RECT bounds;
  if (::GetClipBox(dc, &bounds) <= NULLREGION) return {0, 0, 0, 0};
  const long long left = std::max<long long>(x, bounds.left);
  const long long top = std::max<long long>(y, bounds.top);
  const long long right = std::min<long long>(static_cast<long long>(x) + width, bounds.right);
  const long long bottom = std::min<long long>(static_cast<long long>(y) + height, bounds.bottom);
  if (left >= right || top >= bottom) return {0, 0, 0, 0};
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
          static_cast<int>(bottom - top)};
}

// A 32-bit top-down DIB section selected into a memory device context of its own: GDI copies
// into and out of it, and its bits are the pixels in the Pixel32 layout, tightly packed.
struct DibSection {
  UniqueBitmap bitmap;
  UniqueDC dc;
  SelectedObject selection;
  Pixel32* bits = nullptr;

  static bool Create(int width, int height, DibSection& out) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: the first row in memory is the top one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    out.bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!out.bitmap || bits == nullptr) return false;
    out.dc.reset(::CreateCompatibleDC(nullptr));
    if (!out.dc) return false;
    out.selection = SelectedObject(out.dc.get(), out.bitmap.get());
    if (!out.selection) return false;
    out.bits = static_cast<Pixel32*>(bits);
    return true;
  }

  PixelBuffer Pixels(int width, int height) const {
    return PixelBuffer::Wrap(bits, width, height, static_cast<std::ptrdiff_t>(width) * 4);
  }
};

void CopyRows(PixelBuffer& to, int toX, int toY, const PixelBuffer& from, int fromX, int fromY,
              int width, int height) {
  const auto rowBytes = static_cast<std::size_t>(width) * sizeof(Pixel32);
  for (int row = 0; row < height; ++row) {
    std::memcpy(to.Row(toY + row) + toX, from.Row(fromY + row) + fromX, rowBytes);
  }
}

}  // namespace

Surface::Surface() : FImpl(MakeImpl()) {}
Surface::~Surface() = default;
Surface::Surface(Surface&&) noexcept = default;
Surface& Surface::operator=(Surface&&) noexcept = default;

void Surface::SetSize(int width, int height) {
  if (!FImpl) FImpl = MakeImpl();
  Impl& impl = *FImpl;
  if (width <= 0 || height <= 0) {
    impl.selection.Restore();
    impl.bitmap.reset();
    impl.width = impl.height = 0;
    return;
  }
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxPixels) {
    throw std::bad_alloc();
  }

  if (width != impl.width || height != impl.height) {
    // A bitmap compatible with the memory context itself would be monochrome: the screen gives
    // the display's colour format.
    UniqueBitmap bitmap;
    {
      const win32::ScreenDC screen;
      bitmap.reset(::CreateCompatibleBitmap(screen.Get(), width, height));
    }
    if (!bitmap) throw std::bad_alloc();
    impl.selection.Restore();
    impl.bitmap = std::move(bitmap);
    impl.selection = SelectedObject(impl.dc.get(), impl.bitmap.get());
    if (!impl.selection) {
      impl.bitmap.reset();
      impl.width = impl.height = 0;
      throw std::bad_alloc();
    }
    impl.width = width;
    impl.height = height;
  }
  ::PatBlt(impl.dc.get(), 0, 0, width, height, WHITENESS);
}

int Surface::Width() const { return FImpl ? FImpl->width : 0; }
int Surface::Height() const { return FImpl ? FImpl->height : 0; }
DeviceContext Surface::DC() const { return FImpl ? FImpl->dc.get() : nullptr; }

void BitBlt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source,
            int sourceX, int sourceY) {
  // GDI mirrors negative sizes; an empty rectangle copies nothing here.
  if (dest == nullptr || source == nullptr || width <= 0 || height <= 0) return;
  ::BitBlt(AsHDC(dest), x, y, width, height, AsHDC(source), sourceX, sourceY, SRCCOPY);
}

void StretchBlt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source,
                int sourceX, int sourceY, int sourceWidth, int sourceHeight) {
  if (dest == nullptr || source == nullptr) return;
  if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return;
  ::StretchBlt(AsHDC(dest), x, y, width, height, AsHDC(source), sourceX, sourceY, sourceWidth,
               sourceHeight, SRCCOPY);
}

PixelBuffer ReadPixels(DeviceContext dc, int x, int y, int width, int height) {
  PixelBuffer copy(width, height);
  if (dc == nullptr || copy.Empty()) return copy;
  const Area area = OnSurface(AsHDC(dc), x, y, width, height);
  if (area.Empty()) return copy;

  DibSection dib;
  if (!DibSection::Create(area.width, area.height, dib)) return copy;
  ::BitBlt(dib.dc.get(), 0, 0, area.width, area.height, AsHDC(dc), area.x, area.y, SRCCOPY);
  // GDI may batch drawing calls; the bits are only current once the batch has run.
  ::GdiFlush();
  CopyRows(copy, area.x - x, area.y - y, dib.Pixels(area.width, area.height), 0, 0, area.width,
           area.height);
  return copy;
}

void WritePixels(DeviceContext dc, int x, int y, const PixelBuffer& pixels) {
  if (dc == nullptr || pixels.Empty()) return;
  const Area area = OnSurface(AsHDC(dc), x, y, pixels.Width(), pixels.Height());
  if (area.Empty()) return;

  DibSection dib;
  if (!DibSection::Create(area.width, area.height, dib)) return;
  PixelBuffer bits = dib.Pixels(area.width, area.height);
  CopyRows(bits, 0, 0, pixels, area.x - x, area.y - y, area.width, area.height);
  ::BitBlt(AsHDC(dc), area.x, area.y, area.width, area.height, dib.dc.get(), 0, 0, SRCCOPY);
}

}  // namespace platform
