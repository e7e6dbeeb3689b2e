#pragma once

#include <cstdint>

#include "platform/api.h"

// The message pump of the calling thread, as a host runs it: it delivers timer ticks and window
// events of the calling thread.
namespace platform {

struct PumpResult {
  std::uint32_t messages = 0;       // every message dispatched
  std::uint32_t timerMessages = 0;  // of which timer ticks
  bool quit = false;                // a quit request was seen
};

// Dispatches every message that is due now and returns without waiting.
VF_PLATFORM_API PumpResult PumpMessages();

// Waits until a message is due for the calling thread or the time-out passes.
VF_PLATFORM_API void WaitForMessages(std::uint32_t timeoutMs);

}  // namespace platform
