#pragma once

#include <string>

#include "image.h"

namespace artgen {

// Writes `image` as an 8-bit RGBA, non-interlaced PNG with chromaticity (sRGB primaries,
// D65 white) and physical pixel size (72 dpi) chunks and nothing time-dependent. The
// compression level, strategy, window and filter are fixed, so the same pixels always give
// the same bytes with the same zlib. Returns false and sets `error` on failure.
bool WritePng(const std::string& path, const Image& image, std::string& error);

}  // namespace artgen
