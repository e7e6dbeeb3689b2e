#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// How the settings file's text becomes a number: the same on every platform, since users move the
// file between them.
namespace vf {

// Accepted: text of three or more characters that begins with "0x" or "0X" (taken as "$"), or
// optional leading blanks, an optional "+" or "-", then decimal digits within the signed 32-bit
// range, or hexadecimal digits after "$", "x" or "X" taken as a 32-bit pattern of at most eight
// significant digits ("$FFFFFFFF" is -1). Nothing may follow the digits. Nothing otherwise.
std::optional<std::int32_t> ParseSettingsNumber(std::u16string_view text);

}  // namespace vf
