#include "png_encode.h"

#include <png.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>

namespace vf::test {
namespace {

struct WriteContext {
  std::vector<std::uint8_t>* out;
  char message[256];
};

void AppendToVector(png_structp png, png_bytep data, png_size_t size) {
  auto* context = static_cast<WriteContext*>(png_get_io_ptr(png));
  context->out->insert(context->out->end(), data, data + size);
}

void NoFlush(png_structp) {}

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  auto* context = static_cast<WriteContext*>(png_get_error_ptr(png));
  std::snprintf(context->message, sizeof context->message, "%s", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

std::size_t RowBytes(const PngFixture& fixture) {
  int channels = 1;
  switch (fixture.colour) {
    case PngColour::Grey: channels = 1; break;
    case PngColour::Rgb: channels = 3; break;
    case PngColour::Palette: channels = 1; break;
    case PngColour::GreyAlpha: channels = 2; break;
    case PngColour::Rgba: channels = 4; break;
  }
  const std::size_t bits = static_cast<std::size_t>(fixture.width) * static_cast<std::size_t>(channels) *
                           static_cast<std::size_t>(fixture.bitDepth);
  return (bits + 7) / 8;
}

// libpng reports errors by longjmp, so everything between setjmp and the last libpng call lives in
// this frame as plain data; the caller owns the buffers.
bool Write(png_structp png, png_infop info, const PngFixture& fixture, const png_color* palette, std::size_t rowBytes) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(fixture.width), static_cast<png_uint_32>(fixture.height),
               fixture.bitDepth, static_cast<int>(fixture.colour),
               fixture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!fixture.palette.empty()) png_set_PLTE(png, info, palette, static_cast<int>(fixture.palette.size()));
  if (!fixture.transparency.empty()) {
    png_set_tRNS(png, info, fixture.transparency.data(), static_cast<int>(fixture.transparency.size()), nullptr);
  }
  if (fixture.greyKey) {
    png_color_16 key{};
    key.gray = fixture.greyKeyValue;
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  if (fixture.colourChunks) {
    // A strong gamma and unusual primaries: a decoder applying them would move every value.
    png_set_gAMA_fixed(png, info, 100000 / 3);
    png_set_cHRM_fixed(png, info, 31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000);
    png_set_pHYs(png, info, 3780, 3780, PNG_RESOLUTION_METER);
  }
  png_write_info(png, info);
  const int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass) {
    for (int y = 0; y < fixture.height; ++y) {
      png_write_row(png, fixture.rows.data() + rowBytes * static_cast<std::size_t>(y));
    }
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const PngFixture& fixture) {
  const std::size_t rowBytes = RowBytes(fixture);
  if (fixture.rows.size() != rowBytes * static_cast<std::size_t>(fixture.height)) {
    throw std::invalid_argument("PngFixture rows do not match its size and colour type");
  }
  std::vector<png_color> palette;
  for (const auto& entry : fixture.palette) palette.push_back({entry[0], entry[1], entry[2]});
  std::vector<std::uint8_t> out;
  WriteContext context{&out, {}};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &context, OnError, OnWarning);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &context, AppendToVector, NoFlush);
  const bool written = Write(png, info, fixture, palette.data(), rowBytes);
  png_destroy_write_struct(&png, &info);
  if (!written) throw std::runtime_error(std::string("PNG encoding failed: ") + context.message);
  return out;
}
std::vector<std::uint8_t> EncodePng(const platform::PixelBuffer& pixels, bool withAlpha) {
  PngFixture fixture;
  fixture.width = pixels.Width();
  fixture.height = pixels.Height();
  fixture.colour = withAlpha ? PngColour::Rgba : PngColour::Rgb;
  fixture.rows.reserve(static_cast<std::size_t>(fixture.width) * static_cast<std::size_t>(fixture.height) * 4);
  for (int y = 0; y < pixels.Height(); ++y) {
    for (int x = 0; x < pixels.Width(); ++x) {
      const platform::Pixel32 p = pixels.At(x, y);
      fixture.rows.insert(fixture.rows.end(), {p.r, p.g, p.b});
      if (withAlpha) fixture.rows.push_back(p.a);
    }
  }
  return EncodePng(fixture);
}

void WritePngFile(const std::filesystem::path& path, const platform::PixelBuffer& pixels, bool withAlpha) {
  const std::vector<std::uint8_t> bytes = EncodePng(pixels, withAlpha);
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace vf::test
