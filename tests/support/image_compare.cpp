#include "image_compare.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <string>

#include "png_encode.h"

namespace vf::test {
namespace {

int ChannelDifference(const platform::Pixel32& a, const platform::Pixel32& b, bool compareAlpha) {
  int worst = std::max({std::abs(a.b - b.b), std::abs(a.g - b.g), std::abs(a.r - b.r)});
  if (compareAlpha) worst = std::max(worst, std::abs(a.a - b.a));
  return worst;
}

std::string Describe(const platform::Pixel32& p) {
  return "(b " + std::to_string(p.b) + ", g " + std::to_string(p.g) + ", r " + std::to_string(p.r) +
         ", a " + std::to_string(p.a) + ")";
}

bool AlphaAllZero(const platform::PixelBuffer& pixels) {
  for (int y = 0; y < pixels.Height(); ++y) {
    for (int x = 0; x < pixels.Width(); ++x) {
      if (pixels.At(x, y).a != 0) return false;
    }
  }
  return true;
}

// Writes both images for inspection; a failure to write must not hide the comparison's result.
// Opaque surfaces keep 0 in their fourth byte, which as alpha would make the files look empty.
std::string SaveForInspection(const platform::PixelBuffer& actual, const platform::PixelBuffer& expected,
                              std::string_view name, bool withAlpha) {
  if (AlphaAllZero(actual) && AlphaAllZero(expected)) withAlpha = false;
  const std::string base(name);
  try {
    WritePngFile(base + "_actual.png", actual, withAlpha);
    WritePngFile(base + "_expected.png", expected, withAlpha);
    return "; wrote " + base + "_actual.png and " + base + "_expected.png";
  } catch (const std::exception& error) {
    return std::string("; could not write the images: ") + error.what();
  }
}

}  // namespace

::testing::AssertionResult ImagesMatch(const platform::PixelBuffer& actual,
                                       const platform::PixelBuffer& expected, std::string_view name,
                                       CompareOptions options) {
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height()) {
    return ::testing::AssertionFailure()
           << name << ": size " << actual.Width() << " x " << actual.Height() << ", expected "
           << expected.Width() << " x " << expected.Height();
  }
  long long differing = 0;
  int firstX = -1, firstY = -1;
  int worst = 0;
  for (int y = 0; y < actual.Height(); ++y) {
    for (int x = 0; x < actual.Width(); ++x) {
      const int difference = ChannelDifference(actual.At(x, y), expected.At(x, y), options.compareAlpha);
      if (difference <= options.tolerance) continue;
      if (differing++ == 0) {
        firstX = x;
        firstY = y;
      }
      worst = std::max(worst, difference);
    }
  }
  if (differing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << name << ": " << differing << " pixel(s) differ by more than " << options.tolerance
         << " (worst " << worst << "); first at (" << firstX << ", " << firstY << "): "
         << Describe(actual.At(firstX, firstY)) << ", expected " << Describe(expected.At(firstX, firstY))
         << SaveForInspection(actual, expected, name, options.compareAlpha);
}

}  // namespace vf::test
