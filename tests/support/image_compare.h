#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>

#include "platform/pixel_buffer.h"

// Comparing images in tests with a tolerance, the way reference-image tests need it: the failure
// names the first pixel that differs and how many do, and leaves both images as PNG files
// (<name>_actual.png and <name>_expected.png) in the lane's build tree, under
// test-output/failed-images, to look at.
namespace vf::test {

struct CompareOptions {
  int tolerance = 0;          // largest allowed difference of any one channel
  bool compareAlpha = true;   // false for opaque surfaces, whose fourth byte carries no meaning
};

::testing::AssertionResult ImagesMatch(const platform::PixelBuffer& actual,
                                       const platform::PixelBuffer& expected, std::string_view name,
                                       CompareOptions options = {});

// Succeeds when the images differ beyond the tolerance: the outcome a test expects, so it writes no
// files either way.
::testing::AssertionResult ImagesDiffer(const platform::PixelBuffer& actual,
                                        const platform::PixelBuffer& expected, std::string_view name,
                                        CompareOptions options = {});

// How many pixels of two images of one size differ at all: a measure of how much a picture moved.
int CountDifferentPixels(const platform::PixelBuffer& a, const platform::PixelBuffer& b);

// The folder of the lane's build tree where tests leave files to look at; created on demand.
std::filesystem::path TestOutputDir(std::string_view subfolder);

}  // namespace vf::test
