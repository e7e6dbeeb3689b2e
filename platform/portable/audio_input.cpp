// Portable audio input: SDL2's default recording device in queue mode, 32-bit float stereo. SDL's
// capture thread queues what the device delivers; Read dequeues it.
#include "platform/audio_input.h"

#include <SDL.h>

#include <mutex>

#include "audio_system.h"
#include "window_system.h"

namespace platform {
namespace {

using portable::SdlLock;

constexpr std::size_t kFrameBytes = 2 * sizeof(float);

class SdlAudioInput final : public AudioInput {
 public:
  SdlAudioInput(SDL_AudioDeviceID device, std::string name) : FDevice(device), FName(std::move(name)) {}
  ~SdlAudioInput() override {
    std::lock_guard guard(SdlLock());
    SDL_CloseAudioDevice(FDevice);
  }

  std::size_t Read(float* out, std::size_t maxFrames) override {
    std::lock_guard guard(SdlLock());
    const Uint32 bytes = SDL_DequeueAudio(FDevice, out, static_cast<Uint32>(maxFrames * kFrameBytes));
    return bytes / kFrameBytes;
  }

  std::size_t Held() const override {
    std::lock_guard guard(SdlLock());
    return SDL_GetQueuedAudioSize(FDevice) / kFrameBytes;
  }

  void SetPaused(bool paused) override {
    std::lock_guard guard(SdlLock());
    if (!paused) SDL_ClearQueuedAudio(FDevice);
    SDL_PauseAudioDevice(FDevice, paused ? 1 : 0);
  }

  std::string Name() const override { return FName; }

 private:
  SDL_AudioDeviceID FDevice;
  std::string FName;
};

// The driver and, where the driver tells it, the default source's name: a sound server's
// "Monitor of ..." source shows here when it is the default.
std::string DeviceName() {
  const char* driver = SDL_GetCurrentAudioDriver();
  std::string name = driver != nullptr ? driver : "audio";
  char* source = nullptr;
  SDL_AudioSpec spec{};
  if (SDL_GetDefaultAudioInfo(&source, &spec, 1) == 0 && source != nullptr) {
    name += std::string(": ") + source;
    SDL_free(source);
  }
  return name;
}

}  // namespace

std::unique_ptr<AudioInput> AudioInput::Open(std::uint32_t sampleRate, std::string& why) {
  std::lock_guard guard(SdlLock());
  if (!portable::EnsureAudio(why)) return nullptr;
  const SDL_AudioSpec want = portable::StereoFloatSpec(sampleRate);
  SDL_AudioSpec have{};
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
  if (device == 0) {
    why = SDL_GetError();
    if (why.empty()) why = "the default recording device cannot be opened";
    return nullptr;
  }
  auto input = std::make_unique<SdlAudioInput>(device, DeviceName());
  SDL_PauseAudioDevice(device, 0);
  return input;
}

}  // namespace platform
