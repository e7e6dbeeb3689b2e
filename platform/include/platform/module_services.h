#pragma once

#include <string>

#include "platform/api.h"

namespace platform {

// The full path of the process's main executable (the host), as UTF-16.
VF_PLATFORM_API std::u16string HostExecutablePath();

}  // namespace platform
