// The shipped images as the module carries them: sizes of first and last frames, a fixed alpha
// silhouette for the opaque skins, and the exact colours and alpha ring of the plain backgrounds.
#include <gtest/gtest.h>

#include "platform/imaging.h"
#include "platform/resources.h"
#include "renderer/image_catalogue.h"

namespace vf {
namespace {

platform::PixelBuffer Decoded(const std::u16string& name) {
  const auto module = platform::ThisModule();
  const auto resource = platform::FindResourceW(module, name);
  if (resource == nullptr) return {};
  return platform::png::Decode(platform::LoadResource(module, resource),
                               platform::SizeofResource(module, resource));
}

TEST(ShippedArtwork, FrameSizes) {
  const struct {
    int skin, last, side;
  } skins[] = {{0, 30, 119}, {1, 30, 127}, {2, 29, 143}};
  for (const auto& s : skins) {
    for (int frame : {0, s.last}) {
      const auto image = Decoded(FormatName(kFanFrameFormat, {s.skin, frame}));
      EXPECT_EQ(image.Width(), s.side) << s.skin << "/" << frame;
      EXPECT_EQ(image.Height(), s.side) << s.skin << "/" << frame;
    }
  }
}

TEST(ShippedArtwork, OpaqueSkinsKeepOneSilhouette) {
  for (const auto& [skin, frames] : {std::pair{0, 31}, {2, 30}}) {
    const auto first = Decoded(FormatName(kFanFrameFormat, {skin, 0}));
    for (int frame = 1; frame < frames; ++frame) {
      const auto image = Decoded(FormatName(kFanFrameFormat, {skin, frame}));
      for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
          ASSERT_EQ(image.At(x, y).a, first.At(x, y).a) << "skin " << skin << " frame " << frame;
    }
  }
}

TEST(ShippedArtwork, PlainBackgroundsHaveTheirColoursAndAlphaRing) {
  const std::uint8_t colours[7][3] = {{160, 17, 17},  {60, 126, 47}, {38, 163, 174}, {21, 98, 169},
                                      {24, 42, 132},  {173, 156, 43}, {232, 232, 227}};
  for (int n = 3; n <= 9; ++n) {
    const auto image = Decoded(FormatName(u"CENTR_STRETCH_%d", {n}));
    ASSERT_EQ(image.Width(), 10);
    ASSERT_EQ(image.Height(), 10);
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 10; ++x) {
        const bool border = x == 0 || x == 9 || y == 0 || y == 9;
        const bool corner = (x == 0 || x == 9) && (y == 0 || y == 9);
        const bool side = (x == 0 || x == 9) && (y == 1 || y == 8);
        const int alpha = !border ? 255 : corner ? 220 : side ? 242 : 237;
        const auto& p = image.At(x, y);
        ASSERT_EQ(p.a, alpha) << n << " at " << x << "," << y;
        ASSERT_EQ(p.r, colours[n - 3][0]) << n;
        ASSERT_EQ(p.g, colours[n - 3][1]) << n;
        ASSERT_EQ(p.b, colours[n - 3][2]) << n;
      }
    }
  }
}

TEST(ShippedArtwork, TexturedBackgroundsAreOpaqueWithTheirMeanGrey) {
  const struct {
    int index, width, height, meanGrey;
  } textures[] = {{0, 165, 75, 92}, {1, 146, 56, 76}, {2, 175, 58, 27}};
  for (const auto& t : textures) {
    const auto image = Decoded(FormatName(u"CENTR_STRETCH_%d", {t.index}));
    ASSERT_EQ(image.Width(), t.width);
    ASSERT_EQ(image.Height(), t.height);
    double sum = 0;
    for (int y = 0; y < image.Height(); ++y)
      for (int x = 0; x < image.Width(); ++x) {
        ASSERT_EQ(image.At(x, y).a, 255);
        sum += (image.At(x, y).r + image.At(x, y).g + image.At(x, y).b) / 3.0;
      }
    EXPECT_NEAR(sum / (t.width * t.height), t.meanGrey, 2.0) << t.index;
  }
}

}  // namespace
}  // namespace vf
