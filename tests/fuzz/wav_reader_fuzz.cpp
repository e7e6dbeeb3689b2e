// Fuzz target for the substitute host's WAV reader.
//
// Input: the bytes of a file. Properties: no crash or hang, nothing read past the input (the
// sanitizers watch), and an accepted file gives whole stereo frames of samples in -1 .. 1 at a
// sample rate that is not 0.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fanhost/audio.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fanhost::StereoAudio audio;
  std::string error;
  if (!fanhost::ParseWav(data, size, audio, error)) {
    Require(!error.empty(), "a refusal says why");
    return 0;
  }
  Require(audio.sampleRate != 0, "a sample rate");
  Require(audio.samples.size() % 2 == 0 && !audio.samples.empty(), "whole stereo frames");
  for (float sample : audio.samples) Require(sample >= -1.0f && sample <= 1.0f, "samples in range");
  return 0;
}
