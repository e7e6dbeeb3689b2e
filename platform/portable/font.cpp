// Text for the portable back end: FreeType renders from installed font files. Faces are found in
// a fixed list of known places (Debian's packages), by the face name the caller asks for; a face
// that is missing falls back to the next candidate and finally to any font file under the system's
// font folder. Bold and italic that the chosen file does not have are synthesised (emboldened and
// sheared outlines), as GDI does. Should no font file exist at all, every character is drawn as a
// hollow box, so text never silently disappears.
#include "platform/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

namespace platform {
namespace {

struct Candidate {
  const char* Path;
  bool Bold;    // the file's own weight
  bool Italic;  // the file's own slant
};

// Wine's Tahoma from fonts-wine; then faces of the same proportions from fonts-dejavu-core and
// fonts-liberation.
const Candidate kTahoma[] = {
    {"/usr/share/wine/fonts/tahoma.ttf", false, false},
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", false, false},
    {"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf", false, false},
};
const Candidate kTahomaBold[] = {
    {"/usr/share/wine/fonts/tahomabd.ttf", true, false},
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", true, false},
    {"/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf", true, false},
};
// No Arial Black is installed on a Debian system: DejaVu Sans Bold is the heaviest wide sans face
// there, its oblique cut the nearest to a heavy italic.
const Candidate kHeavy[] = {
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", true, false},
    {"/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf", true, false},
    {"/usr/share/wine/fonts/tahomabd.ttf", true, false},
};
const Candidate kHeavyItalic[] = {
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf", true, true},
    {"/usr/share/fonts/truetype/liberation/LiberationSans-BoldItalic.ttf", true, true},
};
const Candidate kSans[] = {
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", false, false},
    {"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf", false, false},
    {"/usr/share/wine/fonts/tahoma.ttf", false, false},
};
const Candidate kSansBold[] = {
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", true, false},
    {"/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf", true, false},
};

bool SameName(std::u16string_view a, std::u16string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char16_t x, char16_t y) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

// The files to try for a request, best first.
std::vector<Candidate> CandidatesFor(const FontSpec& font) {
  std::vector<Candidate> list;
  auto add = [&list](const auto& group) { list.insert(list.end(), std::begin(group), std::end(group)); };
  if (SameName(font.Face, u"Arial Black")) {
    if (font.Italic) add(kHeavyItalic);
    add(kHeavy);
  } else if (SameName(font.Face, u"Tahoma")) {
    if (font.Bold) add(kTahomaBold);
    add(kTahoma);
  } else {
    if (font.Bold) add(kSansBold);
    add(kSans);
  }
  add(kSans);
  return list;
}

std::optional<Candidate> AnyInstalledFont() {
  std::error_code error;
  static const char* const kFolders[] = {"/usr/share/fonts", "/usr/local/share/fonts"};
  for (const char* folder : kFolders) {
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
      const auto extension = it->path().extension().string();
      if (extension == ".ttf" || extension == ".otf") {
        static std::string found;
        found = it->path().string();
        return Candidate{found.c_str(), false, false};
      }
    }
  }
  return std::nullopt;
}

struct FaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};

// One sized face, with what must be synthesised on top of it.
struct LoadedFace {
  std::unique_ptr<FT_FaceRec_, FaceDeleter> Face;
  bool Embolden = false;
  bool Slant = false;
};

class FontEngine {
 public:
  FontEngine() {
    if (FT_Init_FreeType(&FLibrary) != 0) FLibrary = nullptr;
  }
  ~FontEngine() {
    FCache.clear();
    if (FLibrary != nullptr) FT_Done_FreeType(FLibrary);
  }
  FontEngine(const FontEngine&) = delete;
  FontEngine& operator=(const FontEngine&) = delete;

  std::mutex& Lock() { return FLock; }

  // The face for a request, or null when no font file could be opened at all.
  LoadedFace* Face(const FontSpec& font) {
    const auto key = std::make_tuple(font.Face, font.HeightPx, font.Bold, font.Italic);
    if (auto it = FCache.find(key); it != FCache.end()) return it->second.Face ? &it->second : nullptr;
    LoadedFace& entry = FCache[key];
    if (FLibrary == nullptr) return nullptr;
    std::vector<Candidate> candidates = CandidatesFor(font);
    if (auto any = AnyInstalledFont()) candidates.push_back(*any);
    for (const Candidate& candidate : candidates) {
      FT_Face face = nullptr;
      if (FT_New_Face(FLibrary, candidate.Path, 0, &face) != 0) continue;
      entry.Face.reset(face);
      FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::max(1, font.HeightPx)));
      entry.Embolden = font.Bold && !candidate.Bold;
      entry.Slant = font.Italic && !candidate.Italic;
      return &entry;
    }
    return nullptr;
  }

 private:
  FT_Library FLibrary = nullptr;
  std::mutex FLock;
  std::map<std::tuple<std::u16string, int, bool, bool>, LoadedFace> FCache;
};

FontEngine& Engine() {
  static FontEngine engine;
  return engine;
}

std::u32string CodePoints(std::u16string_view text) {
  std::u32string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00U);
      ++i;
    }
    result.push_back(c);
  }
  return result;
}

// Loads and renders one glyph as an 8-bit coverage bitmap in the face's glyph slot.
bool RenderGlyph(const LoadedFace& loaded, char32_t c) {
  FT_Face face = loaded.Face.get();
  if (FT_Load_Char(face, c, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (loaded.Embolden) {
      const FT_Pos strength = FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24;
      FT_Outline_Embolden(&slot->outline, strength);
      slot->advance.x += strength;
    }
    if (loaded.Slant) {
      FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};  // x += 0.22 * y, the usual synthetic oblique
      FT_Outline_Transform(&slot->outline, &shear);
    }
  }
  return FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0;
}

struct LineMetrics {
  int Ascent = 0;
  int Height = 0;
};

LineMetrics Metrics(const LoadedFace* loaded, const FontSpec& font) {
  if (loaded == nullptr) return {font.HeightPx, font.HeightPx + font.HeightPx / 5};
  const FT_Size_Metrics& m = loaded->Face->size->metrics;
  const int ascent = static_cast<int>((m.ascender + 63) >> 6);
  const int descent = static_cast<int>((-m.descender + 63) >> 6);
  return {ascent, ascent + descent};
}

// Advance widths in whole pixels, as GDI lays out text.
int Advance(const LoadedFace* loaded, const FontSpec& font, char32_t c) {
  if (loaded == nullptr) return std::max(2, font.HeightPx * 3 / 5);
  if (!RenderGlyph(*loaded, c)) return 0;
  return static_cast<int>((loaded->Face->glyph->advance.x + 32) >> 6);
}

void BlendCoverage(PixelBuffer& target, const Rect& clip, int x, int y, int coverage, TextColor color) {
  if (x < clip.Left || x >= clip.Right || y < clip.Top || y >= clip.Bottom || coverage <= 0) return;
  Pixel32& p = target.At(x, y);
  const int a = std::min(coverage, 255);
  auto mix = [a](int under, int over) { return static_cast<std::uint8_t>((over * a + under * (255 - a) + 127) / 255); };
  p.r = mix(p.r, color.R);
  p.g = mix(p.g, color.G);
  p.b = mix(p.b, color.B);
}

}  // namespace

Point MeasureText(const FontSpec& font, std::u16string_view text) {
  FontEngine& engine = Engine();
  std::lock_guard guard(engine.Lock());
  const LoadedFace* loaded = engine.Face(font);
  int width = 0;
  for (char32_t c : CodePoints(text)) width += Advance(loaded, font, c);
  return {width, Metrics(loaded, font).Height};
}

void DrawText(PixelBuffer& target, const Rect& box, const FontSpec& font, std::u16string_view text,
              TextColor color, TextAlign align) {
  const Rect clip{std::max(box.Left, 0), std::max(box.Top, 0), std::min(box.Right, target.Width()),
                  std::min(box.Bottom, target.Height())};
  if (clip.Width() <= 0 || clip.Height() <= 0) return;
  FontEngine& engine = Engine();
  std::lock_guard guard(engine.Lock());
  const LoadedFace* loaded = engine.Face(font);
  const std::u32string chars = CodePoints(text);

  int width = 0;
  for (char32_t c : chars) width += Advance(loaded, font, c);
  const LineMetrics line = Metrics(loaded, font);
  int penX = box.Left;
  if (align == TextAlign::Center) penX = box.Left + (box.Width() - width) / 2;
  if (align == TextAlign::Right) penX = box.Right - width;
  const int top = box.Top + (box.Height() - line.Height) / 2;
  const int baseline = top + line.Ascent;

  for (char32_t c : chars) {
    if (loaded == nullptr) {
      // No font file at all: a hollow box per character.
      const int w = Advance(loaded, font, c);
      for (int x = penX; x < penX + w - 1; ++x) {
        BlendCoverage(target, clip, x, baseline - font.HeightPx * 7 / 10, 255, color);
        BlendCoverage(target, clip, x, baseline - 1, 255, color);
      }
      for (int y = baseline - font.HeightPx * 7 / 10; y < baseline; ++y) {
        BlendCoverage(target, clip, penX, y, 255, color);
        BlendCoverage(target, clip, penX + w - 2, y, 255, color);
      }
      penX += w;
      continue;
    }
    if (!RenderGlyph(*loaded, c)) continue;
    const FT_GlyphSlot slot = loaded->Face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      const unsigned char* src = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
      for (unsigned col = 0; col < bitmap.width; ++col)
        BlendCoverage(target, clip, penX + slot->bitmap_left + static_cast<int>(col),
                      baseline - slot->bitmap_top + static_cast<int>(row), src[col], color);
    }
    penX += static_cast<int>((slot->advance.x + 32) >> 6);
  }
}

}  // namespace platform
