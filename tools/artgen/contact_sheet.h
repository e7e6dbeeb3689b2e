#pragma once

#include <vector>

#include "image.h"

namespace artgen {

// A review sheet, not part of the artwork. One row per fan skin: frames 0, 1 and 15
// enlarged to 320 px over mid grey, frame 0 over a coloured checkerboard (which shows the
// alpha), and frame 0 against frame 4 (frame 0 in red, frame 4 in cyan: cyan fringes on the
// clockwise side of the blades mean clockwise rotation). Below, every background stretched
// to 320 x 180 and to 180 x 320.
Image BuildContactSheet(const std::vector<std::vector<Image>>& skins,
                        const std::vector<Image>& backgrounds);

}  // namespace artgen
