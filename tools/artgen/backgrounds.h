#pragma once

#include <vector>

#include "image.h"

namespace artgen {

// The backgrounds in the order of their resource numbers: three grey textures and seven
// plain colours. Each is stretched to the whole window, so none has structure that would
// visibly distort at another aspect ratio.
std::vector<Image> RenderBackgrounds();

}  // namespace artgen
