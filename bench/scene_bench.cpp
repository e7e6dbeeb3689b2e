// The fan scene's costs: a resize and a live background change as the host and the options window
// cause them, with frames drawn when first shown, against the full pre-render of every frame in
// the same run; one render call once every frame was shown, against memcpy of the bytes it moves;
// the parts of a full rebuild; and the bytes a scene holds.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
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
constexpr Area kAreas[] = {{640, 480}, {1920, 1080}, {3840, 2160}, {100000, 1}, {1, 100000}};

std::string Label(const Area& area) { return std::to_string(area.width) + "x" + std::to_string(area.height); }

// The area with its longer side one pixel shorter: every other resize goes there and back.
Area Nudged(const Area& area) {
  return area.width >= area.height ? Area{area.width - 1, area.height} : Area{area.width, area.height - 1};
}

std::int64_t SurfaceBytes(const platform::Surface& s) { return std::int64_t{s.Width()} * s.Height() * 4; }

std::int64_t SquareBytes(const TFans& fans) {
  const auto& position = fans.BitmapFrames().Frame1;
  return std::int64_t{position.Width} * position.Height * 4;
}

bool TwoFans(const TFans& fans) { return fans.BitmapFrames().Frame2.Pos.X != -1; }

// Bytes one render call moves with both fans changed: two squares into the cache, the cache out.
std::int64_t RenderBytes(const TFans& fans) {
  return SquareBytes(fans) * (TwoFans(fans) ? 2 : 1) + SurfaceBytes(fans.Cache());
}

// A resize as the host makes it (DisplayResize), then the first render that shows both fans at
// frames other than those shown before (DisplayRender). range(1) selects the full pre-render.
// A scene built at an area and shown once, with the host's area it renders into; each render
// shows both fans at frames other than those shown before.
struct ShownScene {
  ShownScene(const Area& area, bool preRenderAll) : fans(0, 0, 0, 0, true) {
    fans.SetPreRenderAll(preRenderAll);
    fans.SetSize(area.width, area.height);
    fans.UpdateFan(0, 7);
    host.SetSize(area.width, area.height);
  }
  void RenderNextFrames() {
    frame = (frame + 1) % fans.FramesCount();
    fans.UpdateFan(frame, (frame + 7) % fans.FramesCount());
    fans.DrawTo(host.DC());
  }
  vf::ImagingUser imaging;  // first: the scene's images need the imaging library
  TFans fans;
  platform::Surface host;
  std::int32_t frame = 0;
};

void BM_Resize(benchmark::State& state) {
  const Area area = kAreas[state.range(0)];
  ShownScene scene(area, state.range(1) != 0);
  bool nudged = false;
  for (auto _ : state) {
    nudged = !nudged;
    const Area size = nudged ? Nudged(area) : area;
    scene.fans.SetSize(size.width, size.height);
    scene.RenderNextFrames();
  }
  state.SetLabel(Label(area));
}
BENCHMARK(BM_Resize)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Args({3, 0})
    ->Args({4, 0})
    ->ArgNames({"area", "full"})
    ->Unit(benchmark::kMillisecond);

// A live change from the options window as the controller passes it on: the fan skin it already
// has, then another background, then the next render. range(1) selects the full pre-render.
void BM_LiveBackgroundChange(benchmark::State& state) {
  const Area area = kAreas[state.range(0)];
  ShownScene scene(area, state.range(1) != 0);
  std::int32_t background = 0;
  for (auto _ : state) {
    background = 1 - background;
    scene.fans.SetSkinFanIndex(0);
    scene.fans.SetSkinBackgroundIndex(background);
    scene.RenderNextFrames();
  }
  state.SetLabel(Label(area));
}
BENCHMARK(BM_LiveBackgroundChange)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"area", "full"})
    ->Unit(benchmark::kMillisecond);

// One render call once every frame has been shown: two kept squares into the cache, the cache out.
void BM_RenderCall(benchmark::State& state) {
  vf::ImagingUser imaging;
  const Area area = kAreas[state.range(0)];
  TFans fans(0, 0, area.width, area.height, true);
  fans.RenderAllFrames();
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
  state.SetLabel(Label(area));
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
  state.SetLabel(Label(area));
}
BENCHMARK(BM_RenderCallMemcpy)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The parts of a rebuild, each alone with the same inputs: the background composition (all a
// resize does before the first render), and the fan drawing and cuts a full pre-render adds.
void BM_RebuildComposition(benchmark::State& state) {
  vf::ImagingUser imaging;
  const Area area = kAreas[state.range(0)];
  vf::TFanBackground background(0, 0, 0, true);
  const auto orig = vf::LimitCompositionSize(vf::CalcCompositionSize(119, 119, area.width, area.height),
                                             area.width, area.height);
  for (auto _ : state) background.SetSize(orig.OrigWidth, orig.OrigHeight, area.width, area.height);
  state.SetLabel(Label(area));
}
BENCHMARK(BM_RebuildComposition)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

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
  state.SetLabel(Label(area));
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
  state.SetLabel(Label(area));
}
BENCHMARK(BM_RebuildCuts)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What a scene holds once the first frames show: cache, background and kept frames. range(1) 0:
// frames drawn when shown; 1: the same with the frame cache capped at nothing; the full pre-render
// is counted, not run (every frame at both positions besides cache and background).
void BM_SceneBytes(benchmark::State& state) {
  vf::ImagingUser imaging;
  const Area area = kAreas[state.range(0)];
  for (auto _ : state) {
    TFans fans(0, 0, 0, 0, true);
    if (state.range(1) != 0) fans.SetFrameCacheCap(0);
    fans.SetSize(area.width, area.height);
    fans.UpdateFan(0, 7);
    const std::int64_t base = SurfaceBytes(fans.Cache()) + SurfaceBytes(fans.Background().Bitmap());
    const std::int64_t held = base + fans.FrameCacheBytes();
    const std::int64_t full = base + std::int64_t{fans.FramesCount()} * (TwoFans(fans) ? 2 : 1) * SquareBytes(fans);
    state.counters["held_MiB"] = static_cast<double>(held) / (1024.0 * 1024.0);
    state.counters["full_prerender_MiB"] = static_cast<double>(full) / (1024.0 * 1024.0);
  }
  state.SetLabel(Label(area));
}
BENCHMARK(BM_SceneBytes)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"area", "capped"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

constexpr vf::bench::Comparison kComparisons[] = {
    {"resize + render 640 x 480 vs full", "BM_Resize/area:0/full:0", "BM_Resize/area:0/full:1", "<= 0.10"},
    {"resize + render 1920 x 1080 vs full", "BM_Resize/area:1/full:0", "BM_Resize/area:1/full:1", "<= 0.10"},
    {"resize + render 3840 x 2160 vs full", "BM_Resize/area:2/full:0", "BM_Resize/area:2/full:1", "<= 0.10"},
    {"  of which composition 640 x 480", "BM_RebuildComposition/0", "BM_Resize/area:0/full:0", "-"},
    {"  of which composition 1920 x 1080", "BM_RebuildComposition/1", "BM_Resize/area:1/full:0", "-"},
    {"  of which composition 3840 x 2160", "BM_RebuildComposition/2", "BM_Resize/area:2/full:0", "-"},
    {"resize + render 100000 x 1", "BM_Resize/area:3/full:0", "-", "-"},
    {"resize + render 1 x 100000", "BM_Resize/area:4/full:0", "-", "-"},
    {"live background change 640 x 480 vs full", "BM_LiveBackgroundChange/area:0/full:0",
     "BM_LiveBackgroundChange/area:0/full:1", "<= 0.10"},
    {"live background change 1920 x 1080 vs full", "BM_LiveBackgroundChange/area:1/full:0",
     "BM_LiveBackgroundChange/area:1/full:1", "<= 0.10"},
    {"render call 640 x 480 vs memcpy", "BM_RenderCall/0", "BM_RenderCallMemcpy/0", "<= 1.50"},
    {"render call 1920 x 1080 vs memcpy", "BM_RenderCall/1", "BM_RenderCallMemcpy/1", "<= 1.50"},
    {"full pre-render 640 x 480: fan drawing", "BM_RebuildFanDrawing/0", "BM_Resize/area:0/full:1", "-"},
    {"full pre-render 640 x 480: cuts", "BM_RebuildCuts/0", "BM_Resize/area:0/full:1", "-"},
    {"full pre-render 1920 x 1080: fan drawing", "BM_RebuildFanDrawing/1", "BM_Resize/area:1/full:1", "-"},
    {"full pre-render 1920 x 1080: cuts", "BM_RebuildCuts/1", "BM_Resize/area:1/full:1", "-"},
};

}  // namespace

int main(int argc, char** argv) {
  return vf::bench::RunAndPrintRatios(argc, argv, [](const std::map<std::string, double>& seconds) {
    vf::bench::PrintComparisons(kComparisons, seconds);
  });
}
