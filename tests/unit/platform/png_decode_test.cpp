// Every PNG colour type decodes to 8-bit BGRA with straight alpha, with colour-management chunks
// ignored; data libpng rejects raises its message.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/imaging.h"
#include "support/image_compare.h"
#include "support/png_encode.h"

namespace vf::test {
namespace {

using platform::Pixel32;
using platform::PixelBuffer;

// The colours every RGB fixture carries, as (r, g, b, a).
struct Rgba {
  std::uint8_t r, g, b, a;
};
constexpr Rgba kColours[6] = {{255, 0, 0, 255}, {0, 128, 0, 128}, {10, 20, 30, 0},
                              {1, 2, 3, 4},     {250, 251, 252, 253}, {0, 0, 0, 255}};

PixelBuffer Expected(bool withAlpha) {
  PixelBuffer pixels(3, 2);
  for (int i = 0; i < 6; ++i) {
    const Rgba c = kColours[i];
    pixels.At(i % 3, i / 3) = {c.b, c.g, c.r, withAlpha ? c.a : std::uint8_t{255}};
  }
  return pixels;
}

PngFixture Fixture(PngColour colour, int bitDepth) {
  PngFixture fixture;
  fixture.width = 3;
  fixture.height = 2;
  fixture.colour = colour;
  fixture.bitDepth = bitDepth;
  return fixture;
}

// 8- or 16-bit samples; a 16-bit sample v * 257 must come out as v.
void Push(PngFixture& fixture, std::uint8_t value) {
  fixture.rows.push_back(value);
  if (fixture.bitDepth == 16) fixture.rows.push_back(value);
}

PngFixture RgbFixture(PngColour colour, int bitDepth) {
  PngFixture fixture = Fixture(colour, bitDepth);
  for (const Rgba& c : kColours) {
    Push(fixture, c.r);
    Push(fixture, c.g);
    Push(fixture, c.b);
    if (colour == PngColour::Rgba) Push(fixture, c.a);
  }
  return fixture;
}

PngFixture PaletteFixture() {
  PngFixture fixture = Fixture(PngColour::Palette, 8);
  for (std::uint8_t i = 0; i < 6; ++i) {
    fixture.palette.push_back({kColours[i].r, kColours[i].g, kColours[i].b});
    fixture.transparency.push_back(kColours[i].a);
    fixture.rows.push_back(i);
  }
  return fixture;
}

TEST(PngDecode, EveryColourTypeBecomesStraightBgra) {
  struct Case {
    const char* name;
    PngFixture fixture;
    PixelBuffer expected;
  };
  std::vector<Case> cases;
  cases.push_back({"rgba8", RgbFixture(PngColour::Rgba, 8), Expected(true)});
  cases.push_back({"rgba16", RgbFixture(PngColour::Rgba, 16), Expected(true)});
  cases.push_back({"rgb8", RgbFixture(PngColour::Rgb, 8), Expected(false)});
  cases.push_back({"palette_trns", PaletteFixture(), Expected(true)});

  PngFixture interlaced = RgbFixture(PngColour::Rgba, 8);
  interlaced.interlaced = true;
  cases.push_back({"rgba8_interlaced", interlaced, Expected(true)});

  // Grey: 8 bits with alpha, and 2 bits (0, 85, 170, 255 after expansion) with a tRNS key.
  PngFixture greyAlpha = Fixture(PngColour::GreyAlpha, 8);
  PixelBuffer greyAlphaExpected(3, 2);
  for (int i = 0; i < 6; ++i) {
    const auto grey = static_cast<std::uint8_t>(i * 50);
    const auto alpha = static_cast<std::uint8_t>(255 - i * 40);
    greyAlpha.rows.insert(greyAlpha.rows.end(), {grey, alpha});
    greyAlphaExpected.At(i % 3, i / 3) = {grey, grey, grey, alpha};
  }
  cases.push_back({"grey_alpha8", greyAlpha, greyAlphaExpected});

  PngFixture grey2 = Fixture(PngColour::Grey, 2);
  grey2.greyKey = true;
  grey2.greyKeyValue = 2;
  grey2.rows = {0b00'01'10'00, 0b11'10'01'00};  // row 0: 0 1 2, row 1: 3 2 1
  PixelBuffer grey2Expected(3, 2);
  const int levels[6] = {0, 1, 2, 3, 2, 1};
  for (int i = 0; i < 6; ++i) {
    const auto grey = static_cast<std::uint8_t>(levels[i] * 85);
    grey2Expected.At(i % 3, i / 3) = {grey, grey, grey, static_cast<std::uint8_t>(levels[i] == 2 ? 0 : 255)};
  }
  cases.push_back({"grey2_key", grey2, grey2Expected});

  for (Case& c : cases) {
    for (const bool colourChunks : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.name << (colourChunks ? " with gAMA, cHRM and pHYs" : ""));
      c.fixture.colourChunks = colourChunks;
      const std::vector<std::uint8_t> bytes = EncodePng(c.fixture);
      const PixelBuffer decoded = platform::png::Decode(bytes.data(), bytes.size());
      EXPECT_TRUE(ImagesMatch(decoded, c.expected, std::string("png_") + c.name));
    }
  }
}

TEST(PngDecode, RejectedDataRaisesTheCodecsMessage) {
  auto messageOf = [](const std::vector<std::uint8_t>& bytes) -> std::string {
    try {
      platform::png::Decode(bytes.data(), bytes.size());
    } catch (const std::runtime_error& error) {
      return error.what();
    }
    return "(no exception)";
  };
  const std::string garbage = "this is certainly not a PNG image";
  EXPECT_EQ(messageOf({garbage.begin(), garbage.end()}), "Not a PNG file");
  EXPECT_EQ(messageOf({}), "Read beyond the end of the data");

  const std::vector<std::uint8_t> valid = EncodePng(RgbFixture(PngColour::Rgba, 8));
  // Cut inside the image data: the codec runs out of bytes.
  const std::vector<std::uint8_t> truncated(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(valid.size() - 20));
  EXPECT_NE(messageOf(truncated), "(no exception)");

  // A damaged checksum on the header chunk, which libpng never forgives.
  std::vector<std::uint8_t> damaged = valid;
  damaged[8 + 4 + 4 + 13] ^= 0xFF;
  EXPECT_NE(messageOf(damaged).find("CRC"), std::string::npos) << messageOf(damaged);
}

}  // namespace
}  // namespace vf::test
