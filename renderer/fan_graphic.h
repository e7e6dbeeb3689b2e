#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/resources.h"
#include "platform/surface.h"
#include "renderer/geometry.h"

// The renderer's one image type: a PNG loaded once, from an embedded resource or a file, and then
// drawn any number of times into a rectangle of a drawing surface. Two back ends stand behind it:
// the imaging library's (high-quality scaling, source-over compositing) and a plain one that
// decodes with libpng and blends every pixel itself.
namespace vf {

class TFanGraphic {
 public:
  // A new, empty graphic of the chosen back end; the caller owns it.
  static std::unique_ptr<TFanGraphic> Create(bool AIsGdiPlus);

  virtual ~TFanGraphic() = default;
  TFanGraphic(const TFanGraphic&) = delete;
  TFanGraphic& operator=(const TFanGraphic&) = delete;

  virtual void LoadFromFile(const std::u16string& AFileName) = 0;
  virtual void LoadFromResourceName(platform::ModuleHandle AInstance, const std::u16string& AResName) = 0;
  // Draws the image into ADestRect of the surface; rectangles without a positive size draw nothing.
  // AIsSiding draws through a copy pre-scaled to the rectangle's size (imaging-library back end).
  virtual void DrawTo(platform::DeviceContext ADestCanvas, const TGPRect& ADestRect, bool AIsSiding) = 0;

  std::int32_t Width() const { return FGPRect.Width; }
  std::int32_t Height() const { return FGPRect.Height; }
  TGPRect GPRect() const { return FGPRect; }

 protected:
  TFanGraphic() = default;
  TGPRect FGPRect;  // X and Y stay 0; the size is the loaded image's
};

}  // namespace vf
