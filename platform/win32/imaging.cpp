// The GDI+ flat interface, one function per operation the renderer calls.
//
// Implemented: start-up and shutdown; bitmaps from a stream, a file and an off-screen surface;
// image bounds unit and size; thumbnails; drawing objects on a device context with their
// interpolation mode; GdipDrawImageRectRectI. Images and drawing objects are disposed by their
// owners. A failed call gives an empty owner and is not reported further: the callers rely on
// empty images reading as size 0 and drawing nothing.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <utility>

#include "gdi_objects.h"
#include "platform/imaging.h"

namespace platform::gdiplus {

namespace flat = Gdiplus::DllExports;

namespace {

Gdiplus::GpImage* AsImage(const Image& image) { return static_cast<Gdiplus::GpImage*>(image.Native()); }

Gdiplus::GpGraphics* AsGraphics(const Graphics& graphics) {
  return static_cast<Gdiplus::GpGraphics*>(graphics.Native());
}

void Dispose(void* image) {
  if (image != nullptr) flat::GdipDisposeImage(static_cast<Gdiplus::GpImage*>(image));
}

void Delete(void* graphics) {
  if (graphics != nullptr) flat::GdipDeleteGraphics(static_cast<Gdiplus::GpGraphics*>(graphics));
}

// The owner of a bitmap a creating call handed out, or an empty one when the call failed.
Image Owned(Gdiplus::GpStatus status, Gdiplus::GpBitmap* bitmap) {
  Gdiplus::GpImage* image = bitmap;
  if (status != Gdiplus::Ok) {
    Dispose(image);
    return {};
  }
  return Image(image);
}

}  // namespace

Image::~Image() { Dispose(FNative); }

Image& Image::operator=(Image&& other) noexcept {
  if (this != &other) {
    Dispose(FNative);
    FNative = std::exchange(other.FNative, nullptr);
  }
  return *this;
}

Graphics::~Graphics() { Delete(FNative); }

Graphics& Graphics::operator=(Graphics&& other) noexcept {
  if (this != &other) {
    Delete(FNative);
    FNative = std::exchange(other.FNative, nullptr);
  }
  return *this;
}

std::uintptr_t GdiplusStartup() {
  Gdiplus::GdiplusStartupInput input;
  input.GdiplusVersion = 1;
  input.DebugEventCallback = nullptr;
  input.SuppressBackgroundThread = FALSE;
  input.SuppressExternalCodecs = FALSE;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return 0;
  return token;
}

void GdiplusShutdown(std::uintptr_t token) {
  if (token != 0) Gdiplus::GdiplusShutdown(token);
}

Image CreateBitmapFromStream(const Stream& stream) {
  if (!stream) return {};
  Gdiplus::GpBitmap* bitmap = nullptr;
  const auto status = flat::GdipCreateBitmapFromStream(static_cast<IStream*>(stream.Get()), &bitmap);
  return Owned(status, bitmap);
}

Image CreateBitmapFromFile(const std::u16string& path) {
  Gdiplus::GpBitmap* bitmap = nullptr;
  const auto status = flat::GdipCreateBitmapFromFile(reinterpret_cast<const WCHAR*>(path.c_str()), &bitmap);
  return Owned(status, bitmap);
}

Image CreateBitmapFromSurface(const Surface& surface) {
  if (surface.Width() < 1 || surface.Height() < 1) return {};
  // The surface's bitmap is the one selected into its device context. GDI+ must not be handed a
  // bitmap that is selected into a context, so a 1 x 1 stand-in takes its place for the call and
  // the selection owner puts it back afterwards. Display-compatible bitmaps of 16 bits and more
  // need no palette.
  const auto dc = static_cast<HDC>(surface.DC());
  const auto bitmapHandle = static_cast<HBITMAP>(::GetCurrentObject(dc, OBJ_BITMAP));
  if (bitmapHandle == nullptr) return {};
  const win32::UniqueBitmap standIn(::CreateCompatibleBitmap(dc, 1, 1));
  if (!standIn) return {};
  const win32::SelectedObject swapped(dc, standIn.get());
  if (!swapped) return {};
  Gdiplus::GpBitmap* bitmap = nullptr;
  const auto status = flat::GdipCreateBitmapFromHBITMAP(bitmapHandle, nullptr, &bitmap);
  return Owned(status, bitmap);
}

Unit GetImageBounds(const Image& image) {
  Gdiplus::GpRectF bounds;
  Gdiplus::GpUnit unit = Gdiplus::UnitWorld;
  if (!image || flat::GdipGetImageBounds(AsImage(image), &bounds, &unit) != Gdiplus::Ok) return Unit::World;
  return static_cast<Unit>(unit);
}

std::uint32_t GetImageWidth(const Image& image) {
  UINT width = 0;
  if (!image || flat::GdipGetImageWidth(AsImage(image), &width) != Gdiplus::Ok) return 0;
  return width;
}

std::uint32_t GetImageHeight(const Image& image) {
  UINT height = 0;
  if (!image || flat::GdipGetImageHeight(AsImage(image), &height) != Gdiplus::Ok) return 0;
  return height;
}

Image GetImageThumbnail(const Image& image, std::uint32_t width, std::uint32_t height) {
  if (!image) return {};
  Gdiplus::GpImage* thumbnail = nullptr;
  if (flat::GdipGetImageThumbnail(AsImage(image), width, height, &thumbnail, nullptr, nullptr) != Gdiplus::Ok) {
    Dispose(thumbnail);
    return {};
  }
  return Image(thumbnail);
}

Graphics CreateFromHDC(DeviceContext dc) {
  if (dc == nullptr) return {};
  Gdiplus::GpGraphics* graphics = nullptr;
  if (flat::GdipCreateFromHDC(static_cast<HDC>(dc), &graphics) != Gdiplus::Ok) {
    Delete(graphics);
    return {};
  }
  return Graphics(graphics);
}

void SetInterpolationMode(const Graphics& graphics, InterpolationMode mode) {
  if (!graphics) return;
  flat::GdipSetInterpolationMode(AsGraphics(graphics), static_cast<Gdiplus::InterpolationMode>(mode));
}

void DrawImageRectRectI(const Graphics& graphics, const Image& image, int x, int y, int width,
                        int height, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                        Unit sourceUnit) {
  // GDI+ mirrors the image for negative sizes; callers rely on empty rectangles drawing nothing.
  if (!graphics || !image) return;
  if (width < 1 || height < 1 || sourceWidth < 1 || sourceHeight < 1) return;
  flat::GdipDrawImageRectRectI(AsGraphics(graphics), AsImage(image), x, y, width, height, sourceX,
                               sourceY, sourceWidth, sourceHeight, static_cast<Gdiplus::GpUnit>(sourceUnit),
                               nullptr, nullptr, nullptr);
}

}  // namespace platform::gdiplus
