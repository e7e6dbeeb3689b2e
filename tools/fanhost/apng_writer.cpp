#include "fanhost/apng_writer.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

namespace fanhost {

namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}
void Put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

struct Box {
  int x0, y0, x1, y1;  // [x0, x1) x [y0, y1)
};

// The smallest rectangle holding every pixel that differs; a 1 x 1 box when nothing does, since
// a frame must cover at least one pixel.
Box ChangedBox(const platform::PixelBuffer& a, const platform::PixelBuffer& b) {
  Box box{a.Width(), a.Height(), 0, 0};
  for (int y = 0; y < a.Height(); ++y) {
    const platform::Pixel32* ra = a.Row(y);
    const platform::Pixel32* rb = b.Row(y);
    for (int x = 0; x < a.Width(); ++x) {
      if (ra[x].r == rb[x].r && ra[x].g == rb[x].g && ra[x].b == rb[x].b) continue;
      box.x0 = std::min(box.x0, x), box.x1 = std::max(box.x1, x + 1);
      box.y0 = std::min(box.y0, y), box.y1 = std::max(box.y1, y + 1);
    }
  }
  if (box.x1 <= box.x0) return Box{0, 0, 1, 1};
  return box;
}

// The rectangle as PNG image data: each row filtered with "Up" (type 2), then deflated.
bool Compress(const platform::PixelBuffer& frame, const Box& box, std::vector<std::uint8_t>& out) {
  const int width = box.x1 - box.x0;
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(box.y1 - box.y0) * (static_cast<std::size_t>(width) * 3 + 1));
  for (int y = box.y0; y < box.y1; ++y) {
    raw.push_back(2);
    const platform::Pixel32* row = frame.Row(y) + box.x0;
    const platform::Pixel32* above = y > box.y0 ? frame.Row(y - 1) + box.x0 : nullptr;
    for (int x = 0; x < width; ++x) {
      const platform::Pixel32 up = above != nullptr ? above[x] : platform::Pixel32{0, 0, 0, 0};
      raw.push_back(static_cast<std::uint8_t>(row[x].r - up.r));
      raw.push_back(static_cast<std::uint8_t>(row[x].g - up.g));
      raw.push_back(static_cast<std::uint8_t>(row[x].b - up.b));
    }
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  out.resize(size);
  if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) return false;
  out.resize(size);
  return true;
}

}  // namespace

ApngWriter::~ApngWriter() {
  if (FFile != nullptr) std::fclose(FFile);
}

bool ApngWriter::WriteChunk(const char* type, const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> head;
  Put32(head, static_cast<std::uint32_t>(size));
  head.insert(head.end(), type, type + 4);
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
  if (size > 0) crc = crc32(crc, data, static_cast<uInt>(size));
  std::vector<std::uint8_t> tail;
  Put32(tail, static_cast<std::uint32_t>(crc));
  return std::fwrite(head.data(), 1, head.size(), FFile) == head.size() &&
         (size == 0 || std::fwrite(data, 1, size, FFile) == size) &&
         std::fwrite(tail.data(), 1, tail.size(), FFile) == tail.size();
}

bool ApngWriter::Open(const std::string& path, int width, int height, int fps, std::string& error) {
  FFile = std::fopen(path.c_str(), "wb");
  if (FFile == nullptr) {
    error = "cannot write " + path;
    return false;
  }
  FPath = path;
  FWidth = width;
  FHeight = height;
  FFps = std::max(1, fps);
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  Put32(header, static_cast<std::uint32_t>(width));
  Put32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, adaptive filters, no interlace
  std::fwrite(kSignature, 1, sizeof kSignature, FFile);
  WriteChunk("IHDR", header.data(), header.size());
  // The frame count is known only at the end; Close writes it here.
  FActlOffset = std::ftell(FFile);
  const std::uint8_t control[8] = {0, 0, 0, 0, 0, 0, 0, 0};  // frames, then plays (0: for ever)
  if (!WriteChunk("acTL", control, sizeof control)) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

bool ApngWriter::AddFrame(const platform::PixelBuffer& frame, std::string& error) {
  if (FFile == nullptr || frame.Width() != FWidth || frame.Height() != FHeight) {
    error = "frame does not fit the recording";
    return false;
  }
  const Box box = FFrames == 0 ? Box{0, 0, FWidth, FHeight} : ChangedBox(frame, FPrevious);
  std::vector<std::uint8_t> control;
  Put32(control, FSequence++);
  Put32(control, static_cast<std::uint32_t>(box.x1 - box.x0));
  Put32(control, static_cast<std::uint32_t>(box.y1 - box.y0));
  Put32(control, static_cast<std::uint32_t>(box.x0));
  Put32(control, static_cast<std::uint32_t>(box.y0));
  Put16(control, 1);                                // delay numerator
  Put16(control, static_cast<std::uint16_t>(FFps));  // delay denominator
  control.push_back(0);                             // dispose: leave the frame as it is
  control.push_back(0);                             // blend: replace the rectangle
  std::vector<std::uint8_t> data;
  bool written = WriteChunk("fcTL", control.data(), control.size()) && Compress(frame, box, data);
  if (written && FFrames == 0) {
    written = WriteChunk("IDAT", data.data(), data.size());
  } else if (written) {
    std::vector<std::uint8_t> sequenced;
    Put32(sequenced, FSequence++);
    sequenced.insert(sequenced.end(), data.begin(), data.end());
    written = WriteChunk("fdAT", sequenced.data(), sequenced.size());
  }
  if (!written) {
    error = "cannot write " + FPath;
    return false;
  }
  FPrevious = frame;
  ++FFrames;
  return true;
}

bool ApngWriter::Close(std::string& error) {
  if (FFile == nullptr) return true;
  if (FFrames == 0) {
    // An animation needs a frame; a file without one would not be a PNG at all.
    std::fclose(FFile);
    FFile = nullptr;
    std::remove(FPath.c_str());
    error = "no frame was recorded";
    return false;
  }
  bool written = WriteChunk("IEND", nullptr, 0);
  std::vector<std::uint8_t> control;
  Put32(control, static_cast<std::uint32_t>(FFrames));
  Put32(control, 0);
  written = written && std::fseek(FFile, FActlOffset, SEEK_SET) == 0 &&
            WriteChunk("acTL", control.data(), control.size());
  written = std::fclose(FFile) == 0 && written;
  FFile = nullptr;
  if (!written) error = "cannot write " + FPath;
  return written;
}

}  // namespace fanhost
