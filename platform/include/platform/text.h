#pragma once

#include <string>
#include <string_view>

#include "platform/api.h"

// UTF-8 (file names and console text on the host side) to and from UTF-16 (the module's text).
namespace platform {

VF_PLATFORM_API std::u16string Utf8ToUtf16(std::string_view text);
VF_PLATFORM_API std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace platform
