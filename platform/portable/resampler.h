#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/pixel_buffer.h"

// The portable high-quality resampler: a separable two-pass filter over premultiplied pixels
// with integer weights built once per (source length, destination length) and cached.
//
// Alpha convention: the resampler reads and writes PREMULTIPLIED pixels. Filtering premultiplied
// colour weights every colour by its own alpha, so fully transparent pixels (whatever colour they
// store) add nothing and never darken an edge. Callers premultiply straight images once
// (compositor.h) and composite or unpremultiply the rows it produces.
namespace platform::portable {

enum class Filter {
  // Catmull-Rom bicubic, widened by the scale factor when shrinking so it averages every source
  // pixel under a destination pixel instead of skipping some.
  Cubic,
  // The source pixel under each destination pixel's centre.
  Nearest,
};

// Weights are fixed point with this many fraction bits; each destination pixel's weights sum to
// exactly 1 << kWeightBits, so a uniform image stays exactly uniform.
constexpr int kWeightBits = 14;

// The filter along one axis: destination pixel d reads the `taps` consecutive source pixels from
// start[d], with weights[d * taps + k]. Pixels beyond either edge repeat the edge pixel; their
// weights are folded onto it, so every read stays inside [0, sourceLength).
struct AxisWeights {
  int sourceLength = 0;
  int destLength = 0;
  int taps = 0;
  std::vector<std::int32_t> start;
  std::vector<std::int16_t> weights;
};

// Builds the weights of one axis; both lengths must be at least 1.
AxisWeights BuildAxisWeights(int sourceLength, int destLength, Filter filter);

// The same from a small cache of recently used tables, safe to share between threads: a scene
// scales all frames of one size to one size, so one table serves every draw of a rebuild.
std::shared_ptr<const AxisWeights> CachedAxisWeights(int sourceLength, int destLength, Filter filter);

// The visible part [x0, x1) x [y0, y1) of a destination rectangle, in its own coordinates.
struct DestRegion {
  int x0, y0, x1, y1;
};

// Receives each visible destination row y (in destination-rectangle coordinates) as x1 - x0
// premultiplied pixels, starting at x0. The row is valid only during the call.
using RowSink = void (*)(void* context, int y, const Pixel32* row);

// Which axis is filtered first. Rows first (horizontal, then vertical) is the usual order; columns
// first is far cheaper for shapes that enlarge one axis while shrinking the other a lot (a strip
// thousands of times wider than tall), where rows first would filter many long rows only to
// average them away. The two orders differ by at most one level, from the intermediate rounding.
enum class PassOrder { Auto, RowsFirst, ColumnsFirst };

// The order Auto picks: columns first only when it does less than a quarter of the work, so the
// ordinary shapes, enlarged or shrunk alike on both axes, always go rows first.
PassOrder ChoosePassOrder(const AxisWeights& xWeights, const AxisWeights& yWeights, DestRegion region);

// Scales the source rectangle at (sourceX, sourceY) of premultiplied pixels, whose size is
// (xWeights.sourceLength, yWeights.sourceLength), to (xWeights.destLength, yWeights.destLength)
// and hands the rows of `region` to the sink, top to bottom. Scratch memory is a few rows.
void Resample(const PixelBuffer& source, int sourceX, int sourceY, const AxisWeights& xWeights,
              const AxisWeights& yWeights, DestRegion region, RowSink sink, void* context,
              PassOrder order = PassOrder::Auto);

}  // namespace platform::portable
