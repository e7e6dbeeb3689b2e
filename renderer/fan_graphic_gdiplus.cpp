#include "renderer/fan_graphic_gdiplus.h"

#include <cstring>

#include "platform/text.h"
#include "renderer/errors.h"
#include "renderer/imaging_lifetime.h"

namespace vf {

namespace {

namespace gp = platform::gdiplus;

// Raises the system's text for the calling thread's last error code.
[[noreturn]] void RaiseLastError() {
  throw Exception(platform::Utf16ToUtf8(platform::SysErrorMessage(platform::GetLastError())));
}

}  // namespace

void TFanGraphicGdiPlus::ReadSize() {
  FSrcUnit = gp::GetImageBounds(FGPBitmap);
  FGPRect.Width = static_cast<std::int32_t>(gp::GetImageWidth(FGPBitmap));
  FGPRect.Height = static_cast<std::int32_t>(gp::GetImageHeight(FGPBitmap));
}

void TFanGraphicGdiPlus::LoadFromFile(const std::u16string& AFileName) {
  EnsureImagingStarted();
  FGPBitmap = gp::CreateBitmapFromFile(AFileName);
  ReadSize();
}

void TFanGraphicGdiPlus::LoadFromResourceName(platform::ModuleHandle AInstance,
                                              const std::u16string& AResName) {
  EnsureImagingStarted();
  const auto resource = platform::FindResourceW(AInstance, AResName);
  if (resource == nullptr) RaiseLastError();
  const std::uint32_t size = platform::SizeofResource(AInstance, resource);
  if (size == 0) RaiseLastError();
  const void* data = platform::LoadResource(AInstance, resource);
  if (data == nullptr) RaiseLastError();
  platform::GlobalMemory block = platform::GlobalMemory::Alloc(size);
  if (!block) RaiseLastError();
  void* bytes = platform::GlobalLock(block);
  if (bytes == nullptr) RaiseLastError();
  std::memcpy(bytes, data, size);
  platform::Stream stream;
  if (platform::Stream::CreateOnHGlobal(block, stream) != 0) RaiseLastError();

  FGPBitmap = gp::CreateBitmapFromStream(stream);
  FGlobalMemory = std::move(block);
  ReadSize();
  // The stream's reference goes here; the imaging library keeps its own while the bitmap lives.
}

void TFanGraphicGdiPlus::DrawTo(platform::DeviceContext ADestCanvas, const TGPRect& ADestRect,
                                bool AIsSiding) {
  if (ADestRect.Width < 1 || ADestRect.Height < 1) return;
  const gp::Graphics graphics = gp::CreateFromHDC(ADestCanvas);
  gp::SetInterpolationMode(graphics, gp::InterpolationMode::HighQualityBicubic);
  TGPRect source = MakeGPRect(0, 0, static_cast<std::int32_t>(gp::GetImageWidth(FGPBitmap)),
                              static_cast<std::int32_t>(gp::GetImageHeight(FGPBitmap)));
  gp::Image thumbnail;
  if (AIsSiding) {
    thumbnail = gp::GetImageThumbnail(FGPBitmap, static_cast<std::uint32_t>(ADestRect.Width),
                                      static_cast<std::uint32_t>(ADestRect.Height));
    source.Width = ADestRect.Width;
    source.Height = ADestRect.Height;
  }
  gp::DrawImageRectRectI(graphics, AIsSiding ? thumbnail : FGPBitmap, ADestRect.X, ADestRect.Y,
                         ADestRect.Width, ADestRect.Height, source.X, source.Y, source.Width,
                         source.Height, FSrcUnit);
}

}  // namespace vf
