#include "support/image_compare.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <string>

#include "support/png_encode.h"

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
// Pictures whose fourth byte is 0 throughout carry no alpha (a cleared buffer, say), and written
// with it they would look empty, so they are written opaque.
std::string SaveForInspection(const platform::PixelBuffer& actual, const platform::PixelBuffer& expected,
                              std::string_view name, bool withAlpha) {
  if (AlphaAllZero(actual) && AlphaAllZero(expected)) withAlpha = false;
  try {
    const auto base = TestOutputDir("failed-images") / std::string(name);
    WritePngFile(base.string() + "_actual.png", actual, withAlpha);
    WritePngFile(base.string() + "_expected.png", expected, withAlpha);
    return "; wrote " + base.string() + "_actual.png and _expected.png";
  } catch (const std::exception& error) {
    return std::string("; could not write the images: ") + error.what();
  }
}

struct Difference {
  long long differing = 0;
  int firstX = -1;
  int firstY = -1;
  int worst = 0;
};

Difference Compare(const platform::PixelBuffer& actual, const platform::PixelBuffer& expected,
                   CompareOptions options) {
  Difference d;
  for (int y = 0; y < actual.Height(); ++y) {
    for (int x = 0; x < actual.Width(); ++x) {
      const int difference = ChannelDifference(actual.At(x, y), expected.At(x, y), options.compareAlpha);
      if (difference <= options.tolerance) continue;
      if (d.differing++ == 0) {
        d.firstX = x;
        d.firstY = y;
      }
      d.worst = std::max(d.worst, difference);
    }
  }
  return d;
}

bool SameSize(const platform::PixelBuffer& a, const platform::PixelBuffer& b) {
  return a.Width() == b.Width() && a.Height() == b.Height();
}

}  // namespace

std::filesystem::path TestOutputDir(std::string_view subfolder) {
  const auto dir = std::filesystem::path(VF_TEST_OUTPUT_DIR) / std::string(subfolder);
  std::filesystem::create_directories(dir);
  return dir;
}

::testing::AssertionResult ImagesMatch(const platform::PixelBuffer& actual,
                                       const platform::PixelBuffer& expected, std::string_view name,
                                       CompareOptions options) {
  if (!SameSize(actual, expected)) {
    return ::testing::AssertionFailure()
           << name << ": size " << actual.Width() << " x " << actual.Height() << ", expected "
           << expected.Width() << " x " << expected.Height();
  }
  const Difference d = Compare(actual, expected, options);
  if (d.differing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << name << ": " << d.differing << " pixel(s) differ by more than " << options.tolerance
         << " (worst " << d.worst << "); first at (" << d.firstX << ", " << d.firstY << "): "
         << Describe(actual.At(d.firstX, d.firstY)) << ", expected "
         << Describe(expected.At(d.firstX, d.firstY))
         << SaveForInspection(actual, expected, name, options.compareAlpha);
}

int CountDifferentPixels(const platform::PixelBuffer& a, const platform::PixelBuffer& b) {
  int changed = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) changed += !(a.At(x, y) == b.At(x, y));
  return changed;
}

::testing::AssertionResult ImagesDiffer(const platform::PixelBuffer& actual,
                                        const platform::PixelBuffer& expected, std::string_view name,
                                        CompareOptions options) {
  if (!SameSize(actual, expected) || Compare(actual, expected, options).differing > 0)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << name << ": the images match within " << options.tolerance << ", expected a difference";
}

}  // namespace vf::test
