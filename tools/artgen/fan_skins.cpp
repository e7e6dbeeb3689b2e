#include "fan_skins.h"

namespace artgen {

const std::vector<FanSkin>& fan_skins() {
    static const std::vector<FanSkin> skins{
        {kSkin0Size, kSkin0Frames, render_fan_skin0},
        {kSkin1Size, kSkin1Frames, render_fan_skin1},
        {kSkin2Size, kSkin2Frames, render_fan_skin2},
    };
    return skins;
}

}  // namespace artgen
