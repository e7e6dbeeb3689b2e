// The steady state a player spends its days in: the CPU time of one visualised second (thirty
// frames of the built-in track analysed and rendered by the real module through its export, the
// clock pumped between them, as the substitute host's drive loop does, without presenting), against
// the floor of copying each shown frame once.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "fanhost/audio.h"
#include "fanhost/audio_analysis.h"
#include "fanhost/module_host.h"
#include "platform/message_pump.h"
#include "platform/surface.h"
#include "ratio_reporter.h"

namespace {

constexpr int kFramesPerSecond = 30;

struct Area {
  int width, height;
};
constexpr Area kAreas[] = {{640, 480}, {1920, 1080}};

void BM_VisualisedSecond(benchmark::State& state) {
  const Area area = kAreas[state.range(0)];
  fanhost::ModuleHost module;
  if (!module.Load(fanhost::ModulePathBesideExecutable("VindeluxFan"))) {
    state.SkipWithError(module.LastError().c_str());
    return;
  }
  const fanhost::StereoAudio track = fanhost::SynthesiseDefaultTrack(16.0);
  const std::size_t samplesPerFrame = track.sampleRate / kFramesPerSecond;
  {
    fanhost::PluginRef plugin = module.QueryVisual();
    auto* self = plugin.Get();
    (*plugin).Initialize(self);
    platform::Surface surface;
    surface.SetSize(area.width, area.height);
    (*plugin).DisplayResize(self, area.width, area.height);
    aimp::TAIMPVisualData data{};
    std::size_t position = 0;
    for (auto _ : state) {
      for (int frame = 0; frame < kFramesPerSecond; ++frame) {
        if (position + samplesPerFrame + fanhost::kAnalysisFrames > track.Frames()) position = 0;
        fanhost::AnalyseFrame(track, position, samplesPerFrame, data);
        position += samplesPerFrame;
        (*plugin).DisplayRender(self, surface.DC(), &data);
        platform::PumpMessages();
      }
    }
    (*plugin).Deinitialize(self);
  }
  state.SetLabel(std::to_string(area.width) + " x " + std::to_string(area.height));
}
BENCHMARK(BM_VisualisedSecond)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

// Each shown frame copied once into the host's area: the least a second of frames can cost.
void BM_VisualisedSecondCopyFloor(benchmark::State& state) {
  const Area area = kAreas[state.range(0)];
  const auto bytes =
      static_cast<std::size_t>(area.width) * static_cast<std::size_t>(area.height) * 4;
  std::vector<char> frames(bytes * 2, 1), host(bytes);
  for (auto _ : state) {
    for (int frame = 0; frame < kFramesPerSecond; ++frame) {
      std::memcpy(host.data(), frames.data() + bytes * static_cast<std::size_t>(frame % 2), bytes);
      benchmark::ClobberMemory();
    }
  }
  state.SetLabel(std::to_string(area.width) + " x " + std::to_string(area.height));
}
BENCHMARK(BM_VisualisedSecondCopyFloor)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

constexpr vf::bench::Comparison kComparisons[] = {
    {"visualised second 640 x 480 vs copies", "BM_VisualisedSecond/0/process_time",
     "BM_VisualisedSecondCopyFloor/0/process_time", "-"},
    {"visualised second 1920 x 1080 vs copies", "BM_VisualisedSecond/1/process_time",
     "BM_VisualisedSecondCopyFloor/1/process_time", "-"},
};

}  // namespace

int main(int argc, char** argv) {
  return vf::bench::RunAndPrintRatios(
      argc, argv,
      [](const std::map<std::string, double>& seconds) {
        vf::bench::PrintComparisons(kComparisons, seconds);
      },
      vf::bench::TimeBase::Cpu);
}
