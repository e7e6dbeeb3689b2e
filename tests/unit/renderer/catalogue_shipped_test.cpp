// The shipped artwork as the module carries it: three fan skins of 31, 31 and 30 frames, ten
// backgrounds, each a single stretched centre.
#include <gtest/gtest.h>

#include "platform/resources.h"
#include "renderer/fan_background.h"
#include "renderer/fan_frames.h"
#include "renderer/image_catalogue.h"

namespace vf {
namespace {

TEST(CatalogueShipped, SkinsFramesAndBackgrounds) {
  EXPECT_EQ(CountFanSkins(), 3);
  const std::int32_t frames[] = {31, 31, 30};
  for (std::int32_t skin = 0; skin < 3; ++skin)
    EXPECT_EQ(TFanFrames(skin, false).FramesCount(), frames[skin]) << "skin " << skin;
  EXPECT_EQ(CountBackgrounds(), 10);
  for (std::int32_t index = 0; index < 10; ++index) {
    TFanBackground background(index, 0, 0, false);
    EXPECT_EQ(background.Parts().PosCentr, TTypePos::tpStretch) << "background " << index;
  }
}

TEST(CatalogueShipped, StoredBytesArePng) {
  const auto module = platform::ThisModule();
  const auto resource = platform::FindResourceW(module, u"FAN_0_0");
  ASSERT_NE(resource, nullptr);
  const auto size = platform::SizeofResource(module, resource);
  const auto* bytes = static_cast<const unsigned char*>(platform::LoadResource(module, resource));
  ASSERT_GT(size, 8u);
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(bytes[1], 'P');
  EXPECT_EQ(bytes[2], 'N');
  EXPECT_EQ(bytes[3], 'G');
}

}  // namespace
}  // namespace vf
