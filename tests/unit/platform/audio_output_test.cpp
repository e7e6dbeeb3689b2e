// The sound card as the host feeds it. The test runs with ALSA's null device where ALSA is what
// the back end reaches; where there is no output device at all, Open says why and the test is
// skipped with that reason.
#include "platform/audio_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr std::uint32_t kRate = 44100;

std::unique_ptr<platform::AudioOutput> OpenOrSayWhy(std::string& why) {
  auto output = platform::AudioOutput::Open(kRate, why);
  if (!output) {
    EXPECT_FALSE(why.empty()) << "no output and no reason";
  }
  return output;
}

// Opened paused, the output keeps what is queued; started, the card consumes it at its pace
// until it is gone, holding no more than a short buffer between taking and playing.
TEST(AudioOutput, PlaysWhatIsQueuedOnceStarted) {
  std::string why;
  auto output = OpenOrSayWhy(why);
  if (!output) GTEST_SKIP() << "no audio output on this machine: " << why;
  EXPECT_FALSE(output->Name().empty());

  const std::vector<float> silence(kRate / 2 * 2, 0.0f);  // half a second
  output->Queue(silence.data(), kRate / 2);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  // A device may take its first buffers while paused, but plays none of them.
  const std::size_t whilePaused = output->QueuedFrames();
  EXPECT_GT(whilePaused, kRate / 4);
  EXPECT_LE(whilePaused, kRate / 2);
  EXPECT_LE(output->DeviceFrames(), kRate / 4);

  output->SetPaused(false);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (output->QueuedFrames() > 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(output->QueuedFrames(), 0u) << "the card did not consume the queue";
  EXPECT_LE(output->DeviceFrames(), kRate / 4);
}

}  // namespace
