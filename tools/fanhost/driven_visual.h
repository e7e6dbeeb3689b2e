#pragma once

#include <memory>

#include "fanhost/module_host.h"
#include "host/aimp_current_sdk.h"
#include "platform/surface.h"

// A visual plug-in as the player's drive loop meets it, whichever generation of the interface it
// speaks: the loop hands out the first generation's data record, and each adapter passes it on in
// its own interface's terms.
namespace fanhost {

class DrivenVisual {
 public:
  virtual ~DrivenVisual() = default;
  // Starts the visualisation at the area's size and says what it answered.
  virtual void Initialize(int width, int height) = 0;
  virtual void Resize(int width, int height) = 0;
  virtual void Render(platform::DeviceContext dc, const aimp::TAIMPVisualData& data) = 0;
  virtual void Click(int x, int y) = 0;
  virtual void Deinitialize() = 0;
};

// A first-generation plug-in object, every call on the calling thread.
std::unique_ptr<DrivenVisual> DriveFirstGeneration(const PluginRef& plugin);

// A current visualisation as its player drives it: started, clicked and stopped on the player's
// interface thread, drawn and resized from a visualisation thread of the player's own. The
// caller keeps the visualisation alive for as long as the adapter lives.
std::unique_ptr<DrivenVisual> DriveCurrent(
    aimp::IAIMPExtensionEmbeddedVisualization* visualization);

// The first generation's record in the current interface's terms (peaks 0 .. 1 for levels
// 0 .. 100, the spectrum and the wave form scaled alike).
aimp::TAIMPCurrentVisualData CurrentVisualData(const aimp::TAIMPVisualData& data);

}  // namespace fanhost
