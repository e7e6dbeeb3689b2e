#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/surface.h"
#include "renderer/composition_plan.h"
#include "renderer/fan_graphic.h"
#include "renderer/geometry.h"
#include "renderer/image_catalogue.h"

// One background skin, turned into a bitmap of any size in two stages: its parts (a centre, four
// edges and four corners, each tiled or stretched over its band) are laid out at their natural size
// on a bitmap of the composition size, which is then scaled as a whole to the target size.
namespace vf {

class TFanBackground {
 public:
  struct TFanParts {
    std::unique_ptr<TFanGraphic> Centr;
    TTypePos PosCentr = TTypePos::tpNone;
    std::unique_ptr<TFanGraphic> TopLeft;
    std::unique_ptr<TFanGraphic> TopRight;
    std::unique_ptr<TFanGraphic> BottomLeft;
    std::unique_ptr<TFanGraphic> BottomRight;
    std::unique_ptr<TFanGraphic> TopLeftRight;
    TTypePos PosTopLeftRight = TTypePos::tpNone;
    std::unique_ptr<TFanGraphic> BottomLeftRight;
    TTypePos PosBottomLeftRight = TTypePos::tpNone;
    std::unique_ptr<TFanGraphic> LeftTopBottom;
    TTypePos PosLeftTopBottom = TTypePos::tpNone;
    std::unique_ptr<TFanGraphic> RightTopBottom;
    TTypePos PosRightTopBottom = TTypePos::tpNone;
  };

  struct TFanInfo {
    std::int32_t BackCount = 0;
    std::int32_t BackIndex = 0;
    std::int32_t OrigWidth = 0;
    std::int32_t OrigHeight = 0;
    TGPRect GPRect;
    TRect OrigPadding;
  };

  // Loads the parts of background ABackIndex; composes nothing until the first SetSize.
  TFanBackground(std::int32_t ABackIndex, std::int32_t AWidth, std::int32_t AHeight, bool AIsGdiPlus);

  static std::int32_t CountBackgrounds();

  // Stores the composition and target sizes and composes, every time.
  void SetSize(std::int32_t AOrigWidth, std::int32_t AOrigHeight, std::int32_t AWidth,
               std::int32_t AHeight);

  std::int32_t BackIndex() const { return FInfo.BackIndex; }
  // Loads another background's parts; Bitmap keeps the old composition until the next SetSize.
  void SetBackIndex(std::int32_t Value);

  bool IsGdiPlus() const { return FIsGdiPlus; }
  // Reloads the parts as graphics of the chosen back end and composes again.
  void SetIsGdiPlus(bool Value);

  const platform::Surface& Bitmap() const { return FBack; }
  std::int32_t Width() const { return FInfo.GPRect.Width; }
  std::int32_t Height() const { return FInfo.GPRect.Height; }
  TGPRect GPRect() const { return FInfo.GPRect; }
  // Border widths in composition pixels, from the edges only.
  TRect Padding() const { return FInfo.OrigPadding; }
  std::int32_t SkinCount() const { return FInfo.BackCount; }
  const TFanParts& Parts() const { return FFanParts; }

 private:
  void CreateParts();
  void LoadParts();
  void ComposeBack();
  TFanGraphic& PartAt(TPartSlot slot) const;
  TPartLayouts PartLayouts() const;

  bool FIsGdiPlus;
  TFanInfo FInfo;
  TFanParts FFanParts;
  platform::Surface FBack;
};

// Scales a rectangle of one bitmap into a rectangle of another: a plain stretch copy, or with the
// imaging library's high-quality resample, pre-scaled to the destination size when APreScale.
void StretchDrawBitmap(const platform::Surface& ASource, platform::Surface& ADest,
                       const TGPRect& ASourceRect, const TGPRect& ADestRect, bool AIsGdiPlus,
                       bool APreScale);

}  // namespace vf
