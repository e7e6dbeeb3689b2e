#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/pixel_buffer.h"

// PNG encoding for tests: fixtures in every colour type a decoder must accept, and images written
// out for a person to look at when a comparison fails.
namespace vf::test {

// The PNG colour types, with their values in the file format.
enum class PngColour : int { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

// An image exactly as it goes into the file: rows of samples in the colour type's own layout
// (RGB order, big-endian 16-bit samples, sub-byte samples packed from the high bit).
struct PngFixture {
  int width = 0;
  int height = 0;
  PngColour colour = PngColour::Rgba;
  int bitDepth = 8;
  std::vector<std::uint8_t> rows;  // height rows of the packed row size, back to back
  std::vector<std::array<std::uint8_t, 3>> palette;  // RGB entries, for PngColour::Palette
  std::vector<std::uint8_t> transparency;            // tRNS: palette alphas
  bool greyKey = false;                              // tRNS for grey: sample greyKeyValue is transparent
  std::uint16_t greyKeyValue = 0;
  bool colourChunks = false;  // adds gAMA, cHRM and pHYs chunks, which a decoder must not apply
  bool interlaced = false;
};

std::vector<std::uint8_t> EncodePng(const PngFixture& fixture);

// An 8-bit RGBA (or RGB, dropping the fourth byte) PNG of a buffer in the Pixel32 layout.
std::vector<std::uint8_t> EncodePng(const platform::PixelBuffer& pixels, bool withAlpha = true);
void WritePngFile(const std::filesystem::path& path, const platform::PixelBuffer& pixels, bool withAlpha = true);

}  // namespace vf::test
