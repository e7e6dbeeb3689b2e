// Text for the Windows back end: GDI draws it. GDI text carries no alpha, so each line is drawn
// white on black into a 32-bit DIB section of the box, and the drawn brightness is then used as the
// coverage with which the wanted colour is blended into the caller's pixels.
#include "platform/font.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "gdi_objects.h"

// windows.h maps DrawText to DrawTextW; the seam's own DrawText is meant here.
#undef DrawText

namespace platform {
namespace {

using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, win32::DeleteObjectFunction>;

UniqueFont MakeFont(const FontSpec& font) {
  const std::wstring face(font.Face.begin(), font.Face.end());
  return UniqueFont(::CreateFontW(-font.HeightPx, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL,
                                  font.Italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

UINT AlignFlags(TextAlign align) {
  switch (align) {
    case TextAlign::Center: return DT_CENTER;
    case TextAlign::Right: return DT_RIGHT;
    case TextAlign::Left: break;
  }
  return DT_LEFT;
}

}  // namespace

Point MeasureText(const FontSpec& font, std::u16string_view text) {
  win32::UniqueDC dc(::CreateCompatibleDC(nullptr));
  UniqueFont handle = MakeFont(font);
  if (!dc || !handle) return {};
  win32::SelectedObject selected(dc.get(), handle.get());
  const std::wstring wide = Wide(text);
  RECT box{0, 0, 0, 0};
  ::DrawTextW(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &box,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  return {box.right - box.left, box.bottom - box.top};
}

void DrawText(PixelBuffer& target, const Rect& box, const FontSpec& font, std::u16string_view text,
              TextColor color, TextAlign align) {
  const Rect clip{std::max(box.Left, 0), std::max(box.Top, 0), std::min(box.Right, target.Width()),
                  std::min(box.Bottom, target.Height())};
  if (clip.Width() <= 0 || clip.Height() <= 0) return;

  // The DIB covers the clipped part only; the text is laid out in the whole box around it.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = clip.Width();
  info.bmiHeader.biHeight = -clip.Height();  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  win32::UniqueDC dc(::CreateCompatibleDC(nullptr));
  if (!dc) return;
  win32::UniqueBitmap bitmap(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueFont handle = MakeFont(font);
  if (!bitmap || bits == nullptr || !handle) return;
  {
    win32::SelectedObject selectedBitmap(dc.get(), bitmap.get());
    win32::SelectedObject selectedFont(dc.get(), handle.get());
    std::fill_n(static_cast<std::uint32_t*>(bits), static_cast<std::size_t>(clip.Width()) * clip.Height(), 0U);
    ::SetBkMode(dc.get(), TRANSPARENT);
    ::SetTextColor(dc.get(), RGB(255, 255, 255));
    const std::wstring wide = Wide(text);
    RECT layout{box.Left - clip.Left, box.Top - clip.Top, box.Right - clip.Left, box.Bottom - clip.Top};
    ::DrawTextW(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &layout,
                AlignFlags(align) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    ::GdiFlush();
  }
  const PixelBuffer drawn = PixelBuffer::Wrap(bits, clip.Width(), clip.Height(),
                                              static_cast<std::ptrdiff_t>(clip.Width()) * 4);
  for (int y = 0; y < clip.Height(); ++y) {
    for (int x = 0; x < clip.Width(); ++x) {
      const Pixel32& source = drawn.At(x, y);
      const int a = std::max({source.r, source.g, source.b});
      if (a == 0) continue;
      Pixel32& p = target.At(clip.Left + x, clip.Top + y);
      auto mix = [a](int under, int over) {
        return static_cast<std::uint8_t>((over * a + under * (255 - a) + 127) / 255);
      };
      p.r = mix(p.r, color.R);
      p.g = mix(p.g, color.G);
      p.b = mix(p.b, color.B);
    }
  }
}

}  // namespace platform
