// Audio input on Windows is not made yet: the host cannot listen to a recording device there.
#include "platform/audio_input.h"

namespace platform {

std::unique_ptr<AudioInput> AudioInput::Open(std::uint32_t, std::string& why) {
  why = "capture is not available in this build";
  return nullptr;
}

}  // namespace platform
