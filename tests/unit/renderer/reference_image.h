#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "platform/pixel_buffer.h"
#include "platform/surface.h"
#include "support/image_compare.h"

// Reference images are kept per platform back end under tests/reference/<back end>/, because the
// imaging libraries resample differently. Setting VF_UPDATE_REFERENCES=1 writes the current output
// as the new reference instead of comparing; look at the files before committing them.
namespace vf::test {

// Opaque surfaces are compared on their colour channels, within this many levels per channel.
inline constexpr int kReferenceTolerance = 2;

::testing::AssertionResult MatchesReference(const platform::PixelBuffer& actual, std::string_view name,
                                            CompareOptions options = {kReferenceTolerance, false});

platform::PixelBuffer Pixels(const platform::Surface& surface);

}  // namespace vf::test
