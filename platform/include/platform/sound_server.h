#pragma once

#include <string>
#include <vector>

#include "platform/api.h"

// The sources a visualiser can listen to, as the sound server (PulseAudio, or PipeWire through its
// PulseAudio interface) or, without one, the recording devices name them.
namespace platform {

struct SoundSource {
  std::string name;         // what AudioInput::OpenNamed takes
  std::string description;  // what the user knows it by
  bool monitor = false;     // it hears an output rather than a microphone or a line in
};

struct SoundSources {
  std::string server;  // the sound server and its version; empty when none answers
  std::string why;     // why none answers
  std::vector<SoundSource> sources;
  // The name AudioInput::OpenOutputMonitor would listen to now; empty where it would not open.
  std::string outputMonitor;
};

// Asks the sound server once, or lists the recording devices when there is none.
VF_PLATFORM_API SoundSources ListSoundSources();

}  // namespace platform
