// The shipped artwork as the module carries it: three fan skins of 31, 31 and 30 frames, ten
// backgrounds, each a single stretched centre.
#include <gtest/gtest.h>

#include "platform/resources.h"
#include "renderer/image_catalogue.h"

namespace vf {
namespace {

int FrameCount(int skin) {
  int count = 0;
  while (ResourcePresent(FormatName(kFanFrameFormat, {skin, count}))) ++count;
  return count;
}

TEST(CatalogueShipped, SkinsFramesAndBackgrounds) {
  EXPECT_EQ(CountFanSkins(), 3);
  EXPECT_EQ(FrameCount(0), 31);
  EXPECT_EQ(FrameCount(1), 31);
  EXPECT_EQ(FrameCount(2), 30);
  EXPECT_EQ(CountBackgrounds(), 10);
  for (int i = 0; i < 10; ++i)
    EXPECT_TRUE(ResourcePresent(FormatName(u"CENTR_STRETCH_%d", {i}))) << i;
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
