#include "renderer/fan_graphic_gdi.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/imaging.h"
#include "platform/text.h"
#include "renderer/errors.h"

namespace vf {

void TFanGraphicGdi::Decoded(platform::PixelBuffer image) {
  FPngImage = std::move(image);
  FGPRect.Width = FPngImage.Width();
  FGPRect.Height = FPngImage.Height();
}

void TFanGraphicGdi::LoadFromFile(const std::u16string& AFileName) {
  std::ifstream file(std::filesystem::path(AFileName), std::ios::binary);
  if (!file) throw Exception("Cannot open file \"" + platform::Utf16ToUtf8(AFileName) + "\"");
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
  Decoded(platform::png::Decode(bytes.data(), bytes.size()));
}

void TFanGraphicGdi::LoadFromResourceName(platform::ModuleHandle AInstance,
                                          const std::u16string& AResName) {
  const auto resource = platform::FindResourceW(AInstance, AResName);
  const void* data = resource != nullptr ? platform::LoadResource(AInstance, resource) : nullptr;
  if (data == nullptr) throw Exception("The png image could not be loaded from the resource ID.");
  Decoded(platform::png::Decode(data, platform::SizeofResource(AInstance, resource)));
}

void TFanGraphicGdi::DrawTo(platform::DeviceContext ADestCanvas, const TGPRect& ADestRect, bool) {
  if (ADestRect.Width < 1 || ADestRect.Height < 1 || FPngImage.Empty()) return;
  const int imageWidth = FPngImage.Width();
  const int imageHeight = FPngImage.Height();
  const bool scaled = ADestRect.Width != imageWidth || ADestRect.Height != imageHeight;
  const double fx = static_cast<double>(ADestRect.Width) / imageWidth;
  const double fy = static_cast<double>(ADestRect.Height) / imageHeight;

  platform::PixelBuffer area =
      platform::ReadPixels(ADestCanvas, ADestRect.X, ADestRect.Y, ADestRect.Width, ADestRect.Height);
  for (int j = 0; j < area.Height(); ++j) {
    const int sy = scaled ? std::min(imageHeight - 1, static_cast<int>(j / fy)) : j;
    const platform::Pixel32* source = FPngImage.Row(sy);
    platform::Pixel32* dest = area.Row(j);
    for (int i = 0; i < area.Width(); ++i) {
      const platform::Pixel32& s = source[scaled ? std::min(imageWidth - 1, static_cast<int>(i / fx)) : i];
      platform::Pixel32& d = dest[i];
      if (s.a == 0) continue;
      if (s.a == 255) {
        d = s;
        continue;
      }
      d.r = BlendChannel(s.r, d.r, s.a);
      d.g = BlendChannel(s.g, d.g, s.a);
      d.b = BlendChannel(s.b, d.b, s.a);
      d.a = BlendAlpha(d.a, s.a);
    }
  }
  platform::WritePixels(ADestCanvas, ADestRect.X, ADestRect.Y, area);
}

}  // namespace vf
