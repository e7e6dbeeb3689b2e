#pragma once

#include <string_view>

#include "platform/api.h"

// The platform's debug channel, where a module reports what it contained instead of letting it reach
// the host: OutputDebugStringW on Windows (shown by a debugger or a debug-output viewer), standard
// error elsewhere. One call is one line.
namespace platform {

VF_PLATFORM_API void OutputDebugLine(std::u16string_view text);

}  // namespace platform
