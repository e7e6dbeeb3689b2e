// The fan scene's costs: one render call (the per-frame path, which only copies bitmaps) against
// memcpy of the bytes it moves, one rebuild split into its three kinds of work, and the memory a
// built scene holds against the design's own count.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/surface.h"
#include "ratio_reporter.h"
#include "renderer/fan_background.h"
#include "renderer/fan_frames.h"
#include "renderer/fan_layout.h"
#include "renderer/fans.h"
#include "renderer/imaging_lifetime.h"

namespace {

using vf::TFans;

struct Area {
  int width, height;
};
constexpr Area kAreas[] = {{640, 480}, {1920, 1080}, {3840, 2160}};

std::int64_t SurfaceBytes(const platform::Surface& s) { return std::int64_t{s.Width()} * s.Height() * 4; }

std::int64_t SquareBytes(const TFans& fans) {
  return SurfaceBytes(*fans.BitmapFrames().Frame1.Bitmaps.front());
}

// Bytes one render call moves with both fans changed: two squares into the cache, the cache out.
std::int64_t RenderBytes(const TFans& fans) {
  const bool two = fans.BitmapFrames().Frame2.Pos.X != -1;
  return SquareBytes(fans) * (two ? 2 : 1) + SurfaceBytes(fans.Cache());
}

void BM_RenderCall(benchmark::State& state) {
  vf::ImagingUser imaging;
  const Area area = kAreas[state.range(0)];
  TFans fans(0, 0, area.width, area.height, true);
  platform::Surface host;
  host.SetSize(area.width, area.height);
  std::int32_t frame = 0;
  for (auto _ : state) {
    frame = (frame + 1) % fans.FramesCount();
    fans.UpdateFan(frame, (frame + 7) % fans.FramesCount());
    fans.DrawTo(host.DC());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * RenderBytes(fans));
  state.SetLabel(std::to_string(area.width) + "x" + std::to_string(area.height));
}
BENCHMARK(BM_RenderCall)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same bytes with memcpy: the floor a render call is measured against. Like the render call
// it reads a different pre-rendered square of each position every time, so both work on the same
// amount of memory and neither runs from a warm cache the other does not have.
void BM_RenderCallMemcpy(benchmark::State& state) {
  vf::ImagingUser imaging;
  const Area area = kAreas[state.range(0)];
  const TFans fans(0, 0, area.width, area.height, true);
  const auto square = static_cast<std::size_t>(SquareBytes(fans));
  const auto cache = static_cast<std::size_t>(SurfaceBytes(fans.Cache()));
  const auto frames = static_cast<std::size_t>(fans.FramesCount());
  std::vector<char> squares(square * frames * 2, 1), cacheBytes(cache), host(cache);
  std::size_t frame = 0;
  for (auto _ : state) {
    frame = (frame + 1) % frames;
    std::memcpy(cacheBytes.data(), squares.data() + square * frame, square);
    std::memcpy(cacheBytes.data() + cache / 2, squares.data() + square * (frames + (frame + 7) % frames), square);
    std::memcpy(host.data(), cacheBytes.data(), cache);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * RenderBytes(fans));
  state.SetLabel(std::to_string(area.width) + "x" + std::to_string(area.height));
}
BENCHMARK(BM_RenderCallMemcpy)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A whole rebuild: SetSize alternating between the size and one pixel less in height.
void BM_Rebuild(benchmark::State& state) {
  vf::ImagingUser imaging;
  const Area area = kAreas[state.range(0)];
  TFans fans(0, 0, area.width, area.height, true);
  bool toggle = false;
  for (auto _ : state) {
    toggle = !toggle;
    fans.SetSize(area.width, area.height - (toggle ? 1 : 0));
  }
  state.SetLabel(std::to_string(area.width) + "x" + std::to_string(area.height));
}
BENCHMARK(BM_Rebuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The rebuild's three kinds of work, each alone with the same inputs.
void BM_RebuildComposition(benchmark::State& state) {
  vf::ImagingUser imaging;
  const Area area = kAreas[state.range(0)];
  vf::TFanBackground background(0, 0, 0, true);
  const auto orig = vf::CalcCompositionSize(119, 119, area.width, area.height);
  for (auto _ : state) background.SetSize(orig.OrigWidth, orig.OrigHeight, area.width, area.height);
  state.SetLabel(std::to_string(area.width) + "x" + std::to_string(area.height));
}
BENCHMARK(BM_RebuildComposition)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RebuildFanDrawing(benchmark::State& state) {
  vf::ImagingUser imaging;
  const Area area = kAreas[state.range(0)];
  const vf::TFanFrames frames(0, true);
  const auto orig = vf::CalcCompositionSize(119, 119, area.width, area.height);
  const auto rects = vf::CalcFanRects(orig.OrigWidth, orig.OrigHeight, {}, area.width, area.height);
  platform::Surface work;
  work.SetSize(area.width, area.height);
  for (auto _ : state) {
    for (std::int32_t i = 0; i < frames.FramesCount(); ++i) {
      frames.GetFrame(i).DrawTo(work.DC(), rects.R1, false);
      if (!vf::IsAbsent(rects.R2)) frames.GetFrame(i).DrawTo(work.DC(), rects.R2, false);
    }
  }
  state.SetLabel(std::to_string(area.width) + "x" + std::to_string(area.height));
}
BENCHMARK(BM_RebuildFanDrawing)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RebuildCuts(benchmark::State& state) {
  vf::ImagingUser imaging;
  const Area area = kAreas[state.range(0)];
  const auto orig = vf::CalcCompositionSize(119, 119, area.width, area.height);
  const auto rects = vf::CalcFanRects(orig.OrigWidth, orig.OrigHeight, {}, area.width, area.height);
  platform::Surface work;
  work.SetSize(area.width, area.height);
  for (auto _ : state) {
    for (int i = 0; i < 31 * 2; ++i) {
      const vf::TGPRect& r = i % 2 == 0 ? rects.R1 : rects.R2;
      platform::Surface cut;
      cut.SetSize(r.Width, r.Height);
      platform::BitBlt(cut.DC(), 0, 0, r.Width, r.Height, work.DC(), r.X, r.Y);
      benchmark::DoNotOptimize(cut.DC());
    }
  }
  state.SetLabel(std::to_string(area.width) + "x" + std::to_string(area.height));
}
BENCHMARK(BM_RebuildCuts)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What a built scene holds, against frames x positions x square area x 4 plus cache and background.
void BM_SceneBytes(benchmark::State& state) {
  vf::ImagingUser imaging;
  const Area area = kAreas[state.range(0)];
  for (auto _ : state) {
    const TFans fans(0, 0, area.width, area.height, true);
    std::int64_t held = SurfaceBytes(fans.Cache()) + SurfaceBytes(fans.Background().Bitmap());
    for (const auto* position : {&fans.BitmapFrames().Frame1, &fans.BitmapFrames().Frame2})
      for (const auto& bitmap : position->Bitmaps) held += SurfaceBytes(*bitmap);
    const int positions = fans.BitmapFrames().Frame2.Pos.X != -1 ? 2 : 1;
    const std::int64_t design = std::int64_t{fans.FramesCount()} * positions * SquareBytes(fans) +
                                SurfaceBytes(fans.Cache()) + SurfaceBytes(fans.Background().Bitmap());
    state.counters["held_MiB"] = static_cast<double>(held) / (1024.0 * 1024.0);
    state.counters["design_MiB"] = static_cast<double>(design) / (1024.0 * 1024.0);
    state.counters["held_per_design"] = static_cast<double>(held) / static_cast<double>(design);
  }
  state.SetLabel(std::to_string(area.width) + "x" + std::to_string(area.height));
}
BENCHMARK(BM_SceneBytes)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

constexpr vf::bench::Comparison kComparisons[] = {
    {"render call 640 x 480 vs memcpy", "BM_RenderCall/0", "BM_RenderCallMemcpy/0", "<= 1.50"},
    {"render call 1920 x 1080 vs memcpy", "BM_RenderCall/1", "BM_RenderCallMemcpy/1", "<= 1.50"},
    {"rebuild 640 x 480", "BM_Rebuild/0", "-", "-"},
    {"  of which composition", "BM_RebuildComposition/0", "BM_Rebuild/0", "-"},
    {"  of which fan drawing", "BM_RebuildFanDrawing/0", "BM_Rebuild/0", "-"},
    {"  of which cuts", "BM_RebuildCuts/0", "BM_Rebuild/0", "-"},
    {"rebuild 1920 x 1080", "BM_Rebuild/1", "-", "-"},
    {"  of which composition", "BM_RebuildComposition/1", "BM_Rebuild/1", "-"},
    {"  of which fan drawing", "BM_RebuildFanDrawing/1", "BM_Rebuild/1", "-"},
    {"  of which cuts", "BM_RebuildCuts/1", "BM_Rebuild/1", "-"},
};

}  // namespace

int main(int argc, char** argv) {
  return vf::bench::RunAndPrintRatios(argc, argv, [](const std::map<std::string, double>& seconds) {
    vf::bench::PrintComparisons(kComparisons, seconds);
  });
}
