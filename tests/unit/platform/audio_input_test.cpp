// The recording device through SDL's disk driver, which captures from a file of raw samples in the
// device's format: here the format the seam asks for, 32-bit float stereo, so every sample arrives
// as written.
#include "platform/audio_input.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/scratch_folder.h"

namespace {

constexpr std::uint32_t kRate = 44100;
constexpr std::size_t kFrames = kRate / 2;

// Frame i carries i / 65536 on the left and its negation on the right: exact in float, and the
// frame's number can be read back from it.
std::filesystem::path WriteRamp() {
  std::vector<float> samples;
  for (std::size_t i = 0; i < kFrames; ++i) {
    samples.push_back(static_cast<float>(i) / 65536.0f);
    samples.push_back(-static_cast<float>(i) / 65536.0f);
  }
  const auto file = vf::test::ScratchFolder("audio_input") / "ramp.raw";
  vf::test::WriteBytes(file, {reinterpret_cast<const char*>(samples.data()), samples.size() * sizeof(float)});
  return file;
}

// SDL reads the driver when its audio starts and the file when a device opens.
std::unique_ptr<platform::AudioInput> OpenOnFile(const std::filesystem::path& file, std::string& why) {
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILEIN", file.c_str(), 1);
  return platform::AudioInput::Open(kRate, why);
}

// Reads until count frames have come, for at most a few seconds (the driver delivers at the
// device's pace).
std::vector<float> ReadFrames(platform::AudioInput& input, std::size_t count) {
  std::vector<float> got(count * 2);
  std::size_t have = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (have < count && std::chrono::steady_clock::now() < deadline) {
    const std::size_t read = input.Read(got.data() + 2 * have, count - have);
    have += read;
    if (read == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  got.resize(have * 2);
  return got;
}

TEST(AudioInput, DeliversTheCapturedSamplesInOrder) {
  std::string why;
  auto input = OpenOnFile(WriteRamp(), why);
  ASSERT_TRUE(input) << why;
  EXPECT_EQ(input->Name().rfind("disk", 0), 0u) << input->Name();
  const auto got = ReadFrames(*input, kFrames);
  ASSERT_EQ(got.size(), kFrames * 2) << "the whole file within the time allowed";
  for (std::size_t i = 0; i < kFrames; ++i) {
    ASSERT_EQ(got[2 * i], static_cast<float>(i) / 65536.0f) << "left of frame " << i;
    ASSERT_EQ(got[2 * i + 1], -static_cast<float>(i) / 65536.0f) << "right of frame " << i;
  }
}

TEST(AudioInput, ResumingDropsWhatWasHeldAndGoesOnWithWhatIsHeard) {
  std::string why;
  auto input = OpenOnFile(WriteRamp(), why);
  ASSERT_TRUE(input) << why;
  ASSERT_EQ(ReadFrames(*input, 1).size(), 2u);
  // Let the device collect a few of its buffers unread, however slowly it runs, then pause and
  // resume.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (input->Held() < 2048 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const std::size_t held = input->Held();
  ASSERT_GE(held, 2048u) << "the device collected nothing in the time allowed";
  input->SetPaused(true);
  input->SetPaused(false);
  const auto next = ReadFrames(*input, 1);
  ASSERT_EQ(next.size(), 2u);
  EXPECT_GT(next[0] * 65536.0f, static_cast<float>(held)) << "frames collected before the pause were delivered";
}

TEST(AudioInput, NoDeviceSaysWhy) {
  std::string why;
  auto input = OpenOnFile(vf::test::ScratchFolder("audio_input") / "missing.raw", why);
  EXPECT_FALSE(input);
  EXPECT_NE(why.find("missing.raw"), std::string::npos) << why;
}

}  // namespace
