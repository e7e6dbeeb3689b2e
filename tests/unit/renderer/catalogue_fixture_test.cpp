// Probing against a small fixture set: skins 0 (three frames) and 1 (two frames), a gap at 2, then
// skins 3 and 4 (one frame each); backgrounds 0 (stretched centre), 1 (both a tiled and a stretched
// centre), 2 (corners and edges but no centre), then 3 (a vertical centre) after that gap.
#include <gtest/gtest.h>

#include "renderer/image_catalogue.h"

namespace vf {
namespace {

TEST(CatalogueFixture, CountsStopAtTheFirstGap) {
  EXPECT_EQ(CountFanSkins(), 2);
  EXPECT_TRUE(FanSkinExists(3));
  EXPECT_TRUE(FanSkinExists(4));
  EXPECT_FALSE(FanSkinExists(2));

  // Corners and edges alone do not make background 2 exist, so the count stops there.
  EXPECT_EQ(CountBackgrounds(), 2);
  EXPECT_FALSE(BackgroundExists(2));
  EXPECT_TRUE(BackgroundExists(3));
}

TEST(CatalogueFixture, FrameNamesEnumerateUntilTheFirstMissingOne) {
  auto frames = [](int skin) {
    int count = 0;
    while (ResourcePresent(FormatName(kFanFrameFormat, {skin, count}))) ++count;
    return count;
  };
  EXPECT_EQ(frames(0), 3);
  EXPECT_EQ(frames(1), 2);
  EXPECT_EQ(frames(4), 1);
  EXPECT_EQ(frames(2), 0);
}

TEST(CatalogueFixture, CentreNamesAreTriedInOrder) {
  // Background 1 has both a tiled and a stretched centre: the tiled one is found first.
  TTypePos found = TTypePos::tpNone;
  for (const auto& centre : kCentrNames) {
    if (ResourcePresent(FormatName(centre.Format, {1}))) {
      found = centre.Pos;
      break;
    }
  }
  EXPECT_EQ(found, TTypePos::tpPart);
}

TEST(CatalogueFixture, NegativeNumbersFormNamesThatAreNeverPresent) {
  EXPECT_EQ(FormatName(kFanFrameFormat, {-1, 0}), u"FAN_-1_0");
  EXPECT_EQ(FormatName(u"CENTR_STRETCH_%d", {-12}), u"CENTR_STRETCH_-12");
  EXPECT_EQ(FormatName(kFanFrameFormat, {7, 30}), u"FAN_7_30");
  EXPECT_FALSE(FanSkinExists(-1));
  EXPECT_FALSE(BackgroundExists(-1));
}

}  // namespace
}  // namespace vf
