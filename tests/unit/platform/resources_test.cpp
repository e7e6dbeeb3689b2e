// Embedded images are found by name and loaded through a global memory block and a stream, the
// eleven steps of the renderer's GDI+ load; a missing name reports "resource name not found".
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/image_compare.h"
#include "test_images.h"

namespace vf::test {
namespace {

namespace gp = platform::gdiplus;

constexpr std::uint32_t kErrorResourceNameNotFound = 1814;

using Resources = ImagingTest;

TEST_F(Resources, AnEmbeddedPngLoadsThroughAStream) {
  const platform::ModuleHandle module = platform::ThisModule();
  const platform::ResourceHandle resource = platform::FindResourceW(module, u"SWATCH");
  ASSERT_NE(resource, nullptr);
  const std::uint32_t size = platform::SizeofResource(module, resource);
  ASSERT_NE(size, 0u);
  const void* data = platform::LoadResource(module, resource);
  ASSERT_NE(data, nullptr);

  platform::GlobalMemory memory = platform::GlobalMemory::Alloc(size);
  ASSERT_TRUE(memory);
  void* block = platform::GlobalLock(memory);
  ASSERT_NE(block, nullptr);
  std::memcpy(block, data, size);
  gp::Image image;
  {
    platform::Stream stream;
    ASSERT_EQ(platform::Stream::CreateOnHGlobal(memory, stream), 0);
    image = gp::CreateBitmapFromStream(stream);
  }
  ASSERT_TRUE(image);
  EXPECT_EQ(gp::GetImageBounds(image), gp::Unit::Pixel);
  ASSERT_EQ(gp::GetImageWidth(image), 3u);
  ASSERT_EQ(gp::GetImageHeight(image), 2u);

  // The fixture: opaque red, green at alpha 128, transparent; opaque blue, grey 100 at alpha 64,
  // opaque black. Drawn 1:1 over white.
  platform::Surface surface = SurfaceOf(Filled(3, 2, {255, 255, 255, 255}));
  Draw(surface, image, 0, 0, 3, 2);
  PixelBuffer expected(3, 2);
  expected.At(0, 0) = {0, 0, 255, 255};
  expected.At(1, 0) = {127, 255, 127, 255};
  expected.At(2, 0) = {255, 255, 255, 255};
  expected.At(0, 1) = {255, 0, 0, 255};
  expected.At(1, 1) = {216, 216, 216, 255};
  expected.At(2, 1) = {0, 0, 0, 255};
  EXPECT_TRUE(ImagesMatch(Contents(surface), expected, "swatch", {.tolerance = 1, .compareAlpha = false}));
}

TEST(ResourceLookup, AMissingNameSetsTheLastError) {
  const platform::ModuleHandle module = platform::ThisModule();
  EXPECT_EQ(platform::FindResourceW(module, u"NO_SUCH_IMAGE"), nullptr);
  EXPECT_EQ(platform::GetLastError(), kErrorResourceNameNotFound);
  // A prefix or a longer name is another name.
  EXPECT_EQ(platform::FindResourceW(module, u"SWATC"), nullptr);
  EXPECT_EQ(platform::FindResourceW(module, u"SWATCH_1"), nullptr);
  EXPECT_NE(platform::FindResourceW(module, u"SWATCH"), nullptr);
}

TEST(ResourceLookup, GlobalMemoryBlocksAreWritableAndStreamsShareThem) {
  platform::GlobalMemory memory = platform::GlobalMemory::Alloc(16);
  ASSERT_TRUE(memory);
  auto* bytes = static_cast<std::uint8_t*>(platform::GlobalLock(memory));
  ASSERT_NE(bytes, nullptr);
  std::memset(bytes, 0xAB, 16);
  platform::Stream stream;
  ASSERT_EQ(platform::Stream::CreateOnHGlobal(memory, stream), 0);
  EXPECT_TRUE(stream);
  // Releasing the stream leaves the block to its owner.
  stream = platform::Stream();
  EXPECT_EQ(static_cast<std::uint8_t*>(platform::GlobalLock(memory))[15], 0xAB);

  platform::GlobalMemory moved = std::move(memory);
  EXPECT_TRUE(moved);
  EXPECT_FALSE(memory);  // NOLINT(bugprone-use-after-move): moved-from handles are empty
}

}  // namespace
}  // namespace vf::test
