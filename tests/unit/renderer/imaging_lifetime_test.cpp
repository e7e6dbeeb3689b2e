// The imaging library starts before the first image and stops with its last user; a start that
// failed is tried again at the next image instead of being taken for a running library.
#include "renderer/imaging_lifetime.h"

#include <gtest/gtest.h>

namespace vf {
namespace {

int gStarts = 0;
std::uintptr_t gNextToken = 0;
std::uintptr_t gShutDownToken = 0;

std::uintptr_t FakeStartup() {
  ++gStarts;
  return gNextToken;
}
void FakeShutdown(std::uintptr_t token) { gShutDownToken = token; }

TEST(ImagingLifetime, AFailedStartIsTriedAgainAndAStartedOneStopsWithTheLastUser) {
  ASSERT_FALSE(ImagingStarted());
  SetImagingCallsForTesting({FakeStartup, FakeShutdown});
  {
    ImagingUser user;
    gNextToken = 0;  // the library refuses to start
    EnsureImagingStarted();
    EXPECT_FALSE(ImagingStarted());
    gNextToken = 42;
    EnsureImagingStarted();
    EXPECT_TRUE(ImagingStarted());
    EnsureImagingStarted();
    EXPECT_EQ(gStarts, 2);
  }
  EXPECT_EQ(gShutDownToken, 42u);
  EXPECT_FALSE(ImagingStarted());
  SetImagingCallsForTesting({});
}

}  // namespace
}  // namespace vf
