#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "renderer/fan_graphic.h"

// The rotation frames of the current fan skin, one graphic per frame in frame order, loaded from
// the embedded images "FAN_<skin>_<frame>".
namespace vf {

class TFanFrames {
 public:
  struct TFanInfo {
    std::int32_t FanIndex = 0;
    std::int32_t FanCount = 0;
    std::int32_t FramesCount = 0;
  };

  // Loads skin AFanIndex; raises when it has no frame 0.
  TFanFrames(std::int32_t AFanIndex, bool AIsGdiPlus);

  static std::int32_t CountFanSkins();

  bool IsGdiPlus() const { return FIsGdiPlus; }
  // Rebuilds the frames with the new back end, also when the value is unchanged.
  void SetIsGdiPlus(bool Value);

  std::int32_t SkinFanIndex() const { return FInfo.FanIndex; }
  // Selects a skin and loads its frames; any number is tried, and the current skin reloads.
  void SetSkinFanIndex(std::int32_t Value);

  std::int32_t FramesCount() const { return FInfo.FramesCount; }
  std::int32_t SkinCount() const { return FInfo.FanCount; }

  // Frame AIndex; the frame set keeps it until the next reload. Raises for an index outside.
  TFanGraphic& GetFrame(std::int32_t AIndex) const;

 private:
  bool TryLoadFrame(const std::u16string& AName);

  bool FIsGdiPlus;
  TFanInfo FInfo;
  std::vector<std::unique_ptr<TFanGraphic>> FFrames;
};

}  // namespace vf
