// The recorder's animated PNG, read back chunk by chunk: valid chunks and sequence numbers, the
// frame count, changed rectangles only after the first frame, and every frame as it was fed.
#include "fanhost/apng_writer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/imaging.h"
#include "support/image_compare.h"

namespace fanhost {
namespace {

std::uint32_t Get32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

struct Chunk {
  std::string type;
  std::vector<std::uint8_t> data;
};

std::vector<Chunk> ReadChunks(const std::vector<std::uint8_t>& file) {
  std::vector<Chunk> chunks;
  for (std::size_t pos = 8; pos + 12 <= file.size();) {
    const std::uint32_t size = Get32(&file[pos]);
    Chunk chunk{std::string(reinterpret_cast<const char*>(&file[pos + 4]), 4),
                {file.begin() + static_cast<long>(pos) + 8, file.begin() + static_cast<long>(pos + 8 + size)}};
    uLong crc = crc32(0, &file[pos + 4], 4);
    if (size > 0) crc = crc32(crc, chunk.data.data(), size);  // zlib answers 0 for no data
    EXPECT_EQ(Get32(&file[pos + 8 + size]), crc) << chunk.type;
    chunks.push_back(std::move(chunk));
    pos += 12 + size;
  }
  return chunks;
}

// Inflates and unfilters ("Up" rows) a w x h RGB rectangle onto the canvas at (x, y).
void Paint(platform::PixelBuffer& canvas, const std::vector<std::uint8_t>& compressed, int x, int y, int w, int h) {
  std::vector<std::uint8_t> raw(static_cast<std::size_t>(h) * (static_cast<std::size_t>(w) * 3 + 1));
  uLongf size = static_cast<uLongf>(raw.size());
  ASSERT_EQ(uncompress(raw.data(), &size, compressed.data(), static_cast<uLong>(compressed.size())), Z_OK);
  std::vector<std::uint8_t> above(static_cast<std::size_t>(w) * 3, 0);
  for (int row = 0; row < h; ++row) {
    const std::uint8_t* line = &raw[static_cast<std::size_t>(row) * (static_cast<std::size_t>(w) * 3 + 1)];
    ASSERT_EQ(line[0], 2);
    for (int i = 0; i < w * 3; ++i) above[static_cast<std::size_t>(i)] += line[1 + i];
    for (int col = 0; col < w; ++col) {
      const std::uint8_t* p = &above[static_cast<std::size_t>(col) * 3];
      canvas.At(x + col, y + row) = {p[2], p[1], p[0], 255};
    }
  }
}

platform::PixelBuffer Frame(int width, int height, std::uint8_t shade) {
  platform::PixelBuffer frame(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      frame.At(x, y) = {static_cast<std::uint8_t>(x * 7 + shade), static_cast<std::uint8_t>(y * 5), shade, 255};
  return frame;
}

TEST(ApngWriter, FramesReadBackAsTheyWereFed) {
  const auto path = std::filesystem::temp_directory_path() / "vf_recording.png";
  std::vector<platform::PixelBuffer> frames{Frame(20, 12, 10), Frame(20, 12, 10), Frame(20, 12, 10)};
  for (int y = 3; y < 6; ++y)
    for (int x = 4; x < 9; ++x) frames[1].At(x, y) = {1, 2, 3, 255};  // frame 2 repeats frame 1
  frames[2] = frames[1];

  ApngWriter writer;
  std::string error;
  ASSERT_TRUE(writer.Open(path.string(), 20, 12, 10, error)) << error;
  for (const auto& frame : frames) ASSERT_TRUE(writer.AddFrame(frame, error)) << error;
  EXPECT_FALSE(writer.AddFrame(Frame(5, 5, 0), error)) << "a frame of another size is refused";
  ASSERT_TRUE(writer.Close(error)) << error;

  const std::vector<std::uint8_t> file = [&] {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>{std::istreambuf_iterator<char>(in), {}};
  }();
  std::filesystem::remove(path);  // after the stream is closed: Windows keeps open files
  // Readers without animation support see the first frame as the image.
  EXPECT_TRUE(vf::test::ImagesMatch(platform::png::Decode(file.data(), file.size()), frames[0], "apng_first",
                                    {0, false}));

  const auto chunks = ReadChunks(file);
  ASSERT_GE(chunks.size(), 3u);
  EXPECT_EQ(chunks[0].type, "IHDR");
  EXPECT_EQ(chunks[1].type, "acTL");
  EXPECT_EQ(Get32(chunks[1].data.data()), 3u);
  EXPECT_EQ(chunks.back().type, "IEND");

  platform::PixelBuffer canvas(20, 12);
  std::uint32_t sequence = 0;
  int frame = -1;
  std::vector<std::array<std::uint32_t, 4>> boxes;
  std::array<std::uint32_t, 4> box{};
  for (const auto& chunk : chunks) {
    if (chunk.type == "fcTL") {
      EXPECT_EQ(Get32(chunk.data.data()), sequence++);
      box = {Get32(&chunk.data[12]), Get32(&chunk.data[16]), Get32(&chunk.data[4]), Get32(&chunk.data[8])};
      boxes.push_back(box);
      ++frame;
    } else if (chunk.type == "IDAT" || chunk.type == "fdAT") {
      std::vector<std::uint8_t> data = chunk.data;
      if (chunk.type == "fdAT") {
        EXPECT_EQ(Get32(data.data()), sequence++);
        data.erase(data.begin(), data.begin() + 4);
      }
      Paint(canvas, data, static_cast<int>(box[0]), static_cast<int>(box[1]), static_cast<int>(box[2]),
            static_cast<int>(box[3]));
      EXPECT_TRUE(vf::test::ImagesMatch(canvas, frames[static_cast<std::size_t>(frame)], "apng_frame", {0, false}));
    }
  }
  EXPECT_EQ(frame, 2);
  EXPECT_EQ(boxes[0], (std::array<std::uint32_t, 4>{0, 0, 20, 12}));
  EXPECT_EQ(boxes[1], (std::array<std::uint32_t, 4>{4, 3, 5, 3})) << "only the changed rectangle";
  EXPECT_EQ(boxes[2], (std::array<std::uint32_t, 4>{0, 0, 1, 1})) << "an unchanged frame is one pixel";
}

TEST(ApngWriter, NoFrameNoFile) {
  const auto path = std::filesystem::temp_directory_path() / "vf_empty_recording.png";
  ApngWriter writer;
  std::string error;
  ASSERT_TRUE(writer.Open(path.string(), 4, 4, 10, error));
  EXPECT_FALSE(writer.Close(error));
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace fanhost
