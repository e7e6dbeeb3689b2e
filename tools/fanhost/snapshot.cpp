#include "fanhost/snapshot.h"

#include <png.h>

#include <cstdio>

namespace fanhost {

bool WriteSnapshot(const platform::Surface& surface, const std::string& path) {
  platform::PixelBuffer pixels = platform::ReadPixels(surface.DC(), 0, 0, surface.Width(), surface.Height());
  if (pixels.Empty()) {
    std::fprintf(stderr, "fanhost: nothing to write to %s: the area is empty\n", path.c_str());
    return false;
  }
  // A surface's fourth byte carries no meaning; the picture is opaque.
  for (int y = 0; y < pixels.Height(); ++y)
    for (int x = 0; x < pixels.Width(); ++x) pixels.At(x, y).a = 255;

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(pixels.Width());
  image.height = static_cast<png_uint_32>(pixels.Height());
  image.format = PNG_FORMAT_BGRA;
  if (!png_image_write_to_file(&image, path.c_str(), 0, pixels.Row(0), static_cast<png_int_32>(pixels.Stride()),
                               nullptr)) {
    std::fprintf(stderr, "fanhost: cannot write %s: %s\n", path.c_str(), image.message);
    return false;
  }
  std::printf("last frame written to %s\n", path.c_str());
  return true;
}

}  // namespace fanhost
