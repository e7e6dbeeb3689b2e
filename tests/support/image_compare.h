#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "platform/pixel_buffer.h"

// Comparing images in tests with a tolerance, the way reference-image tests need it: the failure
// names the first pixel that differs and how many do, and leaves both images beside the test as
// PNG files (<name>_actual.png and <name>_expected.png in the working directory) to look at.
namespace vf::test {

struct CompareOptions {
  int tolerance = 0;          // largest allowed difference of any one channel
  bool compareAlpha = true;   // false for opaque surfaces, whose fourth byte carries no meaning
};

::testing::AssertionResult ImagesMatch(const platform::PixelBuffer& actual,
                                       const platform::PixelBuffer& expected, std::string_view name,
                                       CompareOptions options = {});

}  // namespace vf::test
