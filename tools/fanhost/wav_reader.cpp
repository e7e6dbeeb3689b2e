#include <cstring>
#include <fstream>
#include <iterator>

#include "audio.h"

namespace fanhost {

namespace {

std::uint32_t ReadLE(const unsigned char* bytes, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

}  // namespace

bool ReadWav(const std::string& path, StereoAudio& audio, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot open " + path;
    return false;
  }
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    error = path + " is not a RIFF WAVE file";
    return false;
  }

  std::uint32_t channels = 0, rate = 0, bits = 0, format = 0;
  const unsigned char* data = nullptr;
  std::size_t dataSize = 0;
  for (std::size_t pos = 12; pos + 8 <= bytes.size();) {
    const std::size_t size = ReadLE(&bytes[pos + 4], 4);
    const std::size_t body = pos + 8;
    const std::size_t available = std::min(size, bytes.size() - body);
    if (std::memcmp(&bytes[pos], "fmt ", 4) == 0 && available >= 16) {
      format = ReadLE(&bytes[body], 2);
      channels = ReadLE(&bytes[body + 2], 2);
      rate = ReadLE(&bytes[body + 4], 4);
      bits = ReadLE(&bytes[body + 14], 2);
    } else if (std::memcmp(&bytes[pos], "data", 4) == 0) {
      data = &bytes[body];
      dataSize = available;
    }
    pos = body + size + (size & 1);
  }
  if (format != 1 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate == 0 ||
      data == nullptr) {
    error = path + ": only 8- or 16-bit PCM with one or two channels is supported";
    return false;
  }

  const std::size_t sampleBytes = bits / 8;
  const std::size_t frames = dataSize / (sampleBytes * channels);
  audio.sampleRate = rate;
  audio.samples.resize(frames * 2);
  for (std::size_t f = 0; f < frames; ++f) {
    for (std::uint32_t c = 0; c < 2; ++c) {
      const std::uint32_t source = c < channels ? c : 0;
      const unsigned char* sample = data + (f * channels + source) * sampleBytes;
      const float value = bits == 8 ? (static_cast<float>(sample[0]) - 128.0f) / 128.0f
                                    : static_cast<float>(static_cast<std::int16_t>(ReadLE(sample, 2))) /
                                          32768.0f;
      audio.samples[2 * f + c] = value;
    }
  }
  return true;
}

}  // namespace fanhost
