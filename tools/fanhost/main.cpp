// fanhost: a substitute player for the visual plug-in module. It loads the module file, drives the
// plug-in object through its slots in the order a player does, pumps messages on the thread that
// initialised it, and feeds it the levels of the audio it plays, one record per frame.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "audio.h"
#include "apng_writer.h"
#include "audio_analysis.h"
#include "module_host.h"
#include "snapshot.h"
#include "platform/message_pump.h"
#include "platform/surface.h"

namespace {

struct Options {
  std::string module;
  std::string wav;
  std::string snapshot;
  std::string record;
  int recordFps = 10;
  double seconds = 0.0;  // 0: the whole track
  int fps = 30;
  int width = 640;
  int height = 480;
};

void Usage() {
  std::puts(
      "usage: fanhost [--module FILE] [--wav FILE] [--seconds S] [--fps N] [--size WxH]\n"
      "               [--snapshot FILE.png] [--record FILE.png] [--record-fps N]\n"
      "Plays the built-in default track unless --wav is given. --snapshot writes the last frame,\n"
      "--record an animated PNG of the whole run (10 frames a second unless --record-fps).");
}

bool ParseArgs(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--module" && hasValue) {
      options.module = argv[++i];
    } else if (arg == "--wav" && hasValue) {
      options.wav = argv[++i];
    } else if (arg == "--record" && hasValue) {
      options.record = argv[++i];
    } else if (arg == "--record-fps" && hasValue) {
      options.recordFps = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--snapshot" && hasValue) {
      options.snapshot = argv[++i];
    } else if (arg == "--seconds" && hasValue) {
      options.seconds = std::atof(argv[++i]);
    } else if (arg == "--fps" && hasValue) {
      options.fps = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--size" && hasValue) {
      if (std::sscanf(argv[++i], "%dx%d", &options.width, &options.height) != 2) return false;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseArgs(argc, argv, options)) {
    Usage();
    return 2;
  }
  if (options.module.empty()) options.module = fanhost::ModulePathBesideExecutable("VindeluxFan");

  fanhost::StereoAudio audio;
  if (options.wav.empty()) {
    audio = fanhost::SynthesiseDefaultTrack();
    std::printf("track: built-in default track, %.1f s\n", audio.Seconds());
  } else {
    std::string error;
    if (!fanhost::ReadWav(options.wav, audio, error)) {
      std::fprintf(stderr, "fanhost: %s\n", error.c_str());
      return 1;
    }
    std::printf("track: %s, %.1f s\n", options.wav.c_str(), audio.Seconds());
  }

  fanhost::ModuleHost host;
  if (!host.Load(options.module)) {
    std::fprintf(stderr, "fanhost: %s\n", host.LastError().c_str());
    return 1;
  }
  {
    fanhost::PluginRef plugin = host.QueryVisual();
    if (!plugin) {
      std::fprintf(stderr, "fanhost: the module handed out no plug-in object\n");
      return 1;
    }
    auto* self = plugin.Get();
    const auto& slots = *plugin;
    std::printf("module: %s\nplug-in: %s, %s, by %s, flags %u\n", options.module.c_str(),
                fanhost::Narrow(slots.PluginName(self)).c_str(),
                fanhost::Narrow(slots.PluginInfo(self)).c_str(),
                fanhost::Narrow(slots.AuthorName(self)).c_str(), slots.PluginFlags(self));

    const auto started = slots.Initialize(self);
    std::printf("Initialize -> %d\n", started);
    // The visualisation area: an off-screen surface whose drawing surface the plug-in paints.
    platform::Surface area;
    area.SetSize(options.width, options.height);
    slots.DisplayResize(self, options.width, options.height);

    fanhost::ApngWriter recording;
    const int recordEvery = std::max(1, options.fps / std::min(options.recordFps, options.fps));
    if (!options.record.empty()) {
      std::string error;
      if (!recording.Open(options.record, options.width, options.height, options.fps / recordEvery, error)) {
        std::fprintf(stderr, "fanhost: %s\n", error.c_str());
        options.record.clear();
      }
    }

    const double seconds = options.seconds > 0.0 ? std::min(options.seconds, audio.Seconds())
                                                 : audio.Seconds();
    const auto frames = static_cast<long>(seconds * options.fps);
    const std::size_t samplesPerFrame = audio.sampleRate / static_cast<std::uint32_t>(options.fps);
    const auto frameTime = std::chrono::microseconds(1'000'000 / options.fps);
    auto deadline = std::chrono::steady_clock::now();
    std::uint32_t ticks = 0, ticksThisSecond = 0;
    long levelSumL = 0, levelSumR = 0;
    aimp::TAIMPVisualData data{};

    for (long frame = 0; frame < frames; ++frame) {
      fanhost::AnalyseFrame(audio, static_cast<std::size_t>(frame) * samplesPerFrame,
                            samplesPerFrame, data);
      slots.DisplayRender(self, area.DC(), &data);
      if (!options.record.empty() && frame % recordEvery == 0) {
        std::string error;
        if (!recording.AddFrame(platform::ReadPixels(area.DC(), 0, 0, area.Width(), area.Height()), error)) {
          std::fprintf(stderr, "fanhost: %s\n", error.c_str());
          options.record.clear();
        }
      }
      levelSumL += data.LevelL;
      levelSumR += data.LevelR;
      if ((frame + 1) % options.fps == 0) {
        std::printf("t=%5.1fs  mean level L=%3ld R=%3ld  clock ticks this second: %u\n",
                    static_cast<double>(frame + 1) / options.fps, levelSumL / options.fps,
                    levelSumR / options.fps, ticksThisSecond);
        std::fflush(stdout);
        ticksThisSecond = 0;
        levelSumL = levelSumR = 0;
      }
      // Pump this thread's messages until the next frame is due, as a player's UI thread does.
      deadline += frameTime;
      for (;;) {
        const auto pumped = platform::PumpMessages();
        ticks += pumped.timerMessages;
        ticksThisSecond += pumped.timerMessages;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) break;
        platform::WaitForMessages(static_cast<std::uint32_t>(
            std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count()));
      }
    }

    if (recording.Frames() > 0) {
      std::string error;
      if (recording.Close(error))
        std::printf("%d frames recorded to %s\n", recording.Frames(), options.record.c_str());
      else
        std::fprintf(stderr, "fanhost: %s\n", error.c_str());
    }
    if (!options.snapshot.empty()) {
      std::string error;
      if (fanhost::WriteSnapshot(area, options.snapshot, error))
        std::printf("last frame written to %s\n", options.snapshot.c_str());
      else
        std::fprintf(stderr, "fanhost: %s\n", error.c_str());
    }
    slots.Deinitialize(self);
    std::printf("Deinitialize; %ld frames rendered, %u clock ticks in %.1f s\n", frames, ticks,
                seconds);
  }  // the final Release
  host.Unload();
  std::puts("module unloaded");
  return 0;
}
