#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/api.h"

// A recording device or a sound server's source as a visualiser listens to it: interleaved stereo
// float samples, captured from the moment it is opened and collected until they are read.
namespace platform {

class VF_PLATFORM_API AudioInput {
 public:
  // Null when no recording device can be opened; why then says so in a few words.
  static std::unique_ptr<AudioInput> Open(std::uint32_t sampleRate, std::string& why);
  // What the machine plays: the monitor of the sound server's default output, moved to the monitor
  // of whichever output becomes the default later. Null without a sound server or without such a
  // monitor, and why says which.
  static std::unique_ptr<AudioInput> OpenOutputMonitor(std::uint32_t sampleRate, std::string& why);
  // A source by the name ListSoundSources gives: the sound server's where one answers, else a
  // recording device of that name. Null, with why, when there is none of that name.
  static std::unique_ptr<AudioInput> OpenNamed(std::uint32_t sampleRate, const std::string& name,
                                               std::string& why);
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
  // The oldest change in what is listened to not yet taken (the output followed, or why it could
  // not be), in one line; empty when there is none. Devices that never change have none.
  virtual std::string TakeNotice() { return {}; }

 protected:
  AudioInput() = default;
};

}  // namespace platform
