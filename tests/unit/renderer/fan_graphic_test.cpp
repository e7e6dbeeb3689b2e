// The image type on both back ends: sizes after loading, the failure texts, rectangles without
// area, the plain back end's exact blend, and scaled draws against reference images.
#include "renderer/fan_graphic.h"

#include <gtest/gtest.h>

#include "back_end_param.h"

#include <filesystem>
#include <fstream>

#include "platform/text.h"
#include "reference_image.h"
#include "renderer/errors.h"
#include "renderer/fan_background.h"
#include "renderer/fan_graphic_gdi.h"
#include "renderer/imaging_lifetime.h"
#include "support/png_encode.h"

namespace vf {
namespace {

using platform::Pixel32;

void Fill(platform::Surface& surface, Pixel32 colour) {
  platform::PixelBuffer pixels(surface.Width(), surface.Height());
  for (int y = 0; y < pixels.Height(); ++y)
    for (int x = 0; x < pixels.Width(); ++x) pixels.At(x, y) = colour;
  platform::WritePixels(surface.DC(), 0, 0, pixels);
}

std::unique_ptr<TFanGraphic> Loaded(bool isGdiPlus, const char16_t* name) {
  auto graphic = TFanGraphic::Create(isGdiPlus);
  graphic->LoadFromResourceName(platform::ThisModule(), name);
  return graphic;
}

std::filesystem::path TempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  const auto path = std::filesystem::temp_directory_path() / name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
  return path;
}

class FanGraphicTest : public ::testing::TestWithParam<bool> {
 protected:
  ImagingUser imaging;
};

TEST_P(FanGraphicTest, LoadsTheShippedSizes) {
  const struct {
    const char16_t* name;
    std::int32_t width, height;
  } cases[] = {{u"FAN_0_0", 119, 119}, {u"FAN_1_30", 127, 127}, {u"FAN_2_29", 143, 143},
               {u"CENTR_STRETCH_0", 165, 75}, {u"CENTR_STRETCH_3", 10, 10}};
  for (const auto& c : cases) {
    const auto graphic = Loaded(GetParam(), c.name);
    EXPECT_EQ(graphic->GPRect(), MakeGPRect(0, 0, c.width, c.height));
    EXPECT_EQ(graphic->Width(), c.width);
    EXPECT_EQ(graphic->Height(), c.height);
  }
  EXPECT_EQ(TFanGraphic::Create(GetParam())->GPRect(), TGPRect{});
}

TEST_P(FanGraphicTest, MissingResourceRaisesItsTextAndStaysEmpty) {
  auto graphic = TFanGraphic::Create(GetParam());
  const std::string expected =
      GetParam() ? platform::Utf16ToUtf8(platform::SysErrorMessage(1814))  // resource name not found
                 : "The png image could not be loaded from the resource ID.";
  try {
    graphic->LoadFromResourceName(platform::ThisModule(), u"FAN_9_0");
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()), expected);
    EXPECT_FALSE(expected.empty());
  }
  EXPECT_EQ(graphic->Width(), 0);
  EXPECT_EQ(graphic->Height(), 0);
}

TEST_P(FanGraphicTest, RectanglesWithoutAreaDrawNothing) {
  const auto graphic = Loaded(GetParam(), u"FAN_0_0");
  platform::Surface surface;
  surface.SetSize(40, 40);
  const auto before = test::Pixels(surface);
  for (const TGPRect rect : {MakeGPRect(0, 0, 0, 20), MakeGPRect(0, 0, 20, 0), MakeGPRect(5, 5, -3, 20),
                             MakeGPRect(5, 5, 20, -1)}) {
    graphic->DrawTo(surface.DC(), rect, false);
    graphic->DrawTo(surface.DC(), rect, true);
  }
  EXPECT_TRUE(test::ImagesMatch(test::Pixels(surface), before, "empty_rectangles"));
}

TEST_P(FanGraphicTest, FanScaledTo320MatchesReference) {
  const auto graphic = Loaded(GetParam(), u"FAN_0_0");
  platform::Surface white, coloured;
  white.SetSize(330, 330);
  coloured.SetSize(330, 330);
  Fill(coloured, Pixel32{40, 120, 200, 0});
  graphic->DrawTo(white.DC(), MakeGPRect(5, 5, 320, 320), false);
  graphic->DrawTo(coloured.DC(), MakeGPRect(5, 5, 320, 320), false);
  EXPECT_TRUE(test::MatchesReference(test::Pixels(white), std::string("fan0_320_white_") + test::BackEndName(GetParam())));
  EXPECT_TRUE(test::MatchesReference(test::Pixels(coloured), std::string("fan0_320_coloured_") + test::BackEndName(GetParam())));
}

TEST_P(FanGraphicTest, UndecodableFile) {
  const auto path = TempFile("vf_not_a_png.png", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
  auto graphic = TFanGraphic::Create(GetParam());
  if (GetParam()) {
    // The imaging library reports nothing: the graphic is simply empty and draws nothing.
    EXPECT_NO_THROW(graphic->LoadFromFile(path.u16string()));
    platform::Surface surface;
    surface.SetSize(10, 10);
    EXPECT_NO_THROW(graphic->DrawTo(surface.DC(), MakeGPRect(0, 0, 10, 10), false));
  } else {
    EXPECT_THROW(graphic->LoadFromFile(path.u16string()), std::exception);
  }
  EXPECT_EQ(graphic->Width(), 0);
  std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, FanGraphicTest, ::testing::Bool(), test::BackEndParamName);

TEST(FanGraphicGdi, BlendRule) {
  EXPECT_EQ(TFanGraphicGdi::BlendChannel(200, 100, 128), 150);
  EXPECT_EQ(TFanGraphicGdi::BlendAlpha(0, 128), 128);
  EXPECT_EQ(TFanGraphicGdi::BlendAlpha(255, 128), 255);
  EXPECT_EQ(TFanGraphicGdi::BlendAlpha(0, 1), 1);

  // One row: half-transparent 200, fully transparent, opaque, half-transparent over opaque alpha.
  platform::PixelBuffer image(4, 1);
  image.At(0, 0) = {200, 200, 200, 128};
  image.At(1, 0) = {50, 60, 70, 0};
  image.At(2, 0) = {10, 20, 30, 255};
  image.At(3, 0) = {200, 200, 200, 128};
  const auto path = TempFile("vf_blend.png", test::EncodePng(image));
  TFanGraphicGdi graphic;
  graphic.LoadFromFile(path.u16string());
  std::filesystem::remove(path);

  platform::Surface surface;
  surface.SetSize(4, 1);
  platform::PixelBuffer dest(4, 1);
  for (int x = 0; x < 4; ++x) dest.At(x, 0) = {100, 100, 100, static_cast<std::uint8_t>(x == 3 ? 255 : 0)};
  platform::WritePixels(surface.DC(), 0, 0, dest);
  graphic.DrawTo(surface.DC(), MakeGPRect(0, 0, 4, 1), false);

  const auto out = test::Pixels(surface);
  EXPECT_EQ(out.At(0, 0), (Pixel32{150, 150, 150, 128}));
  EXPECT_EQ(out.At(1, 0), (Pixel32{100, 100, 100, 0}));
  EXPECT_EQ(out.At(2, 0), (Pixel32{10, 20, 30, 255}));
  EXPECT_EQ(out.At(3, 0), (Pixel32{150, 150, 150, 255}));
}

TEST(FanGraphicGdi, NearestSampleAtOneToOneAndScaledMatchesReference) {
  const auto graphic = Loaded(false, u"FAN_1_0");
  platform::Surface surface;
  surface.SetSize(127 + 300, 300);
  Fill(surface, Pixel32{30, 30, 30, 0});
  graphic->DrawTo(surface.DC(), MakeGPRect(0, 0, 127, 127), false);
  graphic->DrawTo(surface.DC(), MakeGPRect(127, 0, 300, 300), false);
  EXPECT_TRUE(test::MatchesReference(test::Pixels(surface), "fan1_gdi_1to1_and_300"));

  // The plain back end ignores the pre-scale flag.
  platform::Surface siding;
  siding.SetSize(127 + 300, 300);
  Fill(siding, Pixel32{30, 30, 30, 0});
  graphic->DrawTo(siding.DC(), MakeGPRect(0, 0, 127, 127), true);
  graphic->DrawTo(siding.DC(), MakeGPRect(127, 0, 300, 300), true);
  EXPECT_TRUE(test::ImagesMatch(test::Pixels(siding), test::Pixels(surface), "gdi_siding"));
}

TEST(StretchDrawBitmap, PlainColourBackgroundOnBothPaths) {
  ImagingUser imaging;
  for (const bool isGdiPlus : {false, true}) {
    const auto background = Loaded(isGdiPlus, u"CENTR_STRETCH_3");
    platform::Surface small, large;
    small.SetSize(10, 10);
    background->DrawTo(small.DC(), MakeGPRect(0, 0, 10, 10), true);
    large.SetSize(200, 120);
    StretchDrawBitmap(small, large, MakeGPRect(0, 0, 10, 10), MakeGPRect(0, 0, 200, 120), isGdiPlus, true);
    EXPECT_TRUE(test::MatchesReference(test::Pixels(large), std::string("background3_200x120_") + test::BackEndName(isGdiPlus)));
    // The centre shows the plain colour (160, 17, 17) on either path.
    const Pixel32 centre = test::Pixels(large).At(100, 60);
    EXPECT_NEAR(centre.r, 160, 2);
    EXPECT_NEAR(centre.g, 17, 2);
    EXPECT_NEAR(centre.b, 17, 2);
  }
}

}  // namespace
}  // namespace vf
