#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text.h"

// Conversions between the module's UTF-16 text, Windows wide strings and UTF-8.
namespace platform::win32 {

std::wstring Utf8ToWide(std::string_view text);

// The system's message for an error code: default language, inserts ignored, at most 256
// characters, with trailing blanks, control characters and full stops removed.
std::u16string LastErrorText(std::uint32_t code);

}  // namespace platform::win32
