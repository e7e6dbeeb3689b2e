#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <type_traits>

#include "fanhost/driven_visual.h"

namespace fanhost {

namespace {

// The player's visualisation thread: it runs one piece of work at a time for the interface
// thread, which waits for each (a frame is presented only once it is drawn).
class VisualizationThread {
 public:
  VisualizationThread() : FThread([this] { Serve(); }) {}
  ~VisualizationThread() {
    {
      const std::lock_guard lock(FLock);
      FStopping = true;
    }
    FChanged.notify_all();
    FThread.join();
  }
  VisualizationThread(const VisualizationThread&) = delete;
  VisualizationThread& operator=(const VisualizationThread&) = delete;

  // Runs the work on the visualisation thread and returns once it is done. The work stays the
  // caller's: nothing is copied or allocated for a frame.
  template <typename Work>
  void Run(Work&& work) {
    std::unique_lock lock(FLock);
    FContext = &work;
    FCall = [](void* context) { (*static_cast<std::remove_reference_t<Work>*>(context))(); };
    FChanged.notify_all();
    FChanged.wait(lock, [this] { return FCall == nullptr; });
  }

 private:
  void Serve() {
    std::unique_lock lock(FLock);
    for (;;) {
      FChanged.wait(lock, [this] { return FStopping || FCall != nullptr; });
      if (FCall == nullptr) return;
      lock.unlock();
      FCall(FContext);
      lock.lock();
      FCall = nullptr;
      FChanged.notify_all();
    }
  }

  std::mutex FLock;
  std::condition_variable FChanged;
  void (*FCall)(void* context) = nullptr;
  void* FContext = nullptr;
  bool FStopping = false;
  std::thread FThread;  // last: it starts once the rest is made
};

class CurrentVisual final : public DrivenVisual {
 public:
  explicit CurrentVisual(aimp::IAIMPExtensionEmbeddedVisualization* visualization)
      : FSelf(visualization), FSlots(*visualization->Vtbl) {}
  void Initialize(int width, int height) override {
    std::printf("Initialize -> %d\n", FSlots.Initialize(FSelf, width, height));
  }
  void Resize(int width, int height) override {
    FThread.Run([&] { FSlots.Resize(FSelf, width, height); });
  }
  void Render(platform::DeviceContext dc, const aimp::TAIMPVisualData& data) override {
    auto record = CurrentVisualData(data);
    FThread.Run([&] { FSlots.Draw(FSelf, dc, &record); });
  }
  void Click(int x, int y) override { FSlots.Click(FSelf, x, y, aimp::kVisualClickButtonLeft); }
  void Deinitialize() override { FSlots.Finalize(FSelf); }

 private:
  aimp::IAIMPExtensionEmbeddedVisualization* FSelf;
  const aimp::IAIMPExtensionEmbeddedVisualizationVtbl& FSlots;
  VisualizationThread FThread;
};

}  // namespace

aimp::TAIMPCurrentVisualData CurrentVisualData(const aimp::TAIMPVisualData& data) {
  aimp::TAIMPCurrentVisualData out{};
  out.Peaks[0] = std::clamp(data.LevelL, 0, 100) / 100.0f;
  out.Peaks[1] = std::clamp(data.LevelR, 0, 100) / 100.0f;
  for (int channel = 0; channel < 2; ++channel) {
    for (int i = 0; i < aimp::kVisualSpectrumMax; ++i)
      out.Spectrum[channel][i] = data.Spectrum[channel][i] / 255.0f;
    for (int i = 0; i < aimp::kVisualWaveformMax; ++i)
      out.WaveForm[channel][i] = data.WaveForm[channel][i] / 128.0f;
  }
  // The third spectrum: the mean of the two, as this player fills it.
  for (int i = 0; i < aimp::kVisualSpectrumMax; ++i)
    out.Spectrum[2][i] = (out.Spectrum[0][i] + out.Spectrum[1][i]) / 2.0f;
  return out;
}

std::unique_ptr<DrivenVisual> DriveCurrent(
    aimp::IAIMPExtensionEmbeddedVisualization* visualization) {
  return std::make_unique<CurrentVisual>(visualization);
}

}  // namespace fanhost
