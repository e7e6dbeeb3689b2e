// What only the portable back end promises: Catmull-Rom weights in exact fixed point, built once
// per size pair; filtering in premultiplied alpha, so colour hidden under alpha 0 never shows;
// surfaces whose fourth byte starts at 0; the resource table and the Windows error texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <random>
#include <utility>

#include "platform/embedded_resources.h"
#include "portable/compositor.h"
#include "portable/resampler.h"
#include "portable/vector_code.h"
#include "support/image_compare.h"
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

// Random premultiplied pixels: every colour at most its alpha, with plenty of 0 and 255 alphas.
PixelBuffer RandomPremultiplied(int width, int height, std::uint32_t seed) {
  std::mt19937 random(seed);
  PixelBuffer pixels(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int pick = static_cast<int>(random() % 4);
      const auto alpha = static_cast<std::uint8_t>(pick == 0 ? 0 : pick == 1 ? 255 : random() % 256);
      auto colour = [&] { return static_cast<std::uint8_t>(alpha == 0 ? 0 : random() % (alpha + 1u)); };
      pixels.At(x, y) = {colour(), colour(), colour(), alpha};
    }
  }
  return pixels;
}

PixelBuffer ResampleAll(const PixelBuffer& source, int width, int height,
                        platform::portable::DestRegion region, bool vector,
                        platform::portable::PassOrder order = platform::portable::PassOrder::RowsFirst) {
  platform::portable::SetVectorCode(vector);
  const AxisWeights xWeights = BuildAxisWeights(source.Width(), width, Filter::Cubic);
  const AxisWeights yWeights = BuildAxisWeights(source.Height(), height, Filter::Cubic);
  PixelBuffer out(width, height);
  struct Target {
    PixelBuffer* out;
    int x0;
    int count;
  } target{&out, region.x0, region.x1 - region.x0};
  platform::portable::Resample(source, 0, 0, xWeights, yWeights, region, [](void* context, int y, const Pixel32* row) {
    auto* t = static_cast<Target*>(context);
    std::copy(row, row + t->count, t->out->Row(y) + t->x0);
  }, &target, order);
  platform::portable::SetVectorCode(true);
  return out;
}

TEST(PortableResampler, VectorCodeGivesExactlyThePixelsOfThePlainLoops) {
  const PixelBuffer source = RandomPremultiplied(37, 23, 7);
  struct Case {
    int width, height;
    platform::portable::DestRegion region;
  };
  const Case cases[] = {
      {100, 61, {0, 0, 100, 61}},  // enlarging: four taps
      {11, 7, {0, 0, 11, 7}},      // shrinking: wide kernels, odd tap counts
      {37, 50, {0, 0, 37, 50}},    // one axis unscaled: a single tap
      {53, 29, {5, 3, 50, 27}},    // a clipped region with an odd width
      {3, 2, {1, 1, 2, 2}},        // a single pixel
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    EXPECT_TRUE(ImagesMatch(ResampleAll(source, c.width, c.height, c.region, true),
                            ResampleAll(source, c.width, c.height, c.region, false), "vector_resample"));
  }

  // The row operations, with a length that leaves a tail after the groups of four and a source
  // that has wholly opaque groups as well as mixed ones.
  PixelBuffer over = RandomPremultiplied(29, 1, 11);
  for (int x = 4; x < 12; ++x) over.At(x, 0).a = 255;
  const PixelBuffer under = RandomPremultiplied(29, 1, 12);
  using RowOperation = void (*)(Pixel32*, const Pixel32*, int);
  const std::pair<const char*, RowOperation> operations[] = {
      {"composite_premultiplied", platform::portable::CompositePremultipliedRow},
      {"composite_straight", platform::portable::CompositeStraightRow},
      {"unpremultiply", platform::portable::UnpremultiplyRow},
  };
  for (const auto& [name, operation] : operations) {
    SCOPED_TRACE(name);
    PixelBuffer vector = under, plain = under;
    platform::portable::SetVectorCode(true);
    operation(vector.Row(0), over.Row(0), 29);
    platform::portable::SetVectorCode(false);
    operation(plain.Row(0), over.Row(0), 29);
    platform::portable::SetVectorCode(true);
    EXPECT_TRUE(ImagesMatch(vector, plain, "vector_row_operation"));
  }
}

// Largest difference of any channel between two buffers of one size.
int LargestDifference(const PixelBuffer& a, const PixelBuffer& b) {
  int largest = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      const Pixel32 p = a.At(x, y), q = b.At(x, y);
      for (const auto& [u, v] : {std::pair{p.b, q.b}, {p.g, q.g}, {p.r, q.r}, {p.a, q.a}})
        largest = std::max(largest, std::abs(int{u} - int{v}));
    }
  }
  return largest;
}

TEST(PortableResampler, ColumnsFirstServesOnlyStripsAndAgreesWithRowsFirst) {
  using platform::portable::PassOrder;
  struct Case {
    int sourceWidth, sourceHeight, width, height;
    PassOrder chosen;
  };
  const Case cases[] = {
      {159, 119, 640, 480, PassOrder::RowsFirst},    // a background enlarged to the area
      {512, 512, 200, 200, PassOrder::RowsFirst},    // a fan frame shrunk into its square
      {64, 64, 64, 64, PassOrder::RowsFirst},        // unscaled
      {40, 75, 3000, 4, PassOrder::ColumnsFirst},    // a part stretched along a very wide strip
      {75, 40, 4, 3000, PassOrder::RowsFirst},       // the same, tall: rows first is already cheap
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sourceWidth << "x" << c.sourceHeight << " to " << c.width << "x" << c.height);
    const AxisWeights xWeights = BuildAxisWeights(c.sourceWidth, c.width, Filter::Cubic);
    const AxisWeights yWeights = BuildAxisWeights(c.sourceHeight, c.height, Filter::Cubic);
    const platform::portable::DestRegion all{0, 0, c.width, c.height};
    EXPECT_EQ(platform::portable::ChoosePassOrder(xWeights, yWeights, all), c.chosen);
    const PixelBuffer source = RandomPremultiplied(c.sourceWidth, c.sourceHeight, 5);
    for (const auto region : {all, platform::portable::DestRegion{1, 1, c.width - 1, c.height - 1}}) {
      if (region.x0 >= region.x1 || region.y0 >= region.y1) continue;
      EXPECT_LE(LargestDifference(ResampleAll(source, c.width, c.height, region, false, PassOrder::RowsFirst),
                                  ResampleAll(source, c.width, c.height, region, false, PassOrder::ColumnsFirst)),
                1);
    }
  }
}

using PortableImaging = ImagingTest;

TEST_F(PortableImaging, ColourUnderZeroAlphaNeverShows) {
  // Opaque red beside transparent pixels that store bright green: only red may come out.
  PixelBuffer pixels(4, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) pixels.At(x, y) = x < 2 ? Pixel32{0, 0, 255, 255} : Pixel32{0, 255, 0, 0};
  }
  const auto image = ImageOf(pixels);
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

TEST(PortableImagingLifetime, CreatesNoBitmapsOnlyWhileStarted) {
  // As Windows' GDI+ refuses to work before GdiplusStartup (Wine's does not).
  const auto image = ImageOf(Filled(2, 2, {255, 255, 255, 255}));
  EXPECT_FALSE(image);
  EXPECT_EQ(gp::GetImageWidth(image), 0u);

  const std::uintptr_t token = gp::GdiplusStartup();
  EXPECT_NE(token, 0u);
  EXPECT_TRUE(ImageOf(Filled(2, 2, {255, 255, 255, 255})));
  gp::GdiplusShutdown(token);
  EXPECT_FALSE(ImageOf(Filled(2, 2, {255, 255, 255, 255})));
}

TEST(PortableSurface, StretchBltAndsTheDroppedPixelsWhenShrinking) {
  // Bit patterns whose AND differs from each of its inputs.
  const Pixel32 p0{0xF0, 0x0F, 0xFF, 0xFF}, p1{0x3C, 0xFF, 0x55, 0xFF}, p2{0xAA, 0x99, 0x0F, 0xFF},
      p3{0x0F, 0xF0, 0xF3, 0xFF}, p4{0xFF, 0x3C, 0xEE, 0xFF};
  auto And = [](std::initializer_list<Pixel32> pixels) {
    Pixel32 out{0xFF, 0xFF, 0xFF, 0xFF};
    for (const Pixel32& p : pixels) out = {static_cast<std::uint8_t>(out.b & p.b), static_cast<std::uint8_t>(out.g & p.g),
                                           static_cast<std::uint8_t>(out.r & p.r), static_cast<std::uint8_t>(out.a & p.a)};
    return out;
  };

  PixelBuffer row(5, 1);
  const Pixel32 pixels[] = {p0, p1, p2, p3, p4};
  for (int x = 0; x < 5; ++x) row.At(x, 0) = pixels[x];
  const platform::Surface from = SurfaceOf(row);

  platform::Surface to;
  to.SetSize(2, 1);
  // 4 -> 2: each destination pixel combines two neighbours.
  platform::StretchBlt(to.DC(), 0, 0, 2, 1, from.DC(), 0, 0, 4, 1);
  PixelBuffer half = Contents(to);
  EXPECT_EQ(half.At(0, 0), And({p0, p1}));
  EXPECT_EQ(half.At(1, 0), And({p2, p3}));

  // 5 -> 2: pixel 0 takes source [0, 2), pixel 1 takes [2, 5).
  platform::StretchBlt(to.DC(), 0, 0, 2, 1, from.DC(), 0, 0, 5, 1);
  half = Contents(to);
  EXPECT_EQ(half.At(0, 0), And({p0, p1}));
  EXPECT_EQ(half.At(1, 0), And({p2, p3, p4}));

  // Both axes at once: 2 x 2 -> 1 x 1 combines all four.
  PixelBuffer square(2, 2);
  square.At(0, 0) = p0;
  square.At(1, 0) = p1;
  square.At(0, 1) = p2;
  square.At(1, 1) = p4;
  const platform::Surface squareSurface = SurfaceOf(square);
  platform::Surface one;
  one.SetSize(1, 1);
  platform::StretchBlt(one.DC(), 0, 0, 1, 1, squareSurface.DC(), 0, 0, 2, 2);
  EXPECT_EQ(Contents(one).At(0, 0), And({p0, p1, p2, p4}));
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
