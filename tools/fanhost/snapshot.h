#pragma once

#include <string>

#include "platform/surface.h"

namespace fanhost {

// Writes what the surface shows as an opaque PNG file; false with error set on failure.
bool WriteSnapshot(const platform::Surface& surface, const std::string& path, std::string& error);

}  // namespace fanhost
