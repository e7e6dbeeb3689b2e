// The portable resampler: Catmull-Rom weights in 14-bit fixed point, a horizontal pass into a
// ring of a few 16-bit rows and a vertical pass that emits finished rows. Each pass has a plain
// loop and an SSE2 loop that compute the same integers; the file is built with -O3 (see
// CMakeLists.txt) so the plain loops vectorise where SSE2 is not available.
#include "resampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <tuple>

#include "vector_code.h"

namespace platform::portable {
namespace {

constexpr std::int32_t kOne = 1 << kWeightBits;
// The horizontal pass keeps 6 fraction bits in 16-bit intermediates: enough for the vertical pass
// to round correctly, and small enough that the overshoot of the cubic's lobes still fits.
constexpr int kIntermediateShift = kWeightBits - 6;
constexpr int kFinalShift = kWeightBits + 6;

double CatmullRom(double x) {
  x = std::fabs(x);
  if (x < 1.0) return (1.5 * x - 2.5) * x * x + 1.0;
  if (x < 2.0) return ((-0.5 * x + 2.5) * x - 4.0) * x + 2.0;
  return 0.0;
}

// Source pixels whose weight can be non-zero for a destination pixel centred at `centre`: those
// strictly closer than `support`.
struct Taps {
  int first;
  int last;
};

Taps RawTaps(double centre, double support) {
  return {static_cast<int>(std::floor(centre - support)) + 1, static_cast<int>(std::ceil(centre + support)) - 1};
}

// Rounds the weights of one destination pixel to fixed point by rounding their running sum, so
// each weight is within one unit of its exact value and together they sum to exactly kOne.
void Quantise(const std::vector<double>& weights, double total, std::int16_t* out) {
  double running = 0.0;
  std::int32_t previous = 0;
  for (std::size_t k = 0; k < weights.size(); ++k) {
    running += weights[k];
    const auto rounded = static_cast<std::int32_t>(std::lround(running / total * kOne));
    out[k] = static_cast<std::int16_t>(rounded - previous);
    previous = rounded;
  }
}

std::uint8_t ClampToByte(std::int32_t value) {
  return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

// The cubic's lobes can push a colour above its alpha; such a pixel is not a valid premultiplied
// pixel and would brighten what it is composited onto.
void LimitColourToAlpha(Pixel32* row, int count) {
  for (int i = 0; i < count; ++i) {
    Pixel32& p = row[i];
    p.b = std::min(p.b, p.a);
    p.g = std::min(p.g, p.a);
    p.r = std::min(p.r, p.a);
  }
}

// ---- Plain loops ----

// One source row, filtered horizontally into the visible columns [x0, x1), 4 values a pixel.
void HorizontalPass(const std::uint8_t* source, const AxisWeights& axis, int x0, int x1,
                    std::int16_t* out) {
  const std::int32_t* start = axis.start.data();
  const std::int16_t* weights = axis.weights.data();
  constexpr std::int32_t kRound = 1 << (kIntermediateShift - 1);
  const int taps = axis.taps;
  for (int x = x0; x < x1; ++x, out += 4) {
    const std::uint8_t* s = source + static_cast<std::ptrdiff_t>(start[x]) * 4;
    const std::int16_t* w = weights + static_cast<std::ptrdiff_t>(x) * taps;
    std::int32_t sum[4] = {0, 0, 0, 0};
    for (int k = 0; k < taps; ++k, s += 4) {
      for (int c = 0; c < 4; ++c) sum[c] += w[k] * s[c];
    }
    for (int c = 0; c < 4; ++c) out[c] = static_cast<std::int16_t>((sum[c] + kRound) >> kIntermediateShift);
  }
}

// The weighted sum of `taps` filtered rows into finished premultiplied pixels.
void VerticalPass(const std::int16_t* const* rows, const std::int16_t* weights, int taps,
                  std::size_t count, std::int32_t* accumulator, Pixel32* out) {
  constexpr std::int32_t kRound = 1 << (kFinalShift - 1);
  auto* bytes = reinterpret_cast<std::uint8_t*>(out);
  for (std::size_t i = 0; i < count; ++i) accumulator[i] = weights[0] * rows[0][i] + kRound;
  for (int k = 1; k < taps; ++k) {
    const std::int16_t* row = rows[k];
    const std::int32_t weight = weights[k];
    for (std::size_t i = 0; i < count; ++i) accumulator[i] += weight * row[i];
  }
  for (std::size_t i = 0; i < count; ++i) bytes[i] = ClampToByte(accumulator[i] >> kFinalShift);
  LimitColourToAlpha(out, static_cast<int>(count / 4));
}

// ---- Columns first: plain loops only, as that order serves rare shapes ----

// `taps` source rows, filtered vertically into `count` 16-bit values (4 a pixel).
void VerticalPassFromSource(const std::uint8_t* const* rows, const std::int16_t* weights, int taps,
                            std::size_t count, std::int32_t* accumulator, std::int16_t* out) {
  constexpr std::int32_t kRound = 1 << (kIntermediateShift - 1);
  for (std::size_t i = 0; i < count; ++i) accumulator[i] = weights[0] * rows[0][i] + kRound;
  for (int k = 1; k < taps; ++k) {
    const std::uint8_t* row = rows[k];
    const std::int32_t weight = weights[k];
    for (std::size_t i = 0; i < count; ++i) accumulator[i] += weight * row[i];
  }
  for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<std::int16_t>(accumulator[i] >> kIntermediateShift);
}

// One vertically filtered row, whose first value belongs to source column `firstColumn`, filtered
// horizontally into the finished pixels of the visible columns [x0, x1).
void HorizontalPassToPixels(const std::int16_t* row, int firstColumn, const AxisWeights& axis, int x0, int x1,
                            Pixel32* out) {
  constexpr std::int32_t kRound = 1 << (kFinalShift - 1);
  const int taps = axis.taps;
  auto* bytes = reinterpret_cast<std::uint8_t*>(out);
  for (int x = x0; x < x1; ++x, bytes += 4) {
    const std::int16_t* s = row + static_cast<std::ptrdiff_t>(axis.start[static_cast<std::size_t>(x)] - firstColumn) * 4;
    const std::int16_t* w = axis.weights.data() + static_cast<std::ptrdiff_t>(x) * taps;
    std::int32_t sum[4] = {kRound, kRound, kRound, kRound};
    for (int k = 0; k < taps; ++k, s += 4) {
      for (int c = 0; c < 4; ++c) sum[c] += w[k] * s[c];
    }
    for (int c = 0; c < 4; ++c) bytes[c] = ClampToByte(sum[c] >> kFinalShift);
  }
  LimitColourToAlpha(out, x1 - x0);
}

#if defined(VF_PORTABLE_SSE2)

// ---- SSE2 loops: the same integers, several channels at a time ----
//
// _mm_madd_epi16 multiplies 16-bit pairs and adds each pair, so two taps are filtered at once
// when their values are interleaved channel by channel (b0 b1 g0 g1 r0 r1 a0 a1) and the two
// weights repeat (w0 w1 w0 w1 ...).

// Two adjacent taps' weights, repeated for madd.
inline __m128i WeightPair(std::int16_t first, std::int16_t second) {
  const std::uint32_t pair = static_cast<std::uint16_t>(first) | static_cast<std::uint32_t>(static_cast<std::uint16_t>(second)) << 16;
  return _mm_set1_epi32(static_cast<std::int32_t>(pair));
}

// The two pixels in the low 8 bytes, interleaved by channel and widened to 16 bits.
inline __m128i InterleavePair(__m128i pixels) {
  return _mm_unpacklo_epi8(_mm_unpacklo_epi8(pixels, _mm_srli_si128(pixels, 4)), _mm_setzero_si128());
}

// Each pixel's alpha byte copied into its colour bytes, then colour limited to alpha.
inline __m128i LimitColourToAlpha(__m128i pixels) {
  __m128i alpha = _mm_srli_epi32(pixels, 24);
  alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 8));
  alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16));
  return _mm_min_epu8(pixels, alpha);
}

void HorizontalPassSse2(const std::uint8_t* source, const AxisWeights& axis, int x0, int x1,
                        std::int16_t* out) {
  const std::int32_t* start = axis.start.data();
  const std::int16_t* weights = axis.weights.data();
  const __m128i zero = _mm_setzero_si128();
  const __m128i round = _mm_set1_epi32(1 << (kIntermediateShift - 1));
  const int taps = axis.taps;
  if (taps == 4) {
    // Enlarging always reads four taps: one 16-byte load, two madds per pixel.
    for (int x = x0; x < x1; ++x, out += 4) {
      const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + static_cast<std::ptrdiff_t>(start[x]) * 4));
      const __m128i w = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(weights + static_cast<std::ptrdiff_t>(x) * 4));
      const __m128i sum = _mm_add_epi32(_mm_madd_epi16(InterleavePair(pixels), _mm_shuffle_epi32(w, 0x00)),
                                        _mm_madd_epi16(InterleavePair(_mm_srli_si128(pixels, 8)), _mm_shuffle_epi32(w, 0x55)));
      const __m128i result = _mm_srai_epi32(_mm_add_epi32(sum, round), kIntermediateShift);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packs_epi32(result, result));
    }
    return;
  }
  for (int x = x0; x < x1; ++x, out += 4) {
    const std::uint8_t* s = source + static_cast<std::ptrdiff_t>(start[x]) * 4;
    const std::int16_t* w = weights + static_cast<std::ptrdiff_t>(x) * taps;
    __m128i sum = round;
    int k = 0;
    for (; k + 2 <= taps; k += 2) {
      const __m128i pixels = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + 4 * k));
      sum = _mm_add_epi32(sum, _mm_madd_epi16(InterleavePair(pixels), WeightPair(w[k], w[k + 1])));
    }
    if (k < taps) {
      std::int32_t last;
      std::memcpy(&last, s + 4 * k, sizeof last);
      // One pixel widened to 32-bit lanes: b 0 g 0 r 0 a 0 as 16-bit pairs.
      const __m128i pixel = _mm_unpacklo_epi8(_mm_unpacklo_epi8(_mm_cvtsi32_si128(last), zero), zero);
      sum = _mm_add_epi32(sum, _mm_madd_epi16(pixel, WeightPair(w[k], 0)));
    }
    const __m128i result = _mm_srai_epi32(sum, kIntermediateShift);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packs_epi32(result, result));
  }
}

// Eight 16-bit values of the rows, filtered vertically into eight 32-bit sums (low, high).
struct Sums {
  __m128i low, high;
};

inline Sums VerticalSums(const std::int16_t* const* rows, const std::int16_t* weights, int taps,
                         std::size_t i, bool half) {
  auto load = [half](const std::int16_t* p) {
    return half ? _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)) : _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  };
  const __m128i round = _mm_set1_epi32(1 << (kFinalShift - 1));
  Sums sums{round, round};
  int k = 0;
  for (; k + 2 <= taps; k += 2) {
    const __m128i a = load(rows[k] + i);
    const __m128i b = load(rows[k + 1] + i);
    const __m128i w = WeightPair(weights[k], weights[k + 1]);
    sums.low = _mm_add_epi32(sums.low, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), w));
    sums.high = _mm_add_epi32(sums.high, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), w));
  }
  if (k < taps) {
    const __m128i a = load(rows[k] + i);
    const __m128i w = WeightPair(weights[k], 0);
    const __m128i zero = _mm_setzero_si128();
    sums.low = _mm_add_epi32(sums.low, _mm_madd_epi16(_mm_unpacklo_epi16(a, zero), w));
    sums.high = _mm_add_epi32(sums.high, _mm_madd_epi16(_mm_unpackhi_epi16(a, zero), w));
  }
  return sums;
}

// Eight finished values as 16-bit lanes, saturated the way ClampToByte clamps once packed.
inline __m128i Finish(Sums sums) {
  return _mm_packs_epi32(_mm_srai_epi32(sums.low, kFinalShift), _mm_srai_epi32(sums.high, kFinalShift));
}

void VerticalPassSse2(const std::int16_t* const* rows, const std::int16_t* weights, int taps,
                      std::size_t count, Pixel32* out) {
  auto* bytes = reinterpret_cast<std::uint8_t*>(out);
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i first = Finish(VerticalSums(rows, weights, taps, i, false));
    const __m128i second = Finish(VerticalSums(rows, weights, taps, i + 8, false));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + i), LimitColourToAlpha(_mm_packus_epi16(first, second)));
  }
  for (; i < count; i += 4) {
    // One pixel: four values, loaded and stored as halves and quarters.
    const __m128i value = Finish(VerticalSums(rows, weights, taps, i, true));
    const __m128i pixel = LimitColourToAlpha(_mm_packus_epi16(value, value));
    const std::int32_t packed = _mm_cvtsi128_si32(pixel);
    std::memcpy(bytes + i, &packed, sizeof packed);
  }
}

#endif

struct WeightCache {
  struct Entry {
    int sourceLength;
    int destLength;
    Filter filter;
    std::shared_ptr<const AxisWeights> weights;
  };
  static constexpr std::size_t kCapacity = 8;
  std::mutex lock;
  std::array<Entry, kCapacity> entries{};  // the first `used` are live, most recently used first
  std::size_t used = 0;
};

WeightCache& Cache() {
  static WeightCache cache;
  return cache;
}

}  // namespace

AxisWeights BuildAxisWeights(int sourceLength, int destLength, Filter filter) {
  AxisWeights axis;
  axis.sourceLength = sourceLength;
  axis.destLength = destLength;
  const auto count = static_cast<std::size_t>(destLength);
  axis.start.resize(count);

  if (filter == Filter::Nearest) {
    axis.taps = 1;
    axis.weights.assign(count, static_cast<std::int16_t>(kOne));
    for (std::size_t d = 0; d < count; ++d) {
      const long long centre = (2LL * static_cast<long long>(d) + 1) * sourceLength / (2LL * destLength);
      axis.start[d] = static_cast<std::int32_t>(std::min<long long>(centre, sourceLength - 1));
    }
    return axis;
  }

  // Pixel i of either axis covers [i, i + 1), so destination pixel d is centred on source
  // coordinate (d + 0.5) * scale - 0.5 in pixel-index units.
  const double scale = static_cast<double>(sourceLength) / destLength;
  const double filterScale = std::max(1.0, scale);
  const double support = 2.0 * filterScale;
  auto centre = [&](std::size_t d) { return (static_cast<double>(d) + 0.5) * scale - 0.5; };

  int rawTaps = 0;
  for (std::size_t d = 0; d < count; ++d) {
    const Taps taps = RawTaps(centre(d), support);
    rawTaps = std::max(rawTaps, taps.last - taps.first + 1);
  }
  axis.taps = std::min(rawTaps, sourceLength);
  axis.weights.assign(count * static_cast<std::size_t>(axis.taps), 0);

  std::vector<double> folded(static_cast<std::size_t>(axis.taps));
  for (std::size_t d = 0; d < count; ++d) {
    const double c = centre(d);
    const Taps taps = RawTaps(c, support);
    const int start = std::clamp(std::max(taps.first, 0), 0, sourceLength - axis.taps);
    std::fill(folded.begin(), folded.end(), 0.0);
    double total = 0.0;
    for (int i = taps.first; i <= taps.last; ++i) {
      const double weight = CatmullRom((i - c) / filterScale);
      folded[static_cast<std::size_t>(std::clamp(i, 0, sourceLength - 1) - start)] += weight;
      total += weight;
    }
    axis.start[d] = start;
    Quantise(folded, total, &axis.weights[d * static_cast<std::size_t>(axis.taps)]);
  }
  return axis;
}

std::shared_ptr<const AxisWeights> CachedAxisWeights(int sourceLength, int destLength, Filter filter) {
  WeightCache& cache = Cache();
  const auto live = [&cache] { return cache.entries.begin() + static_cast<std::ptrdiff_t>(cache.used); };
  {
    std::lock_guard guard(cache.lock);
    for (auto it = cache.entries.begin(); it != live(); ++it) {
      if (std::tie(it->sourceLength, it->destLength, it->filter) == std::tie(sourceLength, destLength, filter)) {
        std::rotate(cache.entries.begin(), it, it + 1);
        return cache.entries.front().weights;
      }
    }
  }
  // Built outside the lock; two threads that miss at once both build, and both tables are right.
  auto weights = std::make_shared<const AxisWeights>(BuildAxisWeights(sourceLength, destLength, filter));
  std::lock_guard guard(cache.lock);
  if (cache.used < WeightCache::kCapacity) ++cache.used;
  // The least recently used entry (or a free one) moves to the front and is replaced.
  std::rotate(cache.entries.begin(), live() - 1, live());
  cache.entries.front() = {sourceLength, destLength, filter, weights};
  return weights;
}

namespace {

// The source pixels [first, last) one axis reads for the destination pixels [d0, d1).
struct SourceSpan {
  int first;
  int last;
};

SourceSpan SpanOf(const AxisWeights& axis, int d0, int d1) {
  return {axis.start[static_cast<std::size_t>(d0)], axis.start[static_cast<std::size_t>(d1 - 1)] + axis.taps};
}

void ResampleColumnsFirst(const PixelBuffer& source, int sourceX, int sourceY, const AxisWeights& xWeights,
                          const AxisWeights& yWeights, DestRegion region, RowSink sink, void* context) {
  const SourceSpan columns = SpanOf(xWeights, region.x0, region.x1);
  const auto values = static_cast<std::size_t>(columns.last - columns.first) * 4;
  const int taps = yWeights.taps;
  std::vector<std::int32_t> accumulator(values);
  std::vector<std::int16_t> filtered(values);
  std::vector<Pixel32> out(static_cast<std::size_t>(region.x1 - region.x0));
  std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(taps));
  for (int y = region.y0; y < region.y1; ++y) {
    const int first = yWeights.start[static_cast<std::size_t>(y)];
    for (int k = 0; k < taps; ++k)
      rows[static_cast<std::size_t>(k)] =
          reinterpret_cast<const std::uint8_t*>(source.Row(sourceY + first + k) + sourceX + columns.first);
    VerticalPassFromSource(rows.data(), &yWeights.weights[static_cast<std::size_t>(y) * static_cast<std::size_t>(taps)],
                           taps, values, accumulator.data(), filtered.data());
    HorizontalPassToPixels(filtered.data(), columns.first, xWeights, region.x0, region.x1, out.data());
    sink(context, y, out.data());
  }
}

}  // namespace

PassOrder ChoosePassOrder(const AxisWeights& xWeights, const AxisWeights& yWeights, DestRegion region) {
  const double width = region.x1 - region.x0, height = region.y1 - region.y0;
  if (width <= 0 || height <= 0) return PassOrder::RowsFirst;
  const SourceSpan rows = SpanOf(yWeights, region.y0, region.y1);
  const SourceSpan columns = SpanOf(xWeights, region.x0, region.x1);
  const double xTaps = xWeights.taps, yTaps = yWeights.taps;
  const double rowsFirst = (rows.last - rows.first) * width * xTaps + height * width * yTaps;
  const double columnsFirst = height * (columns.last - columns.first) * yTaps + height * width * xTaps;
  return 4.0 * columnsFirst < rowsFirst ? PassOrder::ColumnsFirst : PassOrder::RowsFirst;
}

void Resample(const PixelBuffer& source, int sourceX, int sourceY, const AxisWeights& xWeights,
              const AxisWeights& yWeights, DestRegion region, RowSink sink, void* context, PassOrder order) {
  const int width = region.x1 - region.x0;
  if (width <= 0 || region.y1 <= region.y0) return;
  if (order == PassOrder::Auto) order = ChoosePassOrder(xWeights, yWeights, region);
  if (order == PassOrder::ColumnsFirst) {
    ResampleColumnsFirst(source, sourceX, sourceY, xWeights, yWeights, region, sink, context);
    return;
  }
  const auto values = static_cast<std::size_t>(width) * 4;
  const int taps = yWeights.taps;
#if defined(VF_PORTABLE_SSE2)
  const bool vector = VectorCode();
#else
  const bool vector = false;
#endif

  // Horizontally filtered source row r lives in slot r % taps: the rows a destination row needs
  // form a window that only moves down, so a ring of `taps` rows holds all of them.
  std::vector<std::int16_t> ring(values * static_cast<std::size_t>(taps));
  std::vector<std::int32_t> accumulator(vector ? 0 : values);
  std::vector<Pixel32> out(static_cast<std::size_t>(width));
  std::vector<const std::int16_t*> rows(static_cast<std::size_t>(taps));
  auto slot = [&](int r) { return ring.data() + static_cast<std::size_t>(r % taps) * values; };

  int nextRow = 0;
  for (int y = region.y0; y < region.y1; ++y) {
    const int first = yWeights.start[static_cast<std::size_t>(y)];
    for (int r = std::max(nextRow, first); r < first + taps; ++r) {
      const auto* sourceRow = reinterpret_cast<const std::uint8_t*>(source.Row(sourceY + r) + sourceX);
#if defined(VF_PORTABLE_SSE2)
      if (vector) {
        HorizontalPassSse2(sourceRow, xWeights, region.x0, region.x1, slot(r));
        continue;
      }
#endif
      HorizontalPass(sourceRow, xWeights, region.x0, region.x1, slot(r));
    }
    nextRow = std::max(nextRow, first + taps);
    for (int k = 0; k < taps; ++k) rows[static_cast<std::size_t>(k)] = slot(first + k);
    const std::int16_t* weights = &yWeights.weights[static_cast<std::size_t>(y) * static_cast<std::size_t>(taps)];
#if defined(VF_PORTABLE_SSE2)
    if (vector) {
      VerticalPassSse2(rows.data(), weights, taps, values, out.data());
    } else {
      VerticalPass(rows.data(), weights, taps, values, accumulator.data(), out.data());
    }
#else
    VerticalPass(rows.data(), weights, taps, values, accumulator.data(), out.data());
#endif
    sink(context, y, out.data());
  }
}

}  // namespace platform::portable
