#pragma once

#include "fanhost/audio.h"
#include "fanhost/driven_visual.h"
#include "fanhost/playback.h"
#include "fanhost/presenter.h"

// What a player's user-interface thread does with a visual plug-in while a track plays: one data
// record and one render call per frame, messages pumped between frames on the same thread (so the
// plug-in's clock ticks and the window's events arrive), and a status line once a second.
namespace fanhost {

struct DriveSettings {
  int fps = 30;
  // Clicks the middle of the area once, a second into the track, as a user opening the
  // plug-in's options would.
  bool clickAfterOneSecond = false;
};

struct DriveSummary {
  long frames = 0;
  std::uint32_t ticks = 0;
  double seconds = 0.0;      // of the track played
  bool quit = false;         // the user asked to stop before the end
  bool filesWritten = true;  // every file the presenter was to write was written
};

// Initialises the plug-in, tells it the area's size (and every new one), plays until the playback
// ends or the user quits, then de-initialises it. The audio is the one the playback's positions
// count in.
DriveSummary Drive(DrivenVisual& visual, const StereoAudio& audio, Playback& playback,
                   Presenter& presenter, const DriveSettings& settings);

}  // namespace fanhost
