#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/api.h"

// The sound card as a player feeds it: interleaved stereo float samples queued ahead, played at
// the card's pace. What the listener hears now is known from how much the card has consumed.
namespace platform {

class VF_PLATFORM_API AudioOutput {
 public:
  // Null when no output device can be opened; why then says so in a few words.
  static std::unique_ptr<AudioOutput> Open(std::uint32_t sampleRate, std::string& why);
  virtual ~AudioOutput() = default;

  // Appends frames (left, right pairs) to what is to be played.
  virtual void Queue(const float* samples, std::size_t frames) = 0;
  // Frames queued and not yet handed to the card.
  virtual std::size_t QueuedFrames() const = 0;
  // Frames the card holds between taking them from the queue and playing them: the delay from
  // consumed to heard.
  virtual std::size_t DeviceFrames() const = 0;
  virtual void SetPaused(bool paused) = 0;
  // The device's name, for telling the user where the sound goes.
  virtual std::string Name() const = 0;

 protected:
  AudioOutput() = default;
};

}  // namespace platform
