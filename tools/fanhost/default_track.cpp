#include <cmath>
#include <numbers>

#include "fanhost/audio.h"

namespace fanhost {

namespace {

constexpr double kTempo = 120.0;  // beats per minute
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// A small fixed-seed generator for the hi-hat noise.
class Noise {
 public:
  float Next() {
    FState = FState * 1664525u + 1013904223u;
    return static_cast<float>(FState >> 8) / static_cast<float>(1u << 23) - 1.0f;
  }

 private:
  std::uint32_t FState = 0x2545F491u;
};

double Kick(double t) {
  if (t < 0.0 || t > 0.45) return 0.0;
  // A sine that falls from 120 Hz to 45 Hz: the classic electronic bass drum.
  const double phase = kTwoPi * (45.0 * t + 75.0 * (1.0 - std::exp(-t * 30.0)) / 30.0);
  return std::sin(phase) * std::exp(-t * 7.0);
}

double Bass(double t, double frequency, double length) {
  if (t < 0.0 || t > length) return 0.0;
  const double envelope = std::min(1.0, t * 200.0) * std::exp(-t * 3.0);
  const double saw = 2.0 * (t * frequency - std::floor(t * frequency + 0.5));
  return 0.6 * saw * envelope;
}

double Chord(double t, const double (&frequencies)[3]) {
  if (t < 0.0 || t > 0.6) return 0.0;
  double sum = 0.0;
  for (double f : frequencies) sum += std::sin(kTwoPi * f * t) + 0.3 * std::sin(kTwoPi * 2 * f * t);
  return sum / 3.0 * std::exp(-t * 5.0);
}

}  // namespace

StereoAudio SynthesiseDefaultTrack(double seconds) {
  StereoAudio audio;
  const auto frames = static_cast<std::size_t>(seconds * audio.sampleRate);
  audio.samples.resize(frames * 2);

  const double beat = 60.0 / kTempo;
  const double bassNotes[4] = {55.0, 55.0, 65.41, 49.0};  // A, A, C, G
  const double chords[4][3] = {
      {220.0, 261.63, 329.63}, {220.0, 261.63, 329.63}, {261.63, 329.63, 392.0}, {196.0, 246.94, 293.66}};
  Noise noise;
  float hatDecay = 0.0f;

  for (std::size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / audio.sampleRate;
    const double beatPos = t / beat;
    const auto beatIndex = static_cast<long>(beatPos);
    const double inBeat = (beatPos - static_cast<double>(beatIndex)) * beat;
    const int bar = static_cast<int>((beatIndex / 4) % 4);
    // The groove breathes: every eighth bar drops the kick, so the fans slow down and speed up.
    const bool breakBar = (beatIndex / 4) % 8 == 7;

    const double kick = breakBar ? 0.0 : Kick(inBeat);
    const double halfBeat = std::fmod(t, beat / 2.0);
    const double bass = Bass(halfBeat, bassNotes[bar], beat / 2.0);
    const double chord = (beatIndex % 2 == 1) ? Chord(inBeat, chords[bar]) : 0.0;

    // Off-beat hi-hats: short noise bursts on the second half of each beat.
    const double offbeat = std::fmod(t + beat / 2.0, beat);
    if (offbeat < 1.0 / audio.sampleRate) hatDecay = 1.0f;
    hatDecay *= 0.9993f;
    const double hat = static_cast<double>(noise.Next() * hatDecay) * 0.35;

    // The kick leans left and the hi-hats right, so the two fans follow different parts.
    const double left = 0.6 * kick + 0.3 * bass + 0.45 * chord + 0.05 * hat;
    const double right = 0.25 * kick + 0.3 * bass + 0.1 * chord + 0.6 * hat;
    audio.samples[2 * i] = static_cast<float>(std::tanh(left));
    audio.samples[2 * i + 1] = static_cast<float>(std::tanh(right));
  }
  return audio;
}

}  // namespace fanhost
