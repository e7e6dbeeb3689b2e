// WAV files as people have them: PCM of 8, 16, 24 or 32 bits and IEEE float of 32 or 64 bits, in
// the plain or the extensible format, chunks in any order with LIST and other chunks between,
// odd-sized chunks with their pad byte, and recorders' files whose data chunk claims more than the
// file holds (the whole frames that are there are played).
#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fanhost/audio.h"

namespace fanhost {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// The sub-format GUID of the extensible format after its first two bytes, which hold the format.
constexpr std::array<std::uint8_t, 14> kGuidTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                    0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
// More than a day of stereo audio at 48 kHz: a file that claims more is not played.
constexpr std::size_t kMaxFrames = std::size_t{48000} * 60 * 60 * 24;

std::uint32_t ReadLE(const std::uint8_t* bytes, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

struct Format {
  std::uint16_t tag = 0;
  std::uint16_t channels = 0;
  std::uint32_t rate = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bits = 0;
};

bool ParseFormat(const std::uint8_t* body, std::size_t size, Format& format, std::string& error) {
  if (size < 16) {
    error = "its format chunk is too short";
    return false;
  }
  format.tag = static_cast<std::uint16_t>(ReadLE(body, 2));
  format.channels = static_cast<std::uint16_t>(ReadLE(body + 2, 2));
  format.rate = ReadLE(body + 4, 4);
  format.blockAlign = static_cast<std::uint16_t>(ReadLE(body + 12, 2));
  format.bits = static_cast<std::uint16_t>(ReadLE(body + 14, 2));
  if (format.tag == kFormatExtensible) {
    if (size < 40 || !std::equal(kGuidTail.begin(), kGuidTail.end(), body + 26)) {
      error = "its extensible format names no PCM or float sub-format";
      return false;
    }
    format.tag = static_cast<std::uint16_t>(ReadLE(body + 24, 2));
  }
  return true;
}

float DecodeSample(const std::uint8_t* sample, const Format& format) {
  if (format.tag == kFormatFloat) {
    if (format.bits == 32) {
      const std::uint32_t raw = ReadLE(sample, 4);
      float value;
      std::memcpy(&value, &raw, sizeof value);
      return value;
    }
    const std::uint64_t raw = ReadLE(sample, 4) | (std::uint64_t{ReadLE(sample + 4, 4)} << 32);
    double value;
    std::memcpy(&value, &raw, sizeof value);
    return static_cast<float>(value);
  }
  switch (format.bits) {
    case 8: return (static_cast<float>(sample[0]) - 128.0f) / 128.0f;
    case 16: return static_cast<float>(static_cast<std::int16_t>(ReadLE(sample, 2))) / 32768.0f;
    case 24: {
      // Sign-extend the 24-bit value through the top of a 32-bit one.
      const auto value = static_cast<std::int32_t>(ReadLE(sample, 3) << 8) / 256;
      return static_cast<float>(value) / 8388608.0f;
    }
    default: return static_cast<float>(static_cast<std::int32_t>(ReadLE(sample, 4))) / 2147483648.0f;
  }
}

}  // namespace

bool ParseWav(const std::uint8_t* bytes, std::size_t size, StereoAudio& audio, std::string& error) {
  if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
    error = "it is not a RIFF WAVE file";
    return false;
  }
  Format format;
  bool haveFormat = false;
  const std::uint8_t* data = nullptr;
  std::size_t dataSize = 0;
  // The RIFF size is not trusted: the chunks are walked to the end of what the file holds.
  for (std::size_t pos = 12; pos + 8 <= size;) {
    const std::size_t chunkSize = ReadLE(bytes + pos + 4, 4);
    const std::size_t body = pos + 8;
    const std::size_t available = std::min(chunkSize, size - body);
    if (std::memcmp(bytes + pos, "fmt ", 4) == 0 && !haveFormat) {
      if (!ParseFormat(bytes + body, available, format, error)) return false;
      haveFormat = true;
    } else if (std::memcmp(bytes + pos, "data", 4) == 0 && data == nullptr) {
      data = bytes + body;
      dataSize = available;
    }
    if (chunkSize > size - body) break;  // the last chunk runs past the end of the file
    pos = body + chunkSize + (chunkSize & 1);
  }
  if (!haveFormat) {
    error = "it has no format chunk (truncated?)";
    return false;
  }
  if (data == nullptr) {
    error = "it has no data chunk (truncated?)";
    return false;
  }
  const bool pcm = format.tag == kFormatPcm &&
                   (format.bits == 8 || format.bits == 16 || format.bits == 24 || format.bits == 32);
  const bool floating = format.tag == kFormatFloat && (format.bits == 32 || format.bits == 64);
  if (!pcm && !floating) {
    error = "only PCM of 8, 16, 24 or 32 bits and float of 32 or 64 bits can be played (format " +
            std::to_string(format.tag) + ", " + std::to_string(format.bits) + " bits)";
    return false;
  }
  if (format.channels == 0 || format.rate == 0 || format.rate > 768000) {
    error = "its format chunk gives " + std::to_string(format.channels) + " channels at " +
            std::to_string(format.rate) + " Hz";
    return false;
  }
  const std::size_t sampleBytes = format.bits / 8u;
  if (format.blockAlign != sampleBytes * format.channels) {
    error = "its block size " + std::to_string(format.blockAlign) + " does not match " +
            std::to_string(format.channels) + " channels of " + std::to_string(format.bits) +
            " bits";
    return false;
  }
  const std::size_t frames = dataSize / format.blockAlign;
  if (frames == 0 || frames > kMaxFrames) {
    error = frames == 0 ? "its data chunk holds no sound" : "its data chunk is too long to play";
    return false;
  }

  // Mono plays on both sides; of more channels, the first two are left and right.
  audio.sampleRate = format.rate;
  audio.samples.assign(frames * 2, 0.0f);
  for (std::size_t f = 0; f < frames; ++f) {
    const std::uint8_t* frame = data + f * format.blockAlign;
    for (std::size_t c = 0; c < 2; ++c) {
      const std::size_t source = format.channels == 1 ? 0 : c;
      const float value = DecodeSample(frame + source * sampleBytes, format);
      // Float files may hold values past full scale, or no number at all.
      audio.samples[2 * f + c] = value == value ? std::clamp(value, -1.0f, 1.0f) : 0.0f;
    }
  }
  return true;
}

bool ReadWav(const std::string& path, StereoAudio& audio, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot open " + path;
    return false;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  if (!ParseWav(bytes.data(), bytes.size(), audio, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace fanhost
