#pragma once

#include <vector>

#include "image.h"

namespace artgen {

// One fan skin: a square picture per frame; frame k shows the rotor turned clockwise by k
// equal steps, and one more step would give frame 0 again.
struct FanSkin {
  int size = 0;  // side of the square, pixels
  int frames = 0;
  Image (*render)(int frame) = nullptr;
};

// The skins in the order of their resource numbers.
const std::vector<FanSkin>& FanSkins();

// A dark metal PC-case fan in a round housing; opaque, same outline in every frame.
Image RenderFanSkin0(int frame);
// The same frame drawn as a square of any side, sampled as finely: the application icon.
Image RenderFanSkin0At(int frame, int size);
// A tinted glass propeller; translucent, its alpha turns with the blades.
Image RenderFanSkin1(int frame);
// A heavy industrial fan with a bright painted ring; opaque, same outline in every frame.
Image RenderFanSkin2(int frame);

inline constexpr int kSkin0Size = 119, kSkin0Frames = 31;
inline constexpr int kSkin1Size = 127, kSkin1Frames = 31;
inline constexpr int kSkin2Size = 143, kSkin2Frames = 30;

// Samples per pixel along each axis. Fans are shown enlarged, so edges need many coverage
// levels to stay smooth.
inline constexpr int kFanSupersampling = 6;

}  // namespace artgen
