#include "fanhost/audio_analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>

namespace fanhost {

namespace {

constexpr std::size_t kWindow = kAnalysisFrames;

// In-place radix-2 FFT of kWindow points.
void Fft(std::complex<double> (&x)[kWindow]) {
  for (std::size_t i = 1, j = 0; i < kWindow; ++i) {
    std::size_t bit = kWindow >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  for (std::size_t len = 2; len <= kWindow; len <<= 1) {
    const double angle = -2.0 * std::numbers::pi / static_cast<double>(len);
    const std::complex<double> unit(std::cos(angle), std::sin(angle));
    for (std::size_t i = 0; i < kWindow; i += len) {
      std::complex<double> w(1.0, 0.0);
      for (std::size_t k = 0; k < len / 2; ++k) {
        const auto u = x[i + k];
        const auto v = x[i + k + len / 2] * w;
        x[i + k] = u + v;
        x[i + k + len / 2] = u - v;
        w *= unit;
      }
    }
  }
}

float SampleAt(const StereoAudio& audio, std::size_t frame, int channel) {
  return frame < audio.Frames() ? audio.samples[2 * frame + static_cast<std::size_t>(channel)] : 0.0f;
}

}  // namespace

void AnalyseFrame(const StereoAudio& audio, std::size_t firstFrame, std::size_t frameCount,
                  aimp::TAIMPVisualData& data) {
  std::memset(&data, 0, sizeof data);
  std::int32_t* levels[2] = {&data.LevelL, &data.LevelR};
  for (int channel = 0; channel < 2; ++channel) {
    float peak = 0.0f;
    for (std::size_t f = firstFrame; f < firstFrame + frameCount; ++f)
      peak = std::max(peak, std::fabs(SampleAt(audio, f, channel)));
    *levels[channel] = static_cast<std::int32_t>(std::lround(std::min(1.0f, peak) * 100.0f));

    std::complex<double> bins[kWindow];
    for (std::size_t i = 0; i < kWindow; ++i) {
      const float sample = SampleAt(audio, firstFrame + i, channel);
      data.WaveForm[channel][i] =
          static_cast<std::int8_t>(std::lround(std::clamp(sample, -1.0f, 1.0f) * 127.0f));
      const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                               (kWindow - 1));
      bins[i] = static_cast<double>(sample) * hann;
    }
    Fft(bins);
    for (std::size_t band = 0; band < 256; ++band) {
      // 60 dB of range mapped onto 0 .. 255.
      const double magnitude = std::abs(bins[band]) / (kWindow / 4.0);
      const double db = 20.0 * std::log10(std::max(magnitude, 1e-6));
      data.Spectrum[channel][band] =
          static_cast<std::uint8_t>(std::clamp((db + 60.0) / 60.0 * 255.0, 0.0, 255.0));
    }
  }
}

}  // namespace fanhost
