#include "fanhost/capture_playback.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "fanhost/audio_analysis.h"

namespace fanhost {

namespace {

constexpr std::size_t kReadFrames = 4096;

}  // namespace

CapturePlayback::CapturePlayback(std::unique_ptr<platform::AudioInput> input,
                                 std::uint32_t sampleRate, double seconds, int fps)
    : FInput(std::move(input)),
      FSpan(std::max<std::size_t>(sampleRate / static_cast<std::uint32_t>(fps), kAnalysisFrames)),
      FFrames(static_cast<long>(seconds * fps)) {
  FHeard.sampleRate = sampleRate;
}

// Says what changed in what is heard (the output followed, or why it cannot be), then takes
// everything captured since the last frame, then drops what is older than a second once
// twice that is held, so the samples stay in one piece for the analysis at little copying.
void CapturePlayback::Collect() {
  for (std::string notice = FInput->TakeNotice(); !notice.empty(); notice = FInput->TakeNotice()) {
    std::printf("capture: %s\n", notice.c_str());
    std::fflush(stdout);
  }
  auto& samples = FHeard.samples;
  for (;;) {
    const std::size_t held = samples.size();
    samples.resize(held + kReadFrames * 2);
    const std::size_t read = FInput->Read(samples.data() + held, kReadFrames);
    samples.resize(held + read * 2);
    if (read < kReadFrames) break;
  }
  const std::size_t keep = std::max<std::size_t>(FHeard.sampleRate, FSpan);
  if (FHeard.Frames() > 2 * keep) {
    const std::size_t drop = FHeard.Frames() - keep;
    samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(drop * 2));
    FFirstHeld += drop;
  }
}

std::size_t CapturePlayback::Position(long) {
  Collect();
  const std::size_t captured = FFirstHeld + FHeard.Frames();
  return captured - std::min(captured, FSpan);
}

void CapturePlayback::SetPaused(bool paused) {
  if (paused == FPaused) return;
  FPaused = paused;
  FInput->SetPaused(paused);
}

}  // namespace fanhost
