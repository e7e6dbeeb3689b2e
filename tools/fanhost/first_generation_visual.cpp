#include <cstdio>

#include "fanhost/driven_visual.h"

namespace fanhost {

namespace {

class FirstGenerationVisual final : public DrivenVisual {
 public:
  explicit FirstGenerationVisual(aimp::IVisualPlugin* plugin)
      : FSelf(plugin), FSlots(*plugin->Vtbl) {}
  void Initialize(int width, int height) override {
    std::printf("Initialize -> %d\n", FSlots.Initialize(FSelf));
    FSlots.DisplayResize(FSelf, width, height);
  }
  void Resize(int width, int height) override { FSlots.DisplayResize(FSelf, width, height); }
  void Render(platform::DeviceContext dc, const aimp::TAIMPVisualData& data) override {
    auto copy = data;
    FSlots.DisplayRender(FSelf, dc, &copy);
  }
  void Click(int x, int y) override { FSlots.DisplayClick(FSelf, x, y); }
  void Deinitialize() override { FSlots.Deinitialize(FSelf); }

 private:
  aimp::IVisualPlugin* FSelf;
  const aimp::IVisualPluginVtbl& FSlots;
};

}  // namespace

std::unique_ptr<DrivenVisual> DriveFirstGeneration(const PluginRef& plugin) {
  return std::make_unique<FirstGenerationVisual>(plugin.Get());
}

}  // namespace fanhost
