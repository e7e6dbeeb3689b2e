#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_input.h"

// SDL's audio, started apart from its video and once for the process, for the sound card and the
// recording device alike.
namespace platform::portable {

// Starts SDL's audio the first time it is called. False when there is none; why then says so.
// Called under SdlLock().
bool EnsureAudio(std::string& why);

// What both directions ask of a device: interleaved 32-bit float stereo in buffers of 1024
// frames. Opened without allowed changes, SDL converts whatever the device really takes.
SDL_AudioSpec StereoFloatSpec(std::uint32_t sampleRate);

// A recording device through SDL: the default one for a null device, else the one SDL lists under
// that name. Null, with why, when it cannot be opened. Takes SdlLock() itself.
std::unique_ptr<AudioInput> OpenSdlInput(std::uint32_t sampleRate, const char* device, std::string& why);
// The names SDL lists its recording devices under. Takes SdlLock() itself.
std::vector<std::string> SdlRecordingDevices();

}  // namespace platform::portable
