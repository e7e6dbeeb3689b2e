#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

// SDL's audio, started apart from its video and once for the process, for the sound card and the
// recording device alike.
namespace platform::portable {

// Starts SDL's audio the first time it is called. False when there is none; why then says so.
// Called under SdlLock().
bool EnsureAudio(std::string& why);

// What both directions ask of a device: interleaved 32-bit float stereo in buffers of 1024
// frames. Opened without allowed changes, SDL converts whatever the device really takes.
SDL_AudioSpec StereoFloatSpec(std::uint32_t sampleRate);

}  // namespace platform::portable
