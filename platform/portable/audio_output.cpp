// Portable audio output: SDL2's audio device in queue mode, 32-bit float stereo.
#include "platform/audio_output.h"

#include <SDL.h>

#include <mutex>

#include "audio_system.h"
#include "window_system.h"

namespace platform {
namespace {

using portable::SdlLock;

class SdlAudioOutput final : public AudioOutput {
 public:
  SdlAudioOutput(SDL_AudioDeviceID device, std::size_t deviceFrames, std::string name)
      : FDevice(device), FDeviceFrames(deviceFrames), FName(std::move(name)) {}
  ~SdlAudioOutput() override {
    std::lock_guard guard(SdlLock());
    SDL_CloseAudioDevice(FDevice);
  }

  void Queue(const float* samples, std::size_t frames) override {
    std::lock_guard guard(SdlLock());
    SDL_QueueAudio(FDevice, samples, static_cast<Uint32>(frames * 2 * sizeof(float)));
  }

  std::size_t QueuedFrames() const override {
    std::lock_guard guard(SdlLock());
    return SDL_GetQueuedAudioSize(FDevice) / (2 * sizeof(float));
  }

  std::size_t DeviceFrames() const override { return FDeviceFrames; }

  void SetPaused(bool paused) override {
    std::lock_guard guard(SdlLock());
    SDL_PauseAudioDevice(FDevice, paused ? 1 : 0);
  }

  std::string Name() const override { return FName; }

 private:
  SDL_AudioDeviceID FDevice;
  std::size_t FDeviceFrames;
  std::string FName;
};

}  // namespace

std::unique_ptr<AudioOutput> AudioOutput::Open(std::uint32_t sampleRate, std::string& why) {
  std::lock_guard guard(SdlLock());
  if (!portable::EnsureAudio(why)) return nullptr;
  const SDL_AudioSpec want = portable::StereoFloatSpec(sampleRate);
  SDL_AudioSpec have{};
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device == 0) {
    why = std::string("no audio device: ") + SDL_GetError();
    return nullptr;
  }
  const char* driver = SDL_GetCurrentAudioDriver();
  auto output = std::make_unique<SdlAudioOutput>(device, have.samples,
                                                 driver != nullptr ? driver : "audio");
  return output;
}

}  // namespace platform
