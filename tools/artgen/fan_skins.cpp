#include "fan_skins.h"

namespace artgen {

const std::vector<FanSkin>& FanSkins() {
  static const std::vector<FanSkin> skins{
      {kSkin0Size, kSkin0Frames, RenderFanSkin0},
      {kSkin1Size, kSkin1Frames, RenderFanSkin1},
      {kSkin2Size, kSkin2Frames, RenderFanSkin2},
  };
  return skins;
}

}  // namespace artgen
