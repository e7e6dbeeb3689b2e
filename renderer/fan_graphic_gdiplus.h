#pragma once

#include "platform/imaging.h"
#include "renderer/fan_graphic.h"

namespace vf {

// Keeps an imaging-library bitmap and draws it with high-quality bicubic interpolation.
class TFanGraphicGdiPlus final : public TFanGraphic {
 public:
  void LoadFromFile(const std::u16string& AFileName) override;
  void LoadFromResourceName(platform::ModuleHandle AInstance, const std::u16string& AResName) override;
  void DrawTo(platform::DeviceContext ADestCanvas, const TGPRect& ADestRect, bool AIsSiding) override;

 private:
  void ReadSize();

  // The block a resource-loaded bitmap reads its bytes from. It is declared before the bitmap so
  // that it is freed after it: the bitmap reads from the block for as long as it exists.
  platform::GlobalMemory FGlobalMemory;
  platform::gdiplus::Image FGPBitmap;
  platform::gdiplus::Unit FSrcUnit = platform::gdiplus::Unit::World;
};

}  // namespace vf
