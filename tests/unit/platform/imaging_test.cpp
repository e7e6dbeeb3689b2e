// The imaging library as the renderer uses it: bitmaps from PNG streams, files and surfaces,
// thumbnails of an exact size, and draws that scale with a smooth filter, composite source-over
// and clip. Filter pixels differ between back ends, so scaled results are checked by properties.
#include "platform/imaging.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/text.h"
#include "support/image_compare.h"
#include "test_images.h"

namespace vf::test {
namespace {

namespace gp = platform::gdiplus;
using platform::Surface;

constexpr Pixel32 kOpaqueWhite{255, 255, 255, 255};

// True when every colour channel is within `tolerance` of the given value.
bool ColourNear(const Pixel32& p, int b, int g, int r, int tolerance) {
  return std::abs(p.b - b) <= tolerance && std::abs(p.g - g) <= tolerance && std::abs(p.r - r) <= tolerance;
}

using Imaging = ImagingTest;

TEST_F(Imaging, LoadsAPngFromAStream) {
  PixelBuffer pixels(5, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) pixels.At(x, y) = {static_cast<std::uint8_t>(x * 50), static_cast<std::uint8_t>(y * 100), 77, 255};
  }
  const auto image = ImageOf(pixels);
  ASSERT_TRUE(image);
  EXPECT_EQ(gp::GetImageWidth(image), 5u);
  EXPECT_EQ(gp::GetImageHeight(image), 3u);
  EXPECT_EQ(gp::GetImageBounds(image), gp::Unit::Pixel);

  // Drawn at its own size onto a surface, an opaque image is copied exactly.
  Surface surface;
  surface.SetSize(5, 3);
  Draw(surface, image, 0, 0, 5, 3);
  EXPECT_TRUE(ImagesMatch(Contents(surface), pixels, "stream_1to1", {.tolerance = 0, .compareAlpha = false}));
}

TEST_F(Imaging, UndecodableDataGivesAnEmptyImageThatDrawsNothing) {
  const std::string text = "GIF89a? no, just text";
  const auto image = ImageFromBytes({text.begin(), text.end()});
  EXPECT_FALSE(image);
  EXPECT_EQ(gp::GetImageWidth(image), 0u);
  EXPECT_EQ(gp::GetImageHeight(image), 0u);
  EXPECT_FALSE(gp::GetImageThumbnail(image, 4, 4));

  Surface surface;
  surface.SetSize(4, 4);
  const PixelBuffer before = Contents(surface);
  Draw(surface, image, 0, 0, 4, 4);
  EXPECT_TRUE(ImagesMatch(Contents(surface), before, "empty_draw"));
}

TEST_F(Imaging, LoadsAPngFile) {
  const PixelBuffer pixels = Filled(4, 2, {9, 8, 7, 200});
  const std::filesystem::path path = std::filesystem::current_path() / "imaging_test_file.png";
  WritePngFile(path, pixels);
  {
    // GDI+ keeps the file open while the bitmap lives.
    const gp::Image image = gp::CreateBitmapFromFile(platform::Utf8ToUtf16(path.string()));
    EXPECT_TRUE(image);
    EXPECT_EQ(gp::GetImageWidth(image), 4u);
    EXPECT_EQ(gp::GetImageHeight(image), 2u);
  }
  std::error_code ignored;
  std::filesystem::remove(path, ignored);

  EXPECT_FALSE(gp::CreateBitmapFromFile(u"no such folder/no such file.png"));
}

TEST_F(Imaging, BitmapFromASurfaceIsAnOpaqueCopy) {
  PixelBuffer pixels = Filled(3, 2, {40, 50, 60, 0});
  pixels.At(2, 1) = {200, 100, 0, 0};
  const Surface source = SurfaceOf(pixels);
  const gp::Image image = gp::CreateBitmapFromSurface(source);
  ASSERT_TRUE(image);
  EXPECT_EQ(gp::GetImageWidth(image), 3u);
  EXPECT_EQ(gp::GetImageHeight(image), 2u);

  // Alpha 0 in the surface's fourth byte must not make the copy transparent.
  Surface target;
  target.SetSize(3, 2);
  Draw(target, image, 0, 0, 3, 2);
  EXPECT_TRUE(ImagesMatch(Contents(target), pixels, "surface_copy", {.tolerance = 0, .compareAlpha = false}));
}

TEST_F(Imaging, ThumbnailsHaveExactlyTheAskedSize) {
  const auto image = ImageOf(WhiteDisc(9));
  ASSERT_TRUE(image);
  for (const auto& [width, height] : {std::pair{9u, 9u}, {1u, 1u}, {27u, 27u}, {4u, 13u}, {640u, 3u}}) {
    const gp::Image thumbnail = gp::GetImageThumbnail(image, width, height);
    ASSERT_TRUE(thumbnail) << width << "x" << height;
    EXPECT_EQ(gp::GetImageWidth(thumbnail), width);
    EXPECT_EQ(gp::GetImageHeight(thumbnail), height);
  }
}

TEST_F(Imaging, ThumbnailEdgesOfATransparentImageStayTheirColour) {
  // An enlarged white disc on transparent black: rim pixels blend in alpha only. Filtering straight
  // colours would pull the black of the transparent corners into the rim.
  const gp::Image thumbnail = gp::GetImageThumbnail(ImageOf(WhiteDisc(20)), 64, 64);
  ASSERT_TRUE(thumbnail);
  // Drawn 1:1 over black, each pixel shows its own colour times its alpha.
  Surface black = SurfaceOf(Filled(64, 64, {0, 0, 0, 255}));
  Surface white = SurfaceOf(Filled(64, 64, kOpaqueWhite));
  Draw(black, thumbnail, 0, 0, 64, 64);
  Draw(white, thumbnail, 0, 0, 64, 64);
  const PixelBuffer overBlack = Contents(black), overWhite = Contents(white);
  int rimPixels = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      ASSERT_TRUE(ColourNear(overWhite.At(x, y), 255, 255, 255, 2)) << "dark fringe at " << x << "," << y;
      const int level = overBlack.At(x, y).g;
      if (level > 0 && level < 255) ++rimPixels;
    }
  }
  EXPECT_GT(rimPixels, 0) << "the rim should be partly transparent";
}

TEST_F(Imaging, OneToOneDrawsCompositeSourceOver) {
  // Pixels: transparent, opaque, and value 200 at alpha 128.
  PixelBuffer pixels(3, 1);
  pixels.At(0, 0) = {0, 0, 0, 0};
  pixels.At(1, 0) = {10, 20, 30, 255};
  pixels.At(2, 0) = {200, 200, 200, 128};
  const auto image = ImageOf(pixels);
  Surface surface = SurfaceOf(Filled(3, 1, {100, 100, 100, 255}));
  Draw(surface, image, 0, 0, 3, 1);
  const PixelBuffer result = Contents(surface);
  EXPECT_TRUE(ColourNear(result.At(0, 0), 100, 100, 100, 0)) << "transparent leaves the surface";
  EXPECT_TRUE(ColourNear(result.At(1, 0), 10, 20, 30, 0)) << "opaque replaces it";
  EXPECT_TRUE(ColourNear(result.At(2, 0), 150, 150, 150, 1)) << "200 at 128 over 100";
}

TEST_F(Imaging, DrawsAreClippedToTheSurface) {
  PixelBuffer pixels(6, 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) pixels.At(x, y) = {static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 60), 90, 255};
  }
  const auto image = ImageOf(pixels);

  // 1:1 at (-2, -1) onto a 3 x 3 surface shows the image's pixels (2..4, 1..3).
  Surface small;
  small.SetSize(3, 3);
  Draw(small, image, -2, -1, 6, 5);
  PixelBuffer expected(3, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) expected.At(x, y) = pixels.At(x + 2, y + 1);
  }
  EXPECT_TRUE(ImagesMatch(Contents(small), expected, "clip_1to1", {.tolerance = 0, .compareAlpha = false}));

  // Scaled, a clipped draw shows exactly that part of the unclipped one.
  Surface full;
  full.SetSize(20, 16);
  Draw(full, image, 0, 0, 20, 16);
  Surface part;
  part.SetSize(12, 9);
  Draw(part, image, -7, -5, 20, 16);
  const PixelBuffer whole = Contents(full);
  PixelBuffer cropped(12, 9);
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 12; ++x) cropped.At(x, y) = whole.At(x + 7, y + 5);
  }
  EXPECT_TRUE(ImagesMatch(Contents(part), cropped, "clip_scaled", {.tolerance = 2, .compareAlpha = false}));
}

TEST_F(Imaging, EmptyRectanglesDrawNothing) {
  const auto image = ImageOf(Filled(4, 4, {0, 0, 0, 255}));
  struct Case {
    int width, height, sourceWidth, sourceHeight;
  };
  const Case cases[] = {{0, 4, 4, 4}, {4, 0, 4, 4}, {-4, 4, 4, 4}, {4, -1, 4, 4}, {-3, -3, 4, 4}, {4, 4, 0, 4}, {4, 4, 4, -4}};
  for (const Case& c : cases) {
    Surface surface;
    surface.SetSize(8, 8);
    const PixelBuffer before = Contents(surface);
    const gp::Graphics graphics = gp::CreateFromHDC(surface.DC());
    gp::SetInterpolationMode(graphics, gp::InterpolationMode::HighQualityBicubic);
    gp::DrawImageRectRectI(graphics, image, 4, 4, c.width, c.height, 0, 0, c.sourceWidth, c.sourceHeight,
                           gp::Unit::Pixel);
    EXPECT_TRUE(ImagesMatch(Contents(surface), before, "empty_rect"))
        << c.width << "x" << c.height << " from " << c.sourceWidth << "x" << c.sourceHeight;
  }
}

TEST_F(Imaging, UniformColourStaysThatColourWhenScaled) {
  struct Case {
    Pixel32 colour;
    int width, height;
    int expectedB, expectedG, expectedR;  // composited over (100, 100, 100)
  };
  const Case cases[] = {
      {{10, 120, 250, 255}, 23, 17, 10, 120, 250},   // enlarge
      {{10, 120, 250, 255}, 3, 2, 10, 120, 250},     // shrink
      {{200, 200, 200, 128}, 31, 9, 150, 150, 150},  // translucent
  };
  const auto image = ImageOf(Filled(7, 5, cases[0].colour));
  const auto translucent = ImageOf(Filled(7, 5, cases[2].colour));
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    Surface surface = SurfaceOf(Filled(c.width, c.height, {100, 100, 100, 255}));
    Draw(surface, c.colour.a == 255 ? image : translucent, 0, 0, c.width, c.height);
    const PixelBuffer result = Contents(surface);
    // Back ends treat the pixels within a source pixel of the edges differently (repeating the
    // edge, or fading it out); the interior is the filter's own.
    const int marginX = c.width > 7 ? (c.width + 6) / 7 + 1 : 0;
    const int marginY = c.height > 5 ? (c.height + 4) / 5 + 1 : 0;
    for (int y = marginY; y < c.height - marginY; ++y) {
      for (int x = marginX; x < c.width - marginX; ++x) {
        ASSERT_TRUE(ColourNear(result.At(x, y), c.expectedB, c.expectedG, c.expectedR, 1)) << x << "," << y;
      }
    }
  }
}

TEST_F(Imaging, ScaledDrawsOfTransparentEdgesLeaveNoDarkFringe) {
  // A white disc drawn enlarged onto white must leave the surface white everywhere.
  const auto disc = ImageOf(WhiteDisc(119));
  Surface surface;
  surface.SetSize(320, 320);
  Draw(surface, disc, 0, 0, 320, 320);
  EXPECT_TRUE(ImagesMatch(Contents(surface), Filled(320, 320, kOpaqueWhite), "disc_on_white",
                          {.tolerance = 2, .compareAlpha = false}));
}

TEST_F(Imaging, ScaledGradientStaysMonotone) {
  PixelBuffer ramp(16, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 16; ++x) {
      const auto level = static_cast<std::uint8_t>(x * 17);
      ramp.At(x, y) = {level, level, level, 255};
    }
  }
  Surface surface;
  surface.SetSize(50, 4);
  Draw(surface, ImageOf(ramp), 0, 0, 50, 4);
  const PixelBuffer result = Contents(surface);
  for (int x = 1; x < 50; ++x) EXPECT_LE(result.At(x - 1, 2).g, result.At(x, 2).g) << "at " << x;
  EXPECT_LT(result.At(2, 2).g, 20);
  EXPECT_GT(result.At(47, 2).g, 235);
}

}  // namespace
}  // namespace vf::test
