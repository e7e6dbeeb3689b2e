#pragma once

#include <string>

#include "platform/surface.h"

namespace fanhost {

// Writes what the surface shows as an opaque PNG file and says so on standard output; false, said
// on standard error, when it cannot.
bool WriteSnapshot(const platform::Surface& surface, const std::string& path);

}  // namespace fanhost
