// WAV files in the shapes people have them are played, and every file that cannot be played is
// refused with a reason, never read past its end.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fanhost/audio.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& out, std::uint32_t value, int count) {
  for (int i = 0; i < count; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

struct Chunk {
  std::string id;
  Bytes body;
  std::optional<std::uint32_t> declaredSize;  // a size that lies
};

Bytes Wav(const std::vector<Chunk>& chunks) {
  Bytes out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  for (const auto& chunk : chunks) {
    out.insert(out.end(), chunk.id.begin(), chunk.id.end());
    Put(out, chunk.declaredSize.value_or(static_cast<std::uint32_t>(chunk.body.size())), 4);
    out.insert(out.end(), chunk.body.begin(), chunk.body.end());
    if (chunk.body.size() % 2 != 0) out.push_back(0);  // the pad byte
  }
  const auto riff = static_cast<std::uint32_t>(out.size() - 8);
  std::memcpy(&out[4], &riff, 4);
  return out;
}

Chunk Fmt(std::uint16_t tag, std::uint16_t channels, std::uint16_t bits, std::uint32_t rate = 8000,
          std::optional<std::uint16_t> blockAlign = {}) {
  Bytes body;
  const std::uint16_t align = blockAlign.value_or(static_cast<std::uint16_t>(channels * bits / 8));
  Put(body, tag, 2);
  Put(body, channels, 2);
  Put(body, rate, 4);
  Put(body, rate * align, 4);
  Put(body, align, 2);
  Put(body, bits, 2);
  return {"fmt ", body, {}};
}

Chunk Extensible(std::uint16_t subFormat, std::uint16_t channels, std::uint16_t bits) {
  Chunk chunk = Fmt(0xFFFE, channels, bits);
  Put(chunk.body, 22, 2);    // extra bytes
  Put(chunk.body, bits, 2);  // valid bits
  Put(chunk.body, 3, 4);     // channel mask
  Put(chunk.body, subFormat, 2);
  for (std::uint8_t b : {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
    chunk.body.push_back(b);
  return chunk;
}

Chunk Data(const Bytes& body, std::optional<std::uint32_t> declared = {}) { return {"data", body, declared}; }

Bytes Int16s(std::initializer_list<int> values) {
  Bytes out;
  for (int v : values) Put(out, static_cast<std::uint32_t>(v), 2);
  return out;
}

Bytes Floats(std::initializer_list<float> values) {
  Bytes out;
  for (float v : values) {
    std::uint32_t raw;
    std::memcpy(&raw, &v, 4);
    Put(out, raw, 4);
  }
  return out;
}

TEST(WavReader, PlaysTheShapesPeopleHave) {
  const Chunk list{"LIST", Bytes{'I', 'N', 'F', 'O', 'I', 'S', 'F', 'T', 1, 0, 0, 0, 'x', 0}, {}};
  const Chunk odd{"junk", Bytes{1, 2, 3}, {}};
  const struct {
    const char* name;
    Bytes file;
    std::vector<float> samples;  // left, right, ...
  } cases[] = {
      {"16-bit stereo", Wav({Fmt(1, 2, 16), Data(Int16s({16384, -32768, 0, 32767}))}),
       {0.5f, -1.0f, 0.0f, 32767.0f / 32768.0f}},
      {"8-bit mono on both sides", Wav({Fmt(1, 1, 8), Data(Bytes{0, 128, 192})}),
       {-1.0f, -1.0f, 0.0f, 0.0f, 0.5f, 0.5f}},
      {"24-bit stereo", Wav({Fmt(1, 2, 24), Data(Bytes{0, 0, 0x40, 0, 0, 0xC0})}), {0.5f, -0.5f}},
      {"32-bit PCM mono", Wav({Fmt(1, 1, 32), Data(Bytes{0, 0, 0, 0xC0})}), {-0.5f, -0.5f}},
      {"float past full scale and not a number",
       Wav({Fmt(3, 2, 32), Data(Floats({2.0f, -0.25f, std::nanf(""), 0.75f}))}),
       {1.0f, -0.25f, 0.0f, 0.75f}},
      {"extensible PCM", Wav({Extensible(1, 2, 16), Data(Int16s({-16384, 8192}))}), {-0.5f, 0.25f}},
      {"extensible float", Wav({Extensible(3, 1, 32), Data(Floats({0.125f}))}), {0.125f, 0.125f}},
      {"data before format, LIST and an odd chunk between",
       Wav({Data(Int16s({8192, 8192})), list, odd, Fmt(1, 2, 16)}), {0.25f, 0.25f}},
      {"four channels: the first two", Wav({Fmt(1, 4, 16), Data(Int16s({8192, -8192, 32767, 32767}))}),
       {0.25f, -0.25f}},
      {"data size past the end: the whole frames there",
       Wav({Fmt(1, 2, 16), Data(Int16s({8192, 8192, 16384}), 0xFFFFFFFFu)}), {0.25f, 0.25f}},
  };
  for (const auto& c : cases) {
    fanhost::StereoAudio audio;
    std::string error;
    ASSERT_TRUE(fanhost::ParseWav(c.file.data(), c.file.size(), audio, error)) << c.name << ": " << error;
    EXPECT_EQ(audio.sampleRate, 8000u) << c.name;
    ASSERT_EQ(audio.samples.size(), c.samples.size()) << c.name;
    for (std::size_t i = 0; i < c.samples.size(); ++i)
      EXPECT_NEAR(audio.samples[i], c.samples[i], 1e-6) << c.name << " sample " << i;
  }
}

TEST(WavReader, RefusesWhatCannotBePlayedWithAReason) {
  const Bytes good = Wav({Fmt(1, 2, 16), Data(Int16s({1, 2}))});
  const struct {
    const char* name;
    Bytes file;
    const char* reason;
  } cases[] = {
      {"empty", Bytes{}, "not a RIFF WAVE"},
      {"another RIFF type", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}, "not a RIFF WAVE"},
      {"truncated after the header", Bytes(good.begin(), good.begin() + 12), "no format chunk"},
      {"truncated inside the format", Bytes(good.begin(), good.begin() + 24), "too short"},
      {"no data chunk", Wav({Fmt(1, 2, 16)}), "no data chunk"},
      {"ADPCM", Wav({Fmt(2, 2, 4, 8000, 2048), Data(Bytes(2048, 0))}), "only PCM"},
      {"12-bit PCM", Wav({Fmt(1, 1, 12, 8000, 2), Data(Bytes(4, 0))}), "only PCM"},
      {"extensible ADPCM", Wav({Extensible(2, 2, 16), Data(Int16s({1, 2}))}), "only PCM"},
      {"no channels", Wav({Fmt(1, 0, 16, 8000, 0), Data(Int16s({1, 2}))}), "0 channels"},
      {"no sample rate", Wav({Fmt(1, 2, 16, 0), Data(Int16s({1, 2}))}), "0 Hz"},
      {"block size that lies", Wav({Fmt(1, 2, 16, 8000, 3), Data(Int16s({1, 2, 3}))}), "block size"},
      {"no whole frame", Wav({Fmt(1, 2, 16), Data(Bytes{1, 2})}), "holds no sound"},
  };
  for (const auto& c : cases) {
    fanhost::StereoAudio audio;
    std::string error;
    EXPECT_FALSE(fanhost::ParseWav(c.file.data(), c.file.size(), audio, error)) << c.name;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
  }
}

TEST(WavReader, AMissingFileIsNamed) {
  fanhost::StereoAudio audio;
  std::string error;
  EXPECT_FALSE(fanhost::ReadWav("no/such/file.wav", audio, error));
  EXPECT_EQ(error, "cannot open no/such/file.wav");
}

}  // namespace
