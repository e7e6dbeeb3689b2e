// Off-screen surfaces start white, copy 1:1 with clipping on both sides, stretch by replicating
// when enlarging and ANDing dropped pixels when shrinking, and give rectangles out and back.
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <vector>

#include "support/image_compare.h"
#include "test_images.h"

namespace vf::test {
namespace {

using platform::Surface;

bool IsWhite(const Pixel32& p) { return p.b == 255 && p.g == 255 && p.r == 255; }

// A source whose every pixel is different, opaque, so a misplaced copy always shows.
PixelBuffer Numbered(int width, int height) {
  PixelBuffer pixels(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels.At(x, y) = {static_cast<std::uint8_t>(10 + x), static_cast<std::uint8_t>(20 + y),
                         static_cast<std::uint8_t>(30 + x * 7 + y), 255};
    }
  }
  return pixels;
}

// White is every bit set, the fourth byte included, on both back ends.
TEST(Surface, WhiteSetsEveryBit) {
  Surface surface;
  surface.SetSize(2, 2);
  EXPECT_EQ(Contents(surface).At(1, 1), (Pixel32{255, 255, 255, 255}));
}

TEST(Surface, IsWhiteOnEveryNonEmptySize) {
  Surface surface;
  EXPECT_EQ(surface.Width(), 0);
  EXPECT_EQ(surface.Height(), 0);

  for (const auto& [width, height] : {std::pair{3, 2}, {3, 2}, {7, 5}, {5, 7}, {6, 5}, {1, 1}}) {
    surface.SetSize(width, height);
    ASSERT_EQ(surface.Width(), width);
    ASSERT_EQ(surface.Height(), height);
    const PixelBuffer pixels = Contents(surface);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) ASSERT_TRUE(IsWhite(pixels.At(x, y))) << width << "x" << height << " at " << x << "," << y;
    }
    // Dirty it, so the next SetSize (even to the same size) must whiten it again.
    platform::WritePixels(surface.DC(), 0, 0, Filled(width, height, {1, 2, 3, 255}));
  }

  for (const auto& [width, height] : {std::pair{0, 4}, {4, 0}, {-3, 2}, {-1, -1}}) {
    surface.SetSize(width, height);
    EXPECT_EQ(surface.Width(), 0);
    EXPECT_EQ(surface.Height(), 0);
  }
}

// Resizing by a little keeps the memory; far smaller or any larger takes new memory.
TEST(PixelBuffer, ReusesItsMemoryOnlyWithinTwiceWhatItNeeds) {
  struct Case {
    int width, height;
    bool reused;
  };
  const Case cases[] = {
      {640, 480, true},   // the same size
      {639, 480, true},   // a border dragged by a pixel
      {480, 640, true},   // the same bytes in another shape
      {400, 384, true},   // exactly half the bytes
      {400, 383, false},  // less than half: the memory would be mostly idle
      {641, 480, false},  // more than it has
      {0, 480, false},    // no pixels at all is the empty buffer, not a reshape
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    PixelBuffer pixels(640, 480);
    const Pixel32* memory = pixels.Row(0);
    EXPECT_EQ(pixels.ReuseFor(c.width, c.height), c.reused);
    EXPECT_EQ(pixels.Row(0), memory);
    EXPECT_EQ(pixels.Width(), c.reused ? c.width : 640);
    EXPECT_EQ(pixels.Height(), c.reused ? c.height : 480);
    EXPECT_EQ(pixels.Stride(), pixels.Width() * 4);
  }
  std::vector<Pixel32> theirs(16);
  PixelBuffer wrapped = PixelBuffer::Wrap(theirs.data(), 4, 4, 16);
  EXPECT_FALSE(wrapped.ReuseFor(2, 2));  // memory that is not its own
}

// A copy assigned keeps the target's memory where it fits, and never writes into wrapped memory.
TEST(PixelBuffer, CopyAssignmentReusesOwnMemoryOnly) {
  const PixelBuffer frame = Numbered(7, 5);
  PixelBuffer kept(7, 6);
  const Pixel32* memory = kept.Row(0);
  kept = frame;
  EXPECT_EQ(kept.Row(0), memory);
  EXPECT_TRUE(ImagesMatch(kept, frame, "copy_reused"));

  std::vector<Pixel32> theirs(35, Pixel32{1, 2, 3, 4});
  PixelBuffer wrapped = PixelBuffer::Wrap(theirs.data(), 7, 5, 28);
  wrapped = frame;
  EXPECT_NE(wrapped.Row(0), theirs.data());
  EXPECT_TRUE(ImagesMatch(wrapped, frame, "copy_owned"));
  EXPECT_EQ(theirs[0], (Pixel32{1, 2, 3, 4}));

  kept = PixelBuffer();
  EXPECT_TRUE(kept.Empty());
}

TEST(Surface, RefusesSizesThatOverflow) {
  Surface surface;
  EXPECT_THROW(surface.SetSize(INT_MAX, INT_MAX), std::bad_alloc);
}

TEST(Surface, BitBltCopiesOnlyWhatLiesInsideBothSurfaces) {
  const PixelBuffer source = Numbered(4, 3);
  struct Case {
    int x, y, width, height, sourceX, sourceY;
  };
  const Case cases[] = {
      {0, 0, 4, 3, 0, 0},      // whole source
      {1, 1, 4, 3, 0, 0},      // runs off the destination's right and bottom
      {-2, -1, 4, 3, 0, 0},    // negative destination
      {0, 0, 4, 3, -1, -2},    // negative source
      {2, 0, 3, 3, 2, 1},      // runs off the source's right and bottom
      {-1, 2, 9, 9, -3, -1},   // everything clipped at once
      {0, 0, 0, 3, 0, 0},      // empty width
      {0, 0, 3, -2, 0, 0},     // negative height
      {5, 0, 2, 2, 0, 0},      // wholly outside the destination
      {0, 0, 2, 2, 4, 0},      // wholly outside the source
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "BitBlt(" << c.x << ", " << c.y << ", " << c.width << ", " << c.height
                                    << ", " << c.sourceX << ", " << c.sourceY << ")");
    const Surface from = SurfaceOf(source);
    Surface to;
    to.SetSize(5, 4);
    const PixelBuffer before = Contents(to);
    platform::BitBlt(to.DC(), c.x, c.y, c.width, c.height, from.DC(), c.sourceX, c.sourceY);

    PixelBuffer expected = before;
    for (int j = 0; j < c.height; ++j) {
      for (int i = 0; i < c.width; ++i) {
        const int dx = c.x + i, dy = c.y + j, sx = c.sourceX + i, sy = c.sourceY + j;
        if (dx < 0 || dy < 0 || dx >= 5 || dy >= 4 || sx < 0 || sy < 0 || sx >= 4 || sy >= 3) continue;
        expected.At(dx, dy) = source.At(sx, sy);
      }
    }
    EXPECT_TRUE(ImagesMatch(Contents(to), expected, "bitblt_clip"));
  }
}

TEST(Surface, BitBltWithinOneSurfaceBehavesAsIfThroughACopy) {
  const PixelBuffer original = Numbered(6, 5);
  for (const auto& [dx, dy] : {std::pair{1, 1}, {-1, -1}, {2, 0}, {0, -2}, {-2, 1}}) {
    SCOPED_TRACE(testing::Message() << "shift " << dx << "," << dy);
    const Surface surface = SurfaceOf(original);
    platform::BitBlt(surface.DC(), dx, dy, 6, 5, surface.DC(), 0, 0);
    PixelBuffer expected = original;
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 6; ++x) {
        if (x - dx >= 0 && x - dx < 6 && y - dy >= 0 && y - dy < 5) expected.At(x, y) = original.At(x - dx, y - dy);
      }
    }
    EXPECT_TRUE(ImagesMatch(Contents(surface), expected, "bitblt_overlap"));
  }
}

TEST(Surface, StretchBltReplicatesWhenEnlarging) {
  const Pixel32 a{10, 20, 30, 255}, b{200, 150, 100, 255};
  PixelBuffer source(2, 2);
  source.At(0, 0) = a;
  source.At(1, 0) = b;
  source.At(0, 1) = b;
  source.At(1, 1) = a;
  const Surface from = SurfaceOf(source);
  Surface to;
  to.SetSize(5, 3);
  platform::StretchBlt(to.DC(), 0, 0, 5, 3, from.DC(), 0, 0, 2, 2);

  // Column d takes source column floor(d * 2 / 5): 0 0 0 1 1; row d takes floor(d * 2 / 3): 0 0 1.
  PixelBuffer expected(5, 3);
  const int column[] = {0, 0, 0, 1, 1};
  const int row[] = {0, 0, 1};
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) expected.At(x, y) = source.At(column[x], row[y]);
  }
  EXPECT_TRUE(ImagesMatch(Contents(to), expected, "stretch_enlarge"));
}

TEST(Surface, StretchBltShrinksToTheDestinationSize) {
  // Which dropped pixels a shrink combines is the platform's; the result covers the rectangle,
  // and a uniform source stays uniform.
  const Pixel32 grey{90, 90, 90, 255};
  const Surface from = SurfaceOf(Filled(7, 5, grey));
  Surface to;
  to.SetSize(4, 4);
  platform::StretchBlt(to.DC(), 0, 0, 3, 2, from.DC(), 0, 0, 7, 5);
  PixelBuffer expected = Filled(4, 4, {255, 255, 255, 0});
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) expected.At(x, y) = grey;
  }
  EXPECT_TRUE(ImagesMatch(Contents(to), expected, "stretch_shrink", {.tolerance = 0, .compareAlpha = false}));
}

TEST(Surface, StretchBltClipsAndIgnoresEmptyRectangles) {
  const PixelBuffer source = Numbered(3, 3);
  const Surface from = SurfaceOf(source);

  // Enlarging 3 x 3 to 6 x 6 at (-2, -2): the visible 4 x 4 are the lower right of the full result.
  Surface to;
  to.SetSize(4, 4);
  platform::StretchBlt(to.DC(), -2, -2, 6, 6, from.DC(), 0, 0, 3, 3);
  PixelBuffer expected(4, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) expected.At(x, y) = source.At((x + 2) / 2, (y + 2) / 2);
  }
  EXPECT_TRUE(ImagesMatch(Contents(to), expected, "stretch_clip"));

  const int empty[][4] = {{0, 3, 3, 3}, {3, -1, 3, 3}, {3, 3, 0, 3}, {3, 3, 3, -2}};
  for (const auto& sizes : empty) {
    Surface target;
    target.SetSize(3, 3);
    platform::StretchBlt(target.DC(), 0, 0, sizes[0], sizes[1], from.DC(), 0, 0, sizes[2], sizes[3]);
    EXPECT_TRUE(ImagesMatch(Contents(target), Filled(3, 3, {255, 255, 255, 0}), "stretch_empty",
                            {.tolerance = 0, .compareAlpha = false}));
  }
}

// A host may hand over anything as a device context. One that is not a drawing surface (here the
// address of some other object, and a surface already gone) is refused as the system refuses an
// invalid handle: nothing is drawn or read, and nothing is touched through it.
TEST(Surface, DeviceContextsThatAreNoSurfaceAreRefused) {
  platform::Surface surface;
  surface.SetSize(8, 8);
  const auto before = platform::ReadPixels(surface.DC(), 0, 0, 8, 8);
  std::uint32_t notASurface[64] = {};
  std::vector<platform::DeviceContext> refused = {notASurface};
#if !defined(_WIN32)
  // Windows may give a gone handle's number to the next device context it makes.
  {
    platform::Surface temporary;
    temporary.SetSize(8, 8);
    refused.push_back(temporary.DC());
  }
#endif
  for (platform::DeviceContext bogus : refused) {
    platform::BitBlt(bogus, 0, 0, 8, 8, surface.DC(), 0, 0);
    platform::BitBlt(surface.DC(), 0, 0, 8, 8, bogus, 0, 0);
    platform::StretchBlt(surface.DC(), 0, 0, 8, 8, bogus, 0, 0, 4, 4);
    const auto read = platform::ReadPixels(bogus, 0, 0, 2, 2);
    EXPECT_EQ(read.At(0, 0), (platform::Pixel32{0, 0, 0, 0}));
  }
  for (const auto word : notASurface) EXPECT_EQ(word, 0u);
  EXPECT_TRUE(ImagesMatch(platform::ReadPixels(surface.DC(), 0, 0, 8, 8), before, "refused_dc"));
}

TEST(Surface, ReadAndWriteRectanglesRoundTripAndClip) {
  Surface surface;
  surface.SetSize(4, 3);
  const PixelBuffer patch = Numbered(3, 2);
  platform::WritePixels(surface.DC(), 1, 1, patch);
  EXPECT_TRUE(ImagesMatch(platform::ReadPixels(surface.DC(), 1, 1, 3, 2), patch, "read_back"));

  // Reading past every edge: the outside reads as zero, all four bytes.
  const PixelBuffer around = platform::ReadPixels(surface.DC(), -1, -1, 6, 5);
  ASSERT_EQ(around.Width(), 6);
  ASSERT_EQ(around.Height(), 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x <= 4 && y >= 1 && y <= 3;
      if (!inside) {
        EXPECT_EQ(around.At(x, y), (Pixel32{0, 0, 0, 0})) << x << "," << y;
      } else if (x >= 2 && y >= 2) {
        EXPECT_EQ(around.At(x, y), patch.At(x - 2, y - 2)) << x << "," << y;
      } else {
        EXPECT_TRUE(IsWhite(around.At(x, y))) << x << "," << y;
      }
    }
  }

  // Writing past the edges writes only the inside part.
  Surface small;
  small.SetSize(2, 2);
  platform::WritePixels(small.DC(), -1, 1, patch);
  const PixelBuffer result = Contents(small);
  EXPECT_TRUE(IsWhite(result.At(0, 0)));
  EXPECT_TRUE(IsWhite(result.At(1, 0)));
  EXPECT_EQ(result.At(0, 1), patch.At(1, 0));
  EXPECT_EQ(result.At(1, 1), patch.At(2, 0));
}

}  // namespace
}  // namespace vf::test
