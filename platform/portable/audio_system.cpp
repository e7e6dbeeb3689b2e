#include "audio_system.h"

namespace platform::portable {

bool EnsureAudio(std::string& why) {
  static std::string failure;
  static const bool started = [] {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) return true;
    failure = std::string("no audio system: ") + SDL_GetError();
    return false;
  }();
  if (!started) why = failure;
  return started;
}

SDL_AudioSpec StereoFloatSpec(std::uint32_t sampleRate) {
  SDL_AudioSpec spec{};
  spec.freq = static_cast<int>(sampleRate);
  spec.format = AUDIO_F32SYS;
  spec.channels = 2;
  spec.samples = 1024;
  return spec;
}

}  // namespace platform::portable
