// Audio input on Windows is not made yet: the host cannot listen to a recording device or a sound
// server's source there, and lists none.
#include "platform/audio_input.h"
#include "platform/sound_server.h"

namespace platform {
namespace {

constexpr const char* kUnavailable = "capture is not available in this build";

}  // namespace

std::unique_ptr<AudioInput> AudioInput::Open(std::uint32_t, std::string& why) {
  why = kUnavailable;
  return nullptr;
}

std::unique_ptr<AudioInput> AudioInput::OpenOutputMonitor(std::uint32_t, std::string& why) {
  why = kUnavailable;
  return nullptr;
}

std::unique_ptr<AudioInput> AudioInput::OpenNamed(std::uint32_t, const std::string&, std::string& why) {
  why = kUnavailable;
  return nullptr;
}

SoundSources ListSoundSources() {
  SoundSources list;
  list.why = kUnavailable;
  return list;
}

}  // namespace platform
