#pragma once

#include "fanhost/audio.h"
#include "host/aimp_sdk.h"

// Turns the audio around a playing position into the record a player hands to its visual plug-in
// every frame: the peak level of each channel (0 to 100, as a player reports it), a 256-band
// spectrum and 512 samples of wave form per channel.
namespace fanhost {

// The sample frames one record's wave form and spectrum are made of, from its first frame on.
inline constexpr std::size_t kAnalysisFrames = 512;

void AnalyseFrame(const StereoAudio& audio, std::size_t firstFrame, std::size_t frameCount,
                  aimp::TAIMPVisualData& data);

}  // namespace fanhost
