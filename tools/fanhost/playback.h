#pragma once

#include <chrono>
#include <cstddef>
#include <memory>

#include "fanhost/audio.h"
#include "platform/audio_output.h"

// Where in the track the listener is at each frame, so that the record a frame gets is made of the
// samples heard at that moment.
namespace fanhost {

class Playback {
 public:
  virtual ~Playback() = default;
  // The first sample frame heard while the frame with this number is shown.
  virtual std::size_t Position(long frame) = 0;
  virtual bool Finished(long frame) = 0;
  // The position of the first sample frame of the audio the loop is handed: 0 where that is the
  // whole track, later where only the latest samples are held.
  virtual std::size_t FirstFrameHeld() const { return 0; }
  virtual void SetPaused(bool) {}
  virtual bool Paused() const { return false; }
};

// Off screen nobody listens: the track advances by exactly one frame's worth of samples per
// frame, so runs repeat exactly.
class PacedPlayback final : public Playback {
 public:
  PacedPlayback(const StereoAudio& audio, double seconds, int fps);
  std::size_t Position(long frame) override { return static_cast<std::size_t>(frame) * FSamplesPerFrame; }
  bool Finished(long frame) override { return frame >= FFrames; }

 private:
  std::size_t FSamplesPerFrame;
  long FFrames;
};

// The track as it is played: through the audio output, whose consumption tells what is heard,
// or, without one, silently on the steady clock.
class LivePlayback final : public Playback {
 public:
  // seconds: how much of the track, 0 for all of it.
  LivePlayback(const StereoAudio& audio, double seconds, std::unique_ptr<platform::AudioOutput> output);
  std::size_t Position(long frame) override;
  bool Finished(long frame) override;
  void SetPaused(bool paused) override;
  bool Paused() const override { return FPaused; }

 private:
  void TopUp();
  std::size_t ClockPosition() const;

  const StereoAudio& FAudio;
  std::size_t FEnd;
  std::unique_ptr<platform::AudioOutput> FOutput;
  std::size_t FQueued = 0;  // frames handed to the output so far
  std::size_t FLastPosition = 0;
  bool FPaused = false;
  bool FStarted = false;
  std::chrono::steady_clock::time_point FStart;
  std::chrono::steady_clock::duration FPausedFor{};
  std::chrono::steady_clock::time_point FPausedAt;
};

}  // namespace fanhost
