// fanhost: a substitute player for the visual plug-in module. It loads the module file, drives the
// plug-in object through its slots in the order a player does, pumps messages on the thread that
// initialised it, and feeds it the levels of the audio it plays (or, with --capture, hears the
// machine play), one record per frame.
//
// Exit codes: 0 played, 1 a file could not be written, 2 bad input (arguments, WAV file, module,
// no recording device).
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "fanhost/audio.h"
#include "fanhost/capture_playback.h"
#include "fanhost/drive_loop.h"
#include "fanhost/headless_presenter.h"
#include "fanhost/host_core.h"
#include "fanhost/module_host.h"
#include "fanhost/options.h"
#include "fanhost/playback.h"
#include "fanhost/window_presenter.h"
#include "platform/audio_input.h"
#include "platform/audio_output.h"
#include "platform/module_services.h"
#include "platform/sound_server.h"
#include "platform/text.h"

namespace {

constexpr int kFileNotWritten = 1;
constexpr int kFailed = 1;  // anything else that stopped the run
constexpr int kBadInput = 2;
constexpr std::uint32_t kCaptureRate = 44100;

int Fail(const std::string& message) {
  std::fprintf(stderr, "fanhost: %s\n", message.c_str());
  return kBadInput;
}

struct ChosenPresenter {
  std::unique_ptr<fanhost::Presenter> presenter;
  bool inWindow = false;
};

// The window where a display exists (unless asked not to), else the off-screen area.
ChosenPresenter MakePresenter(const fanhost::Options& options) {
  if (!options.headless) {
    if (auto window =
            fanhost::WindowPresenter::Create(options.width, options.height, options.snapshot)) {
      std::printf("window: %dx%d (Space pauses, F or double click: full screen, Esc or Q quits)\n",
                  options.width, options.height);
      if (!options.record.empty()) std::puts("--record is for off-screen runs; not recording");
      return {std::move(window), true};
    }
    std::puts("no window can be made here: playing off screen");
  }
  std::printf("off screen: %dx%d\n", options.width, options.height);
  const int recordEvery = std::max(1, options.fps / std::min(options.recordFps, options.fps));
  return {std::make_unique<fanhost::HeadlessPresenter>(options.width, options.height,
                                                       options.snapshot, options.record,
                                                       options.fps / recordEvery, recordEvery),
          false};
}

// A track in a window is played through the sound card where there is one; off screen it advances
// exactly one frame's worth per frame.
std::unique_ptr<fanhost::Playback> MakeTrackPlayback(const fanhost::Options& options,
                                                     const fanhost::StereoAudio& audio,
                                                     bool inWindow) {
  if (!inWindow)
    return std::make_unique<fanhost::PacedPlayback>(audio, options.seconds, options.fps);
  std::string why;
  auto output = platform::AudioOutput::Open(audio.sampleRate, why);
  if (output)
    std::printf("sound: %s\n", output->Name().c_str());
  else
    std::printf("sound: none (%s); playing silently on the clock\n", why.c_str());
  return std::make_unique<fanhost::LivePlayback>(audio, options.seconds, std::move(output));
}

// The sources --capture-device takes, the one --capture would listen to marked. Without a sound
// server the default recording device may open though none is listed, so an empty list is no
// failure.
int ListDevices() {
  const platform::SoundSources list = platform::ListSoundSources();
  if (list.server.empty()) {
    std::printf("sound server: none (%s)\nrecording devices (--capture uses the default one):\n",
                list.why.c_str());
  } else {
    std::printf(
        "sound server: %s\nsources (* what --capture listens to: the monitor of the default "
        "output):\n",
        list.server.c_str());
  }
  for (const auto& source : list.sources) {
    const bool chosen = !list.outputMonitor.empty() && source.name == list.outputMonitor;
    std::printf("%s %s%s%s\n", chosen ? "*" : " ", source.name.c_str(),
                source.description != source.name ? ("  (" + source.description + ")").c_str() : "",
                source.monitor ? "  [monitor]" : "");
  }
  if (!list.server.empty() && list.outputMonitor.empty())
    std::puts("no monitor of a default output: --capture would use the default recording device");
  if (list.sources.empty()) std::puts("  (none listed)");
  return 0;
}

// What --capture listens to: the source named, or the monitor of the default output, or without
// one the default recording device, saying so. Null, said on standard error, when there is none.
std::unique_ptr<platform::AudioInput> OpenCapture(const fanhost::Options& options) {
  std::string why;
  std::unique_ptr<platform::AudioInput> input;
  if (!options.captureDevice.empty()) {
    input = platform::AudioInput::OpenNamed(kCaptureRate, options.captureDevice, why);
  } else {
    input = platform::AudioInput::OpenOutputMonitor(kCaptureRate, why);
    if (!input) {
      std::printf("capture: %s; listening to the default recording device instead\n", why.c_str());
      input = platform::AudioInput::Open(kCaptureRate, why);
    }
  }
  if (!input) {
    Fail("no recording device (" + why + ")");
    return nullptr;
  }
  std::printf("capture: %s\n", input->Name().c_str());
  return input;
}

// Plays to the visualisation, the track or what is heard, in a window or off screen, and says how
// it went. The exit code.
int Play(fanhost::DrivenVisual& visual, const fanhost::Options& options,
         const fanhost::StereoAudio& audio, std::unique_ptr<platform::AudioInput> input) {
  auto [presenter, inWindow] = MakePresenter(options);
  if (!inWindow && input && options.seconds == 0.0) return Fail(fanhost::kCaptureNeedsSeconds);

  const fanhost::StereoAudio* heard = &audio;
  std::unique_ptr<fanhost::Playback> playback;
  if (input) {
    auto capture = std::make_unique<fanhost::CapturePlayback>(std::move(input), kCaptureRate,
                                                              options.seconds, options.fps);
    heard = &capture->Heard();
    playback = std::move(capture);
  } else {
    playback = MakeTrackPlayback(options, audio, inWindow);
  }
  const auto summary =
      fanhost::Drive(visual, *heard, *playback, *presenter, {options.fps, options.optionsDemo});
  std::printf("Deinitialize; %ld frames rendered, %u clock ticks in %.1f s %s%s\n", summary.frames,
              summary.ticks, summary.seconds, options.capture ? "of sound heard" : "of the track",
              summary.quit ? " (stopped by the user)" : "");
  return summary.filesWritten ? 0 : kFileNotWritten;
}

int PlayFirstGeneration(const fanhost::ModuleHost& host, const fanhost::Options& options,
                        const fanhost::StereoAudio& audio,
                        std::unique_ptr<platform::AudioInput> input) {
  fanhost::PluginRef plugin = host.QueryVisual();
  if (!plugin) return Fail("the module " + options.module + " handed out no plug-in object");
  auto* self = plugin.Get();
  const auto& slots = *plugin;
  std::printf("plug-in: %s, %s, by %s, flags %u\n", fanhost::Narrow(slots.PluginName(self)).c_str(),
              fanhost::Narrow(slots.PluginInfo(self)).c_str(),
              fanhost::Narrow(slots.AuthorName(self)).c_str(), slots.PluginFlags(self));
  return Play(*fanhost::DriveFirstGeneration(plugin), options, audio, std::move(input));
}  // the final Release

// As a current player: the plug-in header is initialised with the player's core, the
// visualisation it registers is driven, and the header is finalised at the end.
int PlayCurrent(const fanhost::ModuleHost& host, const fanhost::Options& options,
                const fanhost::StereoAudio& audio, std::unique_ptr<platform::AudioInput> input) {
  namespace fs = std::filesystem;
  const fs::path profile =
      options.profile.empty()
          ? fs::path(platform::Utf16ToUtf8(platform::HostExecutablePath())).parent_path() /
                "Profile"
          : fs::path(options.profile);
  // A player makes its profile folder; where it cannot, the plug-in finds its own place.
  std::error_code error;
  fs::create_directories(profile, error);
  fanhost::HostCore core(platform::Utf8ToUtf16(profile.string()));
  int code = 0;
  {
    const fanhost::HeaderRef header = host.QueryHeader();
    if (!header) return Fail("the module " + options.module + " handed out no plug-in header");
    auto* self = header.Get();
    const auto& slots = *header;
    std::printf("plug-in: %s, %s, by %s, categories %u\n",
                fanhost::Narrow(slots.InfoGet(self, aimp::kPluginInfoName)).c_str(),
                fanhost::Narrow(slots.InfoGet(self, aimp::kPluginInfoShortDescription)).c_str(),
                fanhost::Narrow(slots.InfoGet(self, aimp::kPluginInfoAuthor)).c_str(),
                slots.InfoGetCategories(self));
    std::printf("profile: %s\n", profile.string().c_str());
    const aimp::HResult initialized = slots.Initialize(self, &core);
    auto* visualization = core.Visualization();
    if (initialized != aimp::kOk || visualization == nullptr) {
      slots.Finalize(self);
      return Fail("the plug-in registered no visualisation (Initialize -> " +
                  std::to_string(initialized) + ")");
    }
    aimp::IAIMPString* name = nullptr;
    if (visualization->Vtbl->GetName(visualization, &name) == aimp::kOk && name != nullptr) {
      std::printf("visualisation: %s\n", platform::Utf16ToUtf8(fanhost::TextOf(name)).c_str());
      name->Vtbl->Unknown.Release(aimp::AsUnknown(name));
    }
    code = Play(*fanhost::DriveCurrent(visualization), options, audio, std::move(input));
    std::printf("Finalize -> %d\n", slots.Finalize(self));
  }  // the final Release
  if (core.PluginReferences() != 0)
    std::printf("the plug-in still holds %u references to the player's core\n",
                core.PluginReferences());
  return code;
}

int Run(int argc, char** argv) {
  fanhost::Options options;
  std::string error;
  if (!fanhost::ParseOptions(argc, argv, options, error)) {
    if (error == "help") {
      fanhost::PrintUsage();
      return 0;
    }
    std::fprintf(stderr, "fanhost: %s\n", error.c_str());
    fanhost::PrintUsage();
    return kBadInput;
  }
  if (options.listDevices) return ListDevices();
  if (options.module.empty()) options.module = fanhost::ModulePathBesideExecutable("VindeluxFan");

  fanhost::StereoAudio audio;
  std::unique_ptr<platform::AudioInput> input;
  if (options.capture) {
    // Asked for explicitly, so a missing device ends the run rather than playing a track instead.
    input = OpenCapture(options);
    if (!input) return kBadInput;
  } else if (options.wav.empty()) {
    audio = fanhost::SynthesiseDefaultTrack();
    std::printf("track: built-in default track, %.1f s\n", audio.Seconds());
  } else {
    if (!fanhost::ReadWav(options.wav, audio, error)) return Fail(error);
    std::printf("track: %s, %.1f s\n", options.wav.c_str(), audio.Seconds());
  }

  fanhost::ModuleHost host;
  const auto needed = options.currentInterface ? fanhost::PluginInterface::Current
                                               : fanhost::PluginInterface::FirstGeneration;
  if (!host.Load(options.module, needed)) return Fail(host.LastError());
  std::printf("module: %s\n", options.module.c_str());
  const int code = options.currentInterface
                       ? PlayCurrent(host, options, audio, std::move(input))
                       : PlayFirstGeneration(host, options, audio, std::move(input));
  host.Unload();
  std::puts("module unloaded");
  return code;
}

}  // namespace

// Whatever goes wrong beyond bad input, running out of memory for a large --size or a long WAV
// expanded to float among it, ends with the documented code and one line, not an abort.
int main(int argc, char** argv) {
  // Status lines reach a log or a pipe as they are written, not when the run ends.
  std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "fanhost: out of memory\n");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "fanhost: %s\n", error.what());
  } catch (...) {
    std::fprintf(stderr, "fanhost: unknown failure\n");
  }
  return kFailed;
}
