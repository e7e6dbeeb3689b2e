#pragma once

#include <cstdint>

#include "platform/api.h"

namespace platform {

// The high-resolution counter; false when the platform has none.
VF_PLATFORM_API bool QueryPerformanceCounter(std::int64_t& value);

// Milliseconds since the system started, wrapping at 2^32.
VF_PLATFORM_API std::uint32_t GetTickCount();

}  // namespace platform
