// Probing against a small fixture set: skins 0 (three frames) and 1 (two frames), a gap at 2, then
// skins 3 and 4 (one frame each); backgrounds 0 (stretched centre), 1 (both a tiled and a stretched
// centre), 2 (corners and edges but no centre), then 3 (a vertical centre) after that gap.
#include <gtest/gtest.h>

#include "renderer/fan_background.h"
#include "renderer/fan_frames.h"
#include "renderer/fan_graphic.h"
#include "renderer/image_catalogue.h"
#include "renderer/imaging_lifetime.h"
#include "platform/resources.h"
#include "platform/surface.h"
#include "support/image_compare.h"

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

TEST(CatalogueFixture, FrameSetsStopAtTheFirstMissingFrame) {
  const struct {
    std::int32_t skin;
    std::int32_t frames;
  } cases[] = {{0, 3}, {1, 2}, {3, 1}, {4, 1}};
  for (const auto& c : cases) {
    TFanFrames frames(c.skin, false);
    EXPECT_EQ(frames.FramesCount(), c.frames) << "skin " << c.skin;
    EXPECT_EQ(frames.SkinCount(), 2) << "skin " << c.skin;
  }
}

TEST(CatalogueFixture, TheFirstPresentCentreNameDecidesThePlacement) {
  const struct {
    std::int32_t background;
    TTypePos centre;
  } cases[] = {{0, TTypePos::tpStretch}, {1, TTypePos::tpPart}, {2, TTypePos::tpNone},
               {3, TTypePos::tpVert}};
  for (const auto& c : cases) {
    TFanBackground background(c.background, 0, 0, false);
    EXPECT_EQ(background.Parts().PosCentr, c.centre) << "background " << c.background;
    EXPECT_EQ(background.Parts().Centr->Width() == 0, c.centre == TTypePos::tpNone)
        << "background " << c.background;
  }
}

TEST(CatalogueFixture, NegativeNumbersFormNamesThatAreNeverPresent) {
  EXPECT_EQ(FormatName(kFanFrameFormat, {-1, 0}), u"FAN_-1_0");
  EXPECT_EQ(FormatName(u"CENTR_STRETCH_%d", {-12}), u"CENTR_STRETCH_-12");
  EXPECT_EQ(FormatName(kFanFrameFormat, {7, 30}), u"FAN_7_30");
  EXPECT_FALSE(FanSkinExists(-1));
  EXPECT_FALSE(BackgroundExists(-1));
}

// Bytes that are no image: the imaging library's back end loads nothing and says nothing, as
// GDI+ does; the libpng back end raises the codec's own exception.
TEST(CatalogueFixture, UndecodableResource) {
  ImagingUser imaging;
  auto viaImaging = TFanGraphic::Create(true);
  EXPECT_NO_THROW(viaImaging->LoadFromResourceName(platform::ThisModule(), u"UNDECODABLE"));
  EXPECT_EQ(viaImaging->GPRect(), TGPRect{});
  platform::Surface surface;
  surface.SetSize(8, 8);
  const auto before = platform::ReadPixels(surface.DC(), 0, 0, 8, 8);
  viaImaging->DrawTo(surface.DC(), MakeGPRect(0, 0, 8, 8), false);
  EXPECT_TRUE(test::ImagesMatch(platform::ReadPixels(surface.DC(), 0, 0, 8, 8), before, "undecodable_draw"));

  auto viaLibpng = TFanGraphic::Create(false);
  EXPECT_THROW(viaLibpng->LoadFromResourceName(platform::ThisModule(), u"UNDECODABLE"), std::exception);
  EXPECT_EQ(viaLibpng->GPRect(), TGPRect{});
}

}  // namespace
}  // namespace vf
