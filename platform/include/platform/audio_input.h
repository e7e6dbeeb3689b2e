#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/api.h"

// The default recording device as a visualiser listens to it: interleaved stereo float samples,
// captured from the moment it is opened and collected until they are read.
namespace platform {

class VF_PLATFORM_API AudioInput {
 public:
  // Null when no recording device can be opened; why then says so in a few words.
  static std::unique_ptr<AudioInput> Open(std::uint32_t sampleRate, std::string& why);
  virtual ~AudioInput() = default;

  // Moves up to maxFrames of the frames captured so far (left, right pairs), oldest first, into
  // out. Never waits: returns how many there were, 0 when nothing new has arrived.
  virtual std::size_t Read(float* out, std::size_t maxFrames) = 0;
  // How many captured frames wait to be read.
  virtual std::size_t Held() const = 0;
  // A paused device captures nothing; what it held is dropped when it resumes, so reading goes on
  // with what is heard from then.
  virtual void SetPaused(bool paused) = 0;
  // The device's name, for telling the user what is listened to.
  virtual std::string Name() const = 0;

 protected:
  AudioInput() = default;
};

}  // namespace platform
