#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fanhost/audio.h"
#include "fanhost/playback.h"
#include "platform/audio_input.h"

// What the recording device hears, as it is heard: each frame's record is made of the latest
// samples captured, so the fans follow the sound of the moment however late a frame comes. Only
// the last second is held.
namespace fanhost {

class CapturePlayback final : public Playback {
 public:
  // seconds: how long to listen, 0 until the user quits. A frame's record spans the frame's share
  // of samples and at least the wave form's.
  CapturePlayback(std::unique_ptr<platform::AudioInput> input, std::uint32_t sampleRate,
                  double seconds, int fps);

  // The samples held; a position counts in them from FirstFrameHeld() on.
  const StereoAudio& Heard() const { return FHeard; }

  std::size_t Position(long frame) override;
  bool Finished(long frame) override { return FFrames > 0 && frame >= FFrames; }
  std::size_t FirstFrameHeld() const override { return FFirstHeld; }
  // Paused, the device stops listening and the fans get silence, as from a paused player; on
  // resuming they follow what is heard from then on.
  void SetPaused(bool paused) override;
  bool Paused() const override { return FPaused; }

 private:
  void Collect();

  std::unique_ptr<platform::AudioInput> FInput;
  StereoAudio FHeard;
  std::size_t FFirstHeld = 0;  // the capture's frame number of FHeard's first frame
  std::size_t FSpan;
  long FFrames;
  bool FPaused = false;
};

}  // namespace fanhost
