#include "fanhost/playback.h"

#include <algorithm>

namespace fanhost {

PacedPlayback::PacedPlayback(const StereoAudio& audio, double seconds, int fps)
    : FSamplesPerFrame(audio.sampleRate / static_cast<std::uint32_t>(fps)) {
  const double played = seconds > 0.0 ? std::min(seconds, audio.Seconds()) : audio.Seconds();
  FFrames = static_cast<long>(played * fps);
}

LivePlayback::LivePlayback(const StereoAudio& audio, double seconds,
                           std::unique_ptr<platform::AudioOutput> output)
    : FAudio(audio), FEnd(audio.Frames()), FOutput(std::move(output)) {
  if (seconds > 0.0)
    FEnd = std::min(FEnd, static_cast<std::size_t>(seconds * audio.sampleRate));
}

// Keeps about half a second queued: enough against a late frame, little to throw away at exit.
void LivePlayback::TopUp() {
  const std::size_t wanted = FAudio.sampleRate / 2;
  const std::size_t waiting = FOutput->QueuedFrames();
  if (waiting >= wanted || FQueued >= FEnd) return;
  const std::size_t count = std::min(wanted - waiting, FEnd - FQueued);
  FOutput->Queue(FAudio.samples.data() + FQueued * 2, count);
  FQueued += count;
}

std::size_t LivePlayback::ClockPosition() const {
  auto played = std::chrono::steady_clock::now() - FStart - FPausedFor;
  if (FPaused) played -= std::chrono::steady_clock::now() - FPausedAt;
  const double seconds = std::chrono::duration<double>(played).count();
  return static_cast<std::size_t>(std::max(0.0, seconds) * FAudio.sampleRate);
}

std::size_t LivePlayback::Position(long) {
  if (!FStarted) {
    FStarted = true;
    FStart = std::chrono::steady_clock::now();
    if (FOutput) {
      TopUp();
      FOutput->SetPaused(false);
    }
  }
  std::size_t heard = 0;
  if (FOutput) {
    TopUp();
    // Consumed is what left the queue; the card plays it a buffer later.
    const std::size_t consumed = FQueued - std::min(FQueued, FOutput->QueuedFrames());
    heard = consumed - std::min(consumed, FOutput->DeviceFrames());
  } else {
    heard = ClockPosition();
  }
  // The position never runs backwards, even when the card's report jitters.
  FLastPosition = std::min(std::max(FLastPosition, heard), FEnd);
  return FLastPosition;
}

bool LivePlayback::Finished(long) {
  if (!FStarted) return FEnd == 0;
  if (FOutput) return FQueued >= FEnd && FOutput->QueuedFrames() == 0 && FLastPosition + FOutput->DeviceFrames() >= FEnd;
  return FLastPosition >= FEnd;
}

void LivePlayback::SetPaused(bool paused) {
  if (paused == FPaused) return;
  FPaused = paused;
  const auto now = std::chrono::steady_clock::now();
  if (paused) FPausedAt = now;
  else FPausedFor += now - FPausedAt;
  if (FOutput) FOutput->SetPaused(paused);
}

}  // namespace fanhost
