// Audio output on Windows is not made yet: the host plays silently there.
#include "platform/audio_output.h"

namespace platform {

std::unique_ptr<AudioOutput> AudioOutput::Open(std::uint32_t, std::string& why) {
  why = "no audio output in this build";
  return nullptr;
}

}  // namespace platform
