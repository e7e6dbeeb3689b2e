// Alpha conversions and source-over compositing for the portable imaging. A scaled draw
// composites every destination pixel, so the premultiplied composite has an SSE2 loop too, and
// the file is built with -O3 like the resampler.
#include "compositor.h"

#include <atomic>
#include <cstdint>

#include "vector_code.h"

namespace platform::portable {
namespace {

// x / 255 rounded to nearest, exact for every x in [0, 255 * 255].
inline std::uint32_t Div255(std::uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}

inline std::uint8_t Byte(std::uint32_t value) { return static_cast<std::uint8_t>(value); }

std::atomic<bool> gVectorCode{true};

#if defined(VF_PORTABLE_SSE2)

// Source-over of two premultiplied pixels widened to 16-bit lanes: s + Div255(d x (255 - a)).
inline __m128i CompositeHalf(__m128i source, __m128i dest) {
  const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(source, 0xFF), 0xFF);
  const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
  // Below 65536, so the low 16 bits of the product are the whole product, read as unsigned.
  __m128i t = _mm_add_epi16(_mm_mullo_epi16(dest, inverse), _mm_set1_epi16(128));
  t = _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
  return _mm_add_epi16(source, t);
}

// Four pixels at a time; groups that are wholly transparent or wholly opaque take a shortcut,
// which a fan frame's empty corners and solid blades mostly are.
int CompositePremultipliedSse2(Pixel32* dest, const Pixel32* source, int count) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaMask = _mm_set1_epi32(static_cast<std::int32_t>(0xFF000000u));
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
    const __m128i alpha = _mm_and_si128(s, alphaMask);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF) continue;
    auto* out = reinterpret_cast<__m128i*>(dest + i);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaMask)) == 0xFFFF) {
      _mm_storeu_si128(out, s);
      continue;
    }
    const __m128i d = _mm_loadu_si128(out);
    const __m128i low = CompositeHalf(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
    const __m128i high = CompositeHalf(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
    _mm_storeu_si128(out, _mm_packus_epi16(low, high));
  }
  return i;
}

#endif

// ---- Per pixel, shared by the plain loops and the vector loops' mixed groups ----

inline Pixel32 Unpremultiplied(Pixel32 p) {
  if (p.a == 0) return {0, 0, 0, 0};
  if (p.a == 255) return p;
  const std::uint32_t half = p.a / 2u;
  auto straight = [&](std::uint8_t c) {
    const std::uint32_t value = (c * 255u + half) / p.a;
    return Byte(value > 255 ? 255 : value);
  };
  return {straight(p.b), straight(p.g), straight(p.r), p.a};
}

inline void CompositeStraight(Pixel32& d, Pixel32 s) {
  if (s.a == 0) return;
  if (s.a == 255) {
    d = s;
    return;
  }
  const std::uint32_t a = s.a;
  const std::uint32_t inverse = 255u - a;
  d.b = Byte((s.b * a + d.b * inverse + 127u) / 255u);
  d.g = Byte((s.g * a + d.g * inverse + 127u) / 255u);
  d.r = Byte((s.r * a + d.r * inverse + 127u) / 255u);
  d.a = Byte(255u - ((255u - d.a) * inverse + 127u) / 255u);
}

#if defined(VF_PORTABLE_SSE2)

// The groups of four pixels of a row: wholly opaque groups, most of an opaque image, are copied
// as they are; every other group goes to `mixed` with its first index. Returns where the plain
// loop goes on.
template <typename Mixed>
int CopyOpaqueGroupsSse2(Pixel32* dest, const Pixel32* source, int count, Mixed&& mixed) {
  const __m128i alphaMask = _mm_set1_epi32(static_cast<std::int32_t>(0xFF000000u));
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alphaMask), alphaMask)) == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i), s);
      continue;
    }
    mixed(i);
  }
  return i;
}

#endif

}  // namespace

void SetVectorCode(bool enabled) { gVectorCode.store(enabled, std::memory_order_relaxed); }
bool VectorCode() { return gVectorCode.load(std::memory_order_relaxed); }

void PremultiplyRow(Pixel32* dest, const Pixel32* source, int count) {
  for (int i = 0; i < count; ++i) {
    const Pixel32 p = source[i];
    dest[i] = {Byte(Div255(p.b * p.a)), Byte(Div255(p.g * p.a)), Byte(Div255(p.r * p.a)), p.a};
  }
}

void UnpremultiplyRow(Pixel32* dest, const Pixel32* source, int count) {
  int i = 0;
#if defined(VF_PORTABLE_SSE2)
  if (VectorCode()) {
    i = CopyOpaqueGroupsSse2(dest, source, count, [&](int first) {
      for (int k = first; k < first + 4; ++k) dest[k] = Unpremultiplied(source[k]);
    });
  }
#endif
  for (; i < count; ++i) dest[i] = Unpremultiplied(source[i]);
}

void CompositeStraightRow(Pixel32* dest, const Pixel32* source, int count) {
  int i = 0;
#if defined(VF_PORTABLE_SSE2)
  if (VectorCode()) {
    i = CopyOpaqueGroupsSse2(dest, source, count, [&](int first) {
      for (int k = first; k < first + 4; ++k) CompositeStraight(dest[k], source[k]);
    });
  }
#endif
  for (; i < count; ++i) CompositeStraight(dest[i], source[i]);
}

void CompositePremultipliedRow(Pixel32* dest, const Pixel32* source, int count) {
  int i = 0;
#if defined(VF_PORTABLE_SSE2)
  if (VectorCode()) i = CompositePremultipliedSse2(dest, source, count);
#endif
  for (; i < count; ++i) {
    const Pixel32 s = source[i];
    if (s.a == 0) continue;
    Pixel32& d = dest[i];
    if (s.a == 255) {
      d = s;
      continue;
    }
    const std::uint32_t inverse = 255u - s.a;
    d.b = Byte(s.b + Div255(d.b * inverse));
    d.g = Byte(s.g + Div255(d.g * inverse));
    d.r = Byte(s.r + Div255(d.r * inverse));
    d.a = Byte(s.a + Div255(d.a * inverse));
  }
}

}  // namespace platform::portable
