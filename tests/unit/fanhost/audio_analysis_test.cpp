// The levels a player reports for what is heard: 0 to 100 per channel, by the peak of the frame.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "fanhost/audio_analysis.h"

namespace {

fanhost::StereoAudio Signal(double amplitudeL, double amplitudeR) {
  fanhost::StereoAudio audio;
  audio.sampleRate = 44100;
  for (int i = 0; i < 4410; ++i) {
    const double phase = 2.0 * std::numbers::pi * 441.0 * i / 44100.0;
    audio.samples.push_back(static_cast<float>(amplitudeL * std::sin(phase)));
    audio.samples.push_back(static_cast<float>(amplitudeR * std::sin(phase)));
  }
  return audio;
}

TEST(AudioAnalysis, LevelsOfKnownSignals) {
  const struct {
    const char* name;
    double left, right;
    std::int32_t levelL, levelR;
  } cases[] = {
      {"silence", 0.0, 0.0, 0, 0},
      {"full-scale sine", 1.0, 1.0, 100, 100},
      {"left channel only", 1.0, 0.0, 100, 0},
      {"half scale right", 0.0, 0.5, 0, 50},
      {"louder than full scale", 3.0, 0.1, 100, 10},
  };
  for (const auto& c : cases) {
    aimp::TAIMPVisualData data{};
    fanhost::AnalyseFrame(Signal(c.left, c.right), 1470, 1470, data);
    EXPECT_EQ(data.LevelL, c.levelL) << c.name;
    EXPECT_EQ(data.LevelR, c.levelR) << c.name;
  }
}

TEST(AudioAnalysis, PastTheEndIsSilence) {
  aimp::TAIMPVisualData data{};
  fanhost::AnalyseFrame(Signal(1.0, 1.0), 10000, 1470, data);
  EXPECT_EQ(data.LevelL, 0);
  EXPECT_EQ(data.LevelR, 0);
}

}  // namespace
