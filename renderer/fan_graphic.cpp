#include "renderer/fan_graphic.h"

#include "renderer/fan_graphic_gdi.h"
#include "renderer/fan_graphic_gdiplus.h"

namespace vf {

std::unique_ptr<TFanGraphic> TFanGraphic::Create(bool AIsGdiPlus) {
  if (AIsGdiPlus) return std::make_unique<TFanGraphicGdiPlus>();
  return std::make_unique<TFanGraphicGdi>();
}

}  // namespace vf
