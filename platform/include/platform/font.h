#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/api.h"
#include "platform/pixel_buffer.h"
#include "platform/window.h"

// Text drawn into pixel buffers: GDI on Windows, FreeType from installed faces elsewhere. A face
// that is not installed falls back to another one, never to no text.
namespace platform {

struct FontSpec {
  std::u16string Face = u"Tahoma";
  int HeightPx = 11;  // character height in pixels, as a negative LOGFONT height gives it
  bool Bold = false;
  bool Italic = false;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

enum class TextAlign : std::uint8_t { Left, Center, Right };

struct TextColor {
  std::uint8_t R = 0, G = 0, B = 0;
};

// Width and height in pixels of one line of text.
VF_PLATFORM_API Point MeasureText(const FontSpec& font, std::u16string_view text);

// Draws one line of text into the rectangle, vertically centred, clipped to it and to the
// buffer, blending anti-aliased edges over what is there.
VF_PLATFORM_API void DrawText(PixelBuffer& target, const Rect& box, const FontSpec& font,
                              std::u16string_view text, TextColor color, TextAlign align);

}  // namespace platform
