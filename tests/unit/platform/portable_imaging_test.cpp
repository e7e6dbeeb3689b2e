// What only the portable back end promises: Catmull-Rom weights in exact fixed point, built once
// per size pair; filtering in premultiplied alpha, so colour hidden under alpha 0 never shows;
// surfaces whose fourth byte starts at 0; the resource table and the Windows error texts.
#include <gtest/gtest.h>

#include <numeric>

#include "platform/embedded_resources.h"
#include "resampler.h"
#include "test_images.h"

namespace vf::test {
namespace {

namespace gp = platform::gdiplus;
using platform::portable::AxisWeights;
using platform::portable::BuildAxisWeights;
using platform::portable::Filter;

std::vector<int> WeightsOf(const AxisWeights& axis, int d) {
  const auto first = axis.weights.begin() + static_cast<std::ptrdiff_t>(d) * axis.taps;
  return {first, first + axis.taps};
}

TEST(PortableResampler, EnlargingUsesCatmullRomInFourteenBits) {
  // Doubling puts destination centres at quarter phases, where the cubic's weights are exact
  // multiples of 1/128: (-9, 111, 29, -3) / 128 and the mirror image.
  const AxisWeights axis = BuildAxisWeights(8, 16, Filter::Cubic);
  ASSERT_EQ(axis.taps, 4);
  EXPECT_EQ(axis.start[6], 1);
  EXPECT_EQ(WeightsOf(axis, 6), (std::vector<int>{-384, 3712, 14208, -1152}));
  EXPECT_EQ(axis.start[7], 2);
  EXPECT_EQ(WeightsOf(axis, 7), (std::vector<int>{-1152, 14208, 3712, -384}));
  // At the left edge the taps beyond the image fold onto its first pixel.
  EXPECT_EQ(axis.start[0], 0);
  EXPECT_EQ(WeightsOf(axis, 0), (std::vector<int>{17536, -1152, 0, 0}));
}

TEST(PortableResampler, EveryTableSumsToOneAndStaysInsideTheSource) {
  struct Case {
    int source, dest;
    Filter filter;
  };
  const Case cases[] = {{119, 320, Filter::Cubic}, {119, 960, Filter::Cubic}, {1, 7, Filter::Cubic},
                        {2, 5, Filter::Cubic},     {3, 3, Filter::Cubic},     {100, 10, Filter::Cubic},
                        {1920, 7, Filter::Cubic},  {5, 1, Filter::Cubic},     {9, 4, Filter::Nearest},
                        {4, 9, Filter::Nearest}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.source << " -> " << c.dest);
    const AxisWeights axis = BuildAxisWeights(c.source, c.dest, c.filter);
    ASSERT_EQ(axis.start.size(), static_cast<std::size_t>(c.dest));
    ASSERT_LE(axis.taps, c.source);
    for (int d = 0; d < c.dest; ++d) {
      const std::vector<int> weights = WeightsOf(axis, d);
      EXPECT_EQ(std::accumulate(weights.begin(), weights.end(), 0), 1 << platform::portable::kWeightBits);
      EXPECT_GE(axis.start[d], 0);
      EXPECT_LE(axis.start[d] + axis.taps, c.source);
      if (d > 0) {
        EXPECT_GE(axis.start[d], axis.start[d - 1]);
      }
    }
  }
  // Shrinking widens the kernel by the scale factor: 100 -> 10 reads about 40 pixels per output.
  EXPECT_GE(BuildAxisWeights(100, 10, Filter::Cubic).taps, 39);
  // The same size maps every pixel onto itself.
  const AxisWeights identity = BuildAxisWeights(5, 5, Filter::Cubic);
  for (int d = 0; d < 5; ++d) {
    const std::vector<int> weights = WeightsOf(identity, d);
    EXPECT_EQ(weights[static_cast<std::size_t>(d - identity.start[d])], 1 << platform::portable::kWeightBits);
  }
}

TEST(PortableResampler, TablesAreBuiltOncePerSizePair) {
  const auto first = platform::portable::CachedAxisWeights(119, 320, Filter::Cubic);
  const auto again = platform::portable::CachedAxisWeights(119, 320, Filter::Cubic);
  EXPECT_EQ(first.get(), again.get());
  EXPECT_NE(platform::portable::CachedAxisWeights(119, 321, Filter::Cubic).get(), first.get());
}

using PortableImaging = ImagingTest;

TEST_F(PortableImaging, ColourUnderZeroAlphaNeverShows) {
  // Opaque red beside transparent pixels that store bright green: only red may come out.
  PixelBuffer pixels(4, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) pixels.At(x, y) = x < 2 ? Pixel32{0, 0, 255, 255} : Pixel32{0, 255, 0, 0};
  }
  const gp::Image image = ImageOf(pixels);
  const gp::Image thumbnail = gp::GetImageThumbnail(image, 13, 11);
  ASSERT_TRUE(thumbnail);

  // The thumbnail drawn 1:1 onto white: red at some coverage keeps green and blue equal.
  platform::Surface surface = SurfaceOf(Filled(13, 11, {255, 255, 255, 255}));
  Draw(surface, thumbnail, 0, 0, 13, 11);
  platform::Surface direct = SurfaceOf(Filled(13, 11, {255, 255, 255, 255}));
  Draw(direct, image, 0, 0, 13, 11);
  for (const PixelBuffer& result : {Contents(surface), Contents(direct)}) {
    for (int y = 0; y < 11; ++y) {
      for (int x = 0; x < 13; ++x) {
        const Pixel32 p = result.At(x, y);
        ASSERT_LE(std::abs(p.g - p.b), 1) << x << "," << y;
        ASSERT_EQ(p.r, 255) << x << "," << y;
      }
    }
  }
}

TEST_F(PortableImaging, ThumbnailsOfWhiteOnTransparentAreExactlyWhite) {
  const gp::Image thumbnail = gp::GetImageThumbnail(ImageOf(WhiteDisc(20)), 57, 57);
  platform::Surface black = SurfaceOf(Filled(57, 57, {0, 0, 0, 255}));
  Draw(black, thumbnail, 0, 0, 57, 57);
  // Over black, each pixel shows coverage only: grey levels b == g == r.
  const PixelBuffer result = Contents(black);
  for (int y = 0; y < 57; ++y) {
    for (int x = 0; x < 57; ++x) {
      const Pixel32 p = result.At(x, y);
      ASSERT_TRUE(p.b == p.g && p.g == p.r) << x << "," << y;
    }
  }
}

TEST(PortableSurface, StartsWithTheFourthByteAtZero) {
  platform::Surface surface;
  surface.SetSize(2, 2);
  EXPECT_EQ(Contents(surface).At(1, 1), (Pixel32{255, 255, 255, 0}));
}

TEST(PortableResources, TheModuleHandleIsTheTableItSearches) {
  const std::uint8_t first[] = {1, 2, 3};
  const std::uint8_t second[] = {9};
  const platform::EmbeddedResource entries[] = {{u"FIRST", first, 3}, {u"SECOND", second, 1}};
  const platform::EmbeddedResourceTable table{entries, 2};
  const platform::EmbeddedResourceTable otherTable{entries + 1, 1};
  auto* module = const_cast<platform::EmbeddedResourceTable*>(&table);

  const platform::ResourceHandle found = platform::FindResourceW(module, u"SECOND");
  ASSERT_EQ(found, &entries[1]);
  EXPECT_EQ(platform::SizeofResource(module, found), 1u);
  EXPECT_EQ(platform::LoadResource(module, found), second);

  // Lookups are exact: the names are stored upper-case and asked for that way.
  EXPECT_EQ(platform::FindResourceW(module, u"second"), nullptr);
  EXPECT_EQ(platform::GetLastError(), 1814u);

  // No module finds nothing, and a handle of another table is refused.
  EXPECT_EQ(platform::FindResourceW(nullptr, u"FIRST"), nullptr);
  EXPECT_EQ(platform::GetLastError(), 1814u);
  EXPECT_EQ(platform::SizeofResource(nullptr, found), 0u);
  EXPECT_EQ(platform::LoadResource(const_cast<platform::EmbeddedResourceTable*>(&otherTable), &entries[0]), nullptr);
}

TEST(PortableResources, ErrorTextsAreTheWindowsOnesWithoutTheFullStop) {
  const std::pair<std::uint32_t, std::u16string> texts[] = {
      {0, u"The operation completed successfully"},
      {2, u"The system cannot find the file specified"},
      {3, u"The system cannot find the path specified"},
      {5, u"Access is denied"},
      {8, u"Not enough memory resources are available to process this command"},
      {1814, u"The specified resource name cannot be found in the image file"},
      {4242, u"Unknown error 4242"},
  };
  for (const auto& [code, text] : texts) EXPECT_TRUE(platform::SysErrorMessage(code) == text) << code;
}

TEST(PortableResources, EmptyBlocksLockToNothingAndMakeNoStream) {
  const platform::GlobalMemory none;
  EXPECT_EQ(platform::GlobalLock(none), nullptr);
  platform::Stream stream;
  EXPECT_NE(platform::Stream::CreateOnHGlobal(none, stream), 0);
  EXPECT_FALSE(stream);
  EXPECT_FALSE(gp::CreateBitmapFromStream(stream));
}

}  // namespace
}  // namespace vf::test
