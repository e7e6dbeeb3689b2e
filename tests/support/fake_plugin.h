#pragma once

#include "host/aimp_sdk.h"

namespace vf::test {

// The slots a substitute host calls, taken from a test's fake plug-in: a type with static
// Initialize, Deinitialize, Click, Render, Resize and Release functions of the slots' types.
template <typename Plugin>
aimp::IVisualPluginVtbl HostSlotsOf() {
  aimp::IVisualPluginVtbl slots{};
  slots.Initialize = Plugin::Initialize;
  slots.Deinitialize = Plugin::Deinitialize;
  slots.DisplayClick = Plugin::Click;
  slots.DisplayRender = Plugin::Render;
  slots.DisplayResize = Plugin::Resize;
  slots.Release = Plugin::Release;
  return slots;
}

}  // namespace vf::test
