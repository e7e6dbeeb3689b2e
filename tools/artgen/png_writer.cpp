#include "png_writer.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <fstream>
#include <vector>

namespace artgen {
namespace {

struct WriteContext {
  std::vector<unsigned char> bytes;
  std::string message;
};

void OnWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* context = static_cast<WriteContext*>(png_get_io_ptr(png));
  context->bytes.insert(context->bytes.end(), data, data + length);
}

void OnFlush(png_structp) {}

// libpng reports errors through a callback that must not return; jump back to Encode().
void OnError(png_structp png, png_const_charp message) {
  auto* context = static_cast<WriteContext*>(png_get_error_ptr(png));
  context->message = message;
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Encodes into context.bytes. Everything with a destructor is created by the caller, so the
// longjmp on a libpng error skips no C++ object.
bool Encode(const Image& image, const std::vector<png_const_bytep>& rows, WriteContext& context) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &context, OnError, OnWarning);
  if (png == nullptr) {
    context.message = "cannot create the PNG writer";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    context.message = "cannot create the PNG info block";
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }

  png_set_write_fn(png, &context, OnWrite, OnFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
               static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // sRGB primaries and D65 white point, in the chunk's units of 1/100000.
  png_set_cHRM_fixed(png, info, 31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000);
  // 2835 pixels per metre is 72 dpi.
  png_set_pHYs(png, info, 2835, 2835, PNG_RESOLUTION_METER);

  // Pin every encoder choice instead of relying on library defaults.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_set_compression_level(png, 9);
  png_set_compression_mem_level(png, 9);
  png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
  png_set_compression_window_bits(png, 15);
  png_set_compression_buffer_size(png, 8192);

  png_write_info(png, info);
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const std::string& path, const Image& image, std::string& error) {
  std::vector<png_const_bytep> rows(static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    rows[static_cast<std::size_t>(y)] = image.At(0, y);
  }
  WriteContext context;
  if (!Encode(image, rows, context)) {
    error = path + ": " + context.message;
    return false;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(context.bytes.data()),
            static_cast<std::streamsize>(context.bytes.size()));
  out.close();
  if (!out) {
    error = path + ": cannot write the file";
    return false;
  }
  return true;
}

}  // namespace artgen
