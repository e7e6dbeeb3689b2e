#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/api.h"

namespace platform {

// The full path of the process's main executable (the host), as UTF-16.
VF_PLATFORM_API std::u16string HostExecutablePath();

// The characters that end the folder part of such a path: "\\" and ":" on Windows, "/" elsewhere.
VF_PLATFORM_API std::u16string_view PathFolderSeparators();

}  // namespace platform

namespace platform {

// What the process holds right now, for hosts and tests that watch for leaks: open handles (file
// descriptors on Linux), drawing objects (0 where the platform has no such count) and memory.
struct ResourceUsage {
  std::uint64_t handles = 0;
  std::uint64_t drawingObjects = 0;
  std::uint64_t memoryBytes = 0;
};

VF_PLATFORM_API ResourceUsage CurrentResourceUsage();

}  // namespace platform
