// The portable resampler: Catmull-Rom weights in 14-bit fixed point, a horizontal pass into a
// ring of a few 16-bit rows and a vertical pass that emits finished rows. This file is built with
// -O3 (see CMakeLists.txt): its inner loops are written so the compiler can vectorise them.
#include "resampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <mutex>
#include <tuple>

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

// Rounds the weights of one destination pixel to fixed point, keeping their sum exactly kOne by
// giving the rounding remainder to the largest weight.
void Quantise(const std::vector<double>& weights, double total, std::int16_t* out) {
  std::int32_t sum = 0;
  std::size_t largest = 0;
  for (std::size_t k = 0; k < weights.size(); ++k) {
    const auto value = static_cast<std::int32_t>(std::lround(weights[k] / total * kOne));
    out[k] = static_cast<std::int16_t>(value);
    sum += value;
    if (weights[k] > weights[largest]) largest = k;
  }
  out[largest] = static_cast<std::int16_t>(out[largest] + (kOne - sum));
}

std::uint8_t ClampToByte(std::int32_t value) {
  return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

// One source row, filtered horizontally into the visible columns [x0, x1), 4 values a pixel.
void HorizontalPass(const std::uint8_t* source, const AxisWeights& axis, int x0, int x1,
                    std::int16_t* out) {
  const std::int32_t* start = axis.start.data();
  const std::int16_t* weights = axis.weights.data();
  constexpr std::int32_t kRound = 1 << (kIntermediateShift - 1);
  if (axis.taps == 4) {
    // Enlarging always needs exactly four taps; this is the path every fan frame takes.
    for (int x = x0; x < x1; ++x, out += 4) {
      const std::uint8_t* s = source + static_cast<std::ptrdiff_t>(start[x]) * 4;
      const std::int16_t* w = weights + static_cast<std::ptrdiff_t>(x) * 4;
      for (int c = 0; c < 4; ++c) {
        const std::int32_t sum = w[0] * s[c] + w[1] * s[4 + c] + w[2] * s[8 + c] + w[3] * s[12 + c];
        out[c] = static_cast<std::int16_t>((sum + kRound) >> kIntermediateShift);
      }
    }
    return;
  }
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

// The weighted sum of `taps` filtered rows into finished premultiplied bytes.
void VerticalPass(const std::int16_t* const* rows, const std::int16_t* weights, int taps,
                  std::size_t count, std::int32_t* accumulator, std::uint8_t* out) {
  constexpr std::int32_t kRound = 1 << (kFinalShift - 1);
  if (taps == 4) {
    const std::int16_t* r0 = rows[0];
    const std::int16_t* r1 = rows[1];
    const std::int16_t* r2 = rows[2];
    const std::int16_t* r3 = rows[3];
    const std::int32_t w0 = weights[0], w1 = weights[1], w2 = weights[2], w3 = weights[3];
    for (std::size_t i = 0; i < count; ++i) {
      const std::int32_t sum = w0 * r0[i] + w1 * r1[i] + w2 * r2[i] + w3 * r3[i];
      out[i] = ClampToByte((sum + kRound) >> kFinalShift);
    }
    return;
  }
  const std::int32_t first = weights[0];
  for (std::size_t i = 0; i < count; ++i) accumulator[i] = first * rows[0][i] + kRound;
  for (int k = 1; k < taps; ++k) {
    const std::int16_t* row = rows[k];
    const std::int32_t weight = weights[k];
    for (std::size_t i = 0; i < count; ++i) accumulator[i] += weight * row[i];
  }
  for (std::size_t i = 0; i < count; ++i) out[i] = ClampToByte(accumulator[i] >> kFinalShift);
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

void Resample(const PixelBuffer& source, int sourceX, int sourceY, const AxisWeights& xWeights,
              const AxisWeights& yWeights, DestRegion region, RowSink sink, void* context) {
  const int width = region.x1 - region.x0;
  if (width <= 0 || region.y1 <= region.y0) return;
  const auto values = static_cast<std::size_t>(width) * 4;
  const int taps = yWeights.taps;

  // Horizontally filtered source row r lives in slot r % taps: the rows a destination row needs
  // form a window that only moves down, so a ring of `taps` rows holds all of them.
  std::vector<std::int16_t> ring(values * static_cast<std::size_t>(taps));
  std::vector<std::int32_t> accumulator(taps == 4 ? 0 : values);
  std::vector<Pixel32> out(static_cast<std::size_t>(width));
  std::vector<const std::int16_t*> rows(static_cast<std::size_t>(taps));
  auto slot = [&](int r) { return ring.data() + static_cast<std::size_t>(r % taps) * values; };

  int nextRow = 0;
  for (int y = region.y0; y < region.y1; ++y) {
    const int first = yWeights.start[static_cast<std::size_t>(y)];
    for (int r = std::max(nextRow, first); r < first + taps; ++r) {
      const auto* sourceRow = reinterpret_cast<const std::uint8_t*>(source.Row(sourceY + r) + sourceX);
      HorizontalPass(sourceRow, xWeights, region.x0, region.x1, slot(r));
    }
    nextRow = std::max(nextRow, first + taps);
    for (int k = 0; k < taps; ++k) rows[static_cast<std::size_t>(k)] = slot(first + k);
    VerticalPass(rows.data(), &yWeights.weights[static_cast<std::size_t>(y) * static_cast<std::size_t>(taps)],
                 taps, values, accumulator.data(), reinterpret_cast<std::uint8_t*>(out.data()));
    LimitColourToAlpha(out.data(), width);
    sink(context, y, out.data());
  }
}

}  // namespace platform::portable
