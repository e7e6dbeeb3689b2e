#pragma once

#include "fanhost/module_host.h"
#include "platform/surface.h"

// The module driven through its export as a host drives it: the visual's calls with a surface of
// the host's own to draw into.
namespace soak {

class Host {
 public:
  explicit Host(fanhost::ModuleHost& module)
      : FPlugin(module.QueryVisual()), FSelf(FPlugin.Get()) {}
  bool Valid() const { return static_cast<bool>(FPlugin); }
  void Initialize() { (*FPlugin).Initialize(FSelf); }
  void Deinitialize() { (*FPlugin).Deinitialize(FSelf); }
  void Resize(int width, int height) {
    FArea.SetSize(width, height);
    (*FPlugin).DisplayResize(FSelf, width, height);
  }
  // The module's area only, the host's surface kept as it is: for areas whose surface the host
  // itself could not have.
  void ResizeModuleOnly(int width, int height) { (*FPlugin).DisplayResize(FSelf, width, height); }
  platform::DeviceContext Area() const { return FArea.DC(); }
  void Render(int level) {
    aimp::TAIMPVisualData data{};
    data.LevelL = level;
    data.LevelR = 100 - level;
    (*FPlugin).DisplayRender(FSelf, FArea.DC(), &data);
  }
  void Click() { (*FPlugin).DisplayClick(FSelf, 10, 10); }

 private:
  fanhost::PluginRef FPlugin;
  aimp::IVisualPlugin* FSelf;
  platform::Surface FArea;
};

}  // namespace soak
