#pragma once

#include <cstdint>

#include "platform/api.h"

// Threads as the window system knows them: every window and timer belongs to the thread that made
// it, and only that thread may destroy it.
namespace platform {

using ThreadId = std::uint64_t;

// The calling thread's identifier (GetCurrentThreadId on Windows), never 0.
VF_PLATFORM_API ThreadId CurrentThreadId();

}  // namespace platform
