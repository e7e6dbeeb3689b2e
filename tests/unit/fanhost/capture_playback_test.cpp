// Listening to a recording device: each frame's record is made of the latest samples however they
// arrive, with only a bounded amount held.
#include "fanhost/capture_playback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A device whose every frame carries its own number in the left channel, delivered in the
// batches a test chooses.
class ScriptedInput final : public platform::AudioInput {
 public:
  void Deliver(std::size_t frames) { FPending += frames; }
  std::size_t Delivered() const { return FNext + FPending; }
  bool PausedNow() const { return FPaused; }

  std::size_t Read(float* out, std::size_t maxFrames) override {
    const std::size_t count = std::min(maxFrames, FPending);
    for (std::size_t i = 0; i < count; ++i) {
      out[2 * i] = static_cast<float>(FNext + i);
      out[2 * i + 1] = 0.0f;
    }
    FNext += count;
    FPending -= count;
    return count;
  }
  std::size_t Held() const override { return FPending; }
  void SetPaused(bool paused) override { FPaused = paused; }
  std::string Name() const override { return "scripted"; }

 private:
  std::size_t FNext = 0;
  std::size_t FPending = 0;
  bool FPaused = false;
};

constexpr std::uint32_t kRate = 44100;
constexpr int kFps = 30;
constexpr std::size_t kSpan = kRate / kFps;  // a frame's share, longer than the wave form

TEST(CapturePlayback, EachFrameGetsTheLatestSamplesWithABoundedHold) {
  auto owned = std::make_unique<ScriptedInput>();
  ScriptedInput& input = *owned;
  fanhost::CapturePlayback playback(std::move(owned), kRate, 0.0, kFps);

  EXPECT_EQ(playback.Position(0), 0u) << "nothing heard yet";
  // Small and huge batches, a frame with nothing new, a run of ordinary ones: ten minutes in all.
  std::vector<std::size_t> batches = {100, 5000, 0, 3 * kRate, 7, kRate * 30};
  for (int i = 0; i < 500; ++i) batches.push_back(kSpan);
  for (int i = 0; i < 20; ++i) batches.push_back(kRate * 28);
  long frame = 1;
  for (const std::size_t batch : batches) {
    input.Deliver(batch);
    const std::size_t position = playback.Position(frame++);
    ASSERT_EQ(position, input.Delivered() - std::min(input.Delivered(), kSpan)) << "after " << batch;
    const auto& heard = playback.Heard();
    ASSERT_GE(position, playback.FirstFrameHeld());
    const std::size_t at = position - playback.FirstFrameHeld();
    if (input.Delivered() >= kSpan) {
      ASSERT_LE(at + kSpan, heard.Frames()) << "the record's samples are held";
    }
    EXPECT_EQ(heard.samples[2 * at], static_cast<float>(position)) << "after " << batch;
    EXPECT_EQ(heard.samples[heard.samples.size() - 2], static_cast<float>(input.Delivered() - 1));
    EXPECT_LE(heard.Frames(), 2 * kRate) << "at most two seconds held after " << batch;
  }
  EXPECT_FALSE(playback.Finished(frame)) << "without --seconds only the user ends it";
}

TEST(CapturePlayback, PausingStopsTheDeviceAndSecondsCountFrames) {
  auto owned = std::make_unique<ScriptedInput>();
  ScriptedInput& input = *owned;
  fanhost::CapturePlayback playback(std::move(owned), kRate, 2.0, kFps);

  playback.SetPaused(true);
  EXPECT_TRUE(playback.Paused());
  EXPECT_TRUE(input.PausedNow());
  playback.SetPaused(false);
  EXPECT_FALSE(input.PausedNow());

  EXPECT_FALSE(playback.Finished(2 * kFps - 1));
  EXPECT_TRUE(playback.Finished(2 * kFps));
}

}  // namespace
