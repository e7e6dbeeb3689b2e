#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Stereo audio as the substitute host plays it: interleaved float samples in -1 .. 1.
namespace fanhost {

struct StereoAudio {
  std::uint32_t sampleRate = 44100;
  std::vector<float> samples;  // left, right, left, right, ...

  std::size_t Frames() const { return samples.size() / 2; }
  double Seconds() const { return static_cast<double>(Frames()) / sampleRate; }
};

// The built-in default track: a short synthesised groove whose channels differ (the kick and a
// chord stab lean left, the hi-hats right, the bass in the middle), so each fan follows its own
// part. Deterministic, so headless runs repeat exactly.
StereoAudio SynthesiseDefaultTrack(double seconds = 16.0);

// A WAV file's bytes: PCM of 8, 16, 24 or 32 bits or float of 32 or 64 bits, plain or extensible,
// mono or more channels. False with error set (why, in a few words) when they cannot be played.
bool ParseWav(const std::uint8_t* bytes, std::size_t size, StereoAudio& audio, std::string& error);

// The same for a file; the error then names the file.
bool ReadWav(const std::string& path, StereoAudio& audio, std::string& error);

}  // namespace fanhost
