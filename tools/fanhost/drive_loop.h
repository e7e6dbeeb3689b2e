#pragma once

#include "fanhost/audio.h"
#include "fanhost/module_host.h"
#include "fanhost/presenter.h"

// What a player's user-interface thread does with a visual plug-in while a track plays: one data
// record and one render call per frame, messages pumped between frames on the same thread (so the
// plug-in's clock ticks), and a status line once a second.
namespace fanhost {

struct DriveSettings {
  double seconds = 0.0;  // how much of the track; 0 for all of it
  int fps = 30;
};

struct DriveSummary {
  long frames = 0;
  std::uint32_t ticks = 0;
  double seconds = 0.0;
};

// Initialises the plug-in, tells it the area's size, plays, then de-initialises it.
DriveSummary Drive(const PluginRef& plugin, const StereoAudio& audio, Presenter& presenter,
                   const DriveSettings& settings);

}  // namespace fanhost
