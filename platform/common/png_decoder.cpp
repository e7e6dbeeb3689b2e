// PNG decoding with libpng, for both back ends: any PNG from memory into 8-bit BGRA with straight
// alpha. No colour management is applied (no gamma, chromaticity or ICC profile), as GDI+ does
// not apply it to the images we ship either.
//
// libpng reports errors by longjmp. Each stage that can fail runs in its own small function whose
// frame holds plain data only, so a jump never skips a C++ destructor; the buffers live in the
// caller, outside every setjmp.
#include <png.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/imaging.h"

namespace platform::png {
namespace {

struct DecodeContext {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t position;
  char message[256];
};

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  auto* context = static_cast<DecodeContext*>(png_get_error_ptr(png));
  std::strncpy(context->message, message != nullptr ? message : "PNG error", sizeof context->message - 1);
  context->message[sizeof context->message - 1] = '\0';
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* context = static_cast<DecodeContext*>(png_get_io_ptr(png));
  if (count > context->size - context->position) png_error(png, "Read beyond the end of the data");
  std::memcpy(out, context->data + context->position, count);
  context->position += count;
}

// Reads the header and sets up the conversion to 8-bit BGRA. False after a libpng error.
bool ReadHeader(png_structp png, png_infop info, png_uint_32* width, png_uint_32* height) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  const int colorType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  // Palette, low-bit grey and tRNS all become 8-bit channels with a real alpha channel.
  if (colorType == PNG_COLOR_TYPE_PALETTE || bitDepth < 8 || png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_expand(png);
  }
  if (bitDepth == 16) png_set_strip_16(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_bgr(png);
  // Adds an opaque alpha byte where the image has none; a no-op for images that carry alpha.
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  *width = png_get_image_width(png, info);
  *height = png_get_image_height(png, info);
  if (png_get_rowbytes(png, info) != static_cast<png_size_t>(*width) * 4) {
    png_error(png, "Unexpected row layout after conversion");
  }
  return true;
}

bool ReadPixels(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  return true;
}

struct ReadStruct {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~ReadStruct() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

}  // namespace

PixelBuffer Decode(const void* data, std::size_t size) {
  DecodeContext context{static_cast<const std::uint8_t*>(data), data != nullptr ? size : 0, 0, {}};
  ReadStruct read;
  read.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, OnError, OnWarning);
  if (read.png == nullptr) throw std::bad_alloc();
  read.info = png_create_info_struct(read.png);
  if (read.info == nullptr) throw std::bad_alloc();
  png_set_read_fn(read.png, &context, ReadFromMemory);

  png_uint_32 width = 0;
  png_uint_32 height = 0;
  if (!ReadHeader(read.png, read.info, &width, &height)) throw std::runtime_error(context.message);
  // libpng's own limits keep both sides far below INT_MAX.
  PixelBuffer pixels(static_cast<int>(width), static_cast<int>(height));
  std::vector<png_bytep> rows(height);
  for (png_uint_32 y = 0; y < height; ++y) {
    rows[y] = reinterpret_cast<png_bytep>(pixels.Row(static_cast<int>(y)));
  }
  if (!ReadPixels(read.png, rows.data())) throw std::runtime_error(context.message);
  return pixels;
}

}  // namespace platform::png
