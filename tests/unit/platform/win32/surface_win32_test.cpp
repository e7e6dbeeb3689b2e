// Off-screen surfaces are screen-format bitmaps in memory device contexts whose handles are all
// given back; pixel access and copies work on any device context, the host's included.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/imaging.h"
#include "platform/surface.h"
#include "support/image_compare.h"
#include "test_images.h"

namespace vf::test {
namespace {

namespace gp = platform::gdiplus;
using platform::Surface;

HDC AsHDC(platform::DeviceContext dc) { return static_cast<HDC>(dc); }

HGDIOBJ SelectedBitmap(const Surface& surface) { return ::GetCurrentObject(AsHDC(surface.DC()), OBJ_BITMAP); }

BITMAP Describe(HGDIOBJ bitmap) {
  BITMAP info{};
  ::GetObjectW(bitmap, sizeof info, &info);
  return info;
}

TEST(Win32Surface, IsAScreenFormatBitmapInAMemoryContext) {
  Surface surface;
  surface.SetSize(5, 3);
  ASSERT_EQ(::GetObjectType(surface.DC()), static_cast<DWORD>(OBJ_MEMDC));
  const BITMAP bitmap = Describe(SelectedBitmap(surface));
  EXPECT_EQ(bitmap.bmWidth, 5);
  EXPECT_EQ(bitmap.bmHeight, 3);
  // A bitmap made compatible with the memory context itself would be monochrome.
  HDC screen = ::GetDC(nullptr);
  const int screenBits = ::GetDeviceCaps(screen, BITSPIXEL);
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(bitmap.bmBitsPixel, screenBits);
  EXPECT_EQ(bitmap.bmBitsPixel, 32);

  const PixelBuffer pixels = Contents(surface);
  EXPECT_TRUE(ImagesMatch(pixels, Filled(5, 3, {255, 255, 255, 0}), "win32_white", {.compareAlpha = false}));
}

TEST(Win32Surface, ResizingAndDestroyingGiveBackEveryHandle) {
  HDC dc = nullptr;
  HGDIOBJ bitmap = nullptr;
  {
    Surface surface;
    dc = AsHDC(surface.DC());
    // The context's own 1 x 1 bitmap, which every deselection must put back.
    const HGDIOBJ original = SelectedBitmap(surface);

    surface.SetSize(4, 4);
    const HGDIOBJ first = SelectedBitmap(surface);
    ASSERT_NE(first, original);
    surface.SetSize(6, 2);
    EXPECT_EQ(::GetObjectType(first), 0u) << "the replaced bitmap was not deleted";

    const HGDIOBJ second = SelectedBitmap(surface);
    surface.SetSize(0, 5);
    EXPECT_EQ(SelectedBitmap(surface), original);
    EXPECT_EQ(::GetObjectType(second), 0u);

    surface.SetSize(3, 3);
    bitmap = SelectedBitmap(surface);
    EXPECT_EQ(::GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
  }
  EXPECT_EQ(::GetObjectType(bitmap), 0u);
  EXPECT_EQ(::GetObjectType(dc), 0u);
}

using Win32Imaging = ImagingTest;

TEST_F(Win32Imaging, DrawingLeavesTheStretchModeAtItsDefault) {
  Surface target;
  target.SetSize(4, 4);
  EXPECT_EQ(::GetStretchBltMode(AsHDC(target.DC())), BLACKONWHITE);
  Draw(target, ImageOf(Filled(2, 2, {0, 0, 255, 128})), 0, 0, 4, 4);
  platform::StretchBlt(target.DC(), 0, 0, 4, 4, target.DC(), 0, 0, 2, 2);
  EXPECT_EQ(::GetStretchBltMode(AsHDC(target.DC())), BLACKONWHITE);
}

TEST(Win32Surface, PixelsAndCopiesWorkOnAnyDeviceContext) {
  // A host's target: a memory context over a 32-bit DIB section, made without the platform layer.
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 6, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP section = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(section, nullptr);
  HDC host = ::CreateCompatibleDC(nullptr);
  HGDIOBJ original = ::SelectObject(host, section);
  ::PatBlt(host, 0, 0, 6, 4, BLACKNESS);

  const Surface source = SurfaceOf(Filled(3, 3, {10, 20, 30, 255}));
  platform::BitBlt(host, 4, 2, 3, 3, source.DC(), 0, 0);
  platform::WritePixels(host, -1, -1, Filled(2, 2, {50, 60, 70, 255}));
  const PixelBuffer read = platform::ReadPixels(host, 3, 1, 4, 4);

  PixelBuffer expected(4, 4);  // outside the host's 6 x 4 reads as zero
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) expected.At(x, y) = (x >= 1 && y >= 1) ? Pixel32{10, 20, 30, 255} : Pixel32{0, 0, 0, 0};
  }
  EXPECT_TRUE(ImagesMatch(read, expected, "win32_host", {.compareAlpha = false}));
  EXPECT_EQ(platform::ReadPixels(host, 0, 0, 1, 1).At(0, 0), (Pixel32{50, 60, 70, 255}));

  ::SelectObject(host, original);
  ::DeleteDC(host);
  ::DeleteObject(section);
}

TEST_F(Win32Imaging, AnEmptySurfaceGivesNoImage) {
  // Its context still holds its own 1 x 1 bitmap, which must not be wrapped instead.
  Surface surface;
  EXPECT_FALSE(gp::CreateBitmapFromSurface(surface));
  surface.SetSize(2, 1);
  const gp::Image image = gp::CreateBitmapFromSurface(surface);
  EXPECT_EQ(gp::GetImageWidth(image), 2u);
  EXPECT_EQ(gp::GetImageBounds(image), gp::Unit::Pixel);
}

}  // namespace
}  // namespace vf::test
