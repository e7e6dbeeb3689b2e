#pragma once

#include <vector>

#include "options/skin/skin.h"

namespace vf::skin {

// The five skins embedded in the module, in their stored order: "Deep (internal)",
// "DarkGlass (internal)", "MacOS (internal)", "TV-b (internal)", "Cold (internal)".
std::vector<TSkin> InternalSkins();

// The look without a skin: the stored black window with black labels and plain grey controls.
const TSkin& PlainLook();

}  // namespace vf::skin
