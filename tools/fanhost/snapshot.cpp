#include "fanhost/snapshot.h"

#include <png.h>

namespace fanhost {

bool WriteSnapshot(const platform::Surface& surface, const std::string& path, std::string& error) {
  platform::PixelBuffer pixels = platform::ReadPixels(surface.DC(), 0, 0, surface.Width(), surface.Height());
  if (pixels.Empty()) {
    error = "nothing to write: the area is empty";
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
    error = std::string("cannot write ") + path + ": " + image.message;
    return false;
  }
  return true;
}

}  // namespace fanhost
