#pragma once

#include "platform/pixel_buffer.h"
#include "renderer/fan_graphic.h"

namespace vf {

// Decodes with libpng and draws by nearest sample, blending each pixel by its alpha on a copy of
// the destination area that is then written back.
class TFanGraphicGdi final : public TFanGraphic {
 public:
  void LoadFromFile(const std::u16string& AFileName) override;
  void LoadFromResourceName(platform::ModuleHandle AInstance, const std::u16string& AResName) override;
  void DrawTo(platform::DeviceContext ADestCanvas, const TGPRect& ADestRect, bool AIsSiding) override;

  // The blend of one colour channel and of the destination's alpha byte by source alpha a.
  static std::uint8_t BlendChannel(std::uint8_t source, std::uint8_t dest, std::uint8_t a) {
    return static_cast<std::uint8_t>((source * a + dest * (255 - a) + 127) / 255);
  }
  static std::uint8_t BlendAlpha(std::uint8_t destAlpha, std::uint8_t a) {
    return static_cast<std::uint8_t>(255 - ((255 - destAlpha) * (255 - a) + 127) / 255);
  }

 private:
  void Decoded(platform::PixelBuffer image);

  platform::PixelBuffer FPngImage;
};

}  // namespace vf
