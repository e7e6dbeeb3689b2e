#include "fanhost/drive_loop.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "fanhost/audio_analysis.h"
#include "platform/message_pump.h"

namespace fanhost {

DriveSummary Drive(const PluginRef& plugin, const StereoAudio& audio, Presenter& presenter,
                   const DriveSettings& settings) {
  auto* self = plugin.Get();
  const auto& slots = *plugin;
  std::printf("Initialize -> %d\n", slots.Initialize(self));
  slots.DisplayResize(self, presenter.Width(), presenter.Height());

  DriveSummary summary;
  summary.seconds = settings.seconds > 0.0 ? std::min(settings.seconds, audio.Seconds()) : audio.Seconds();
  summary.frames = static_cast<long>(summary.seconds * settings.fps);
  const std::size_t samplesPerFrame = audio.sampleRate / static_cast<std::uint32_t>(settings.fps);
  const auto frameTime = std::chrono::microseconds(1'000'000 / settings.fps);
  auto deadline = std::chrono::steady_clock::now();
  std::uint32_t ticksThisSecond = 0;
  long levelSumL = 0, levelSumR = 0;
  aimp::TAIMPVisualData data{};

  for (long frame = 0; frame < summary.frames; ++frame) {
    AnalyseFrame(audio, static_cast<std::size_t>(frame) * samplesPerFrame, samplesPerFrame, data);
    slots.DisplayRender(self, presenter.DC(), &data);
    presenter.FramePainted(frame);
    levelSumL += data.LevelL;
    levelSumR += data.LevelR;
    if ((frame + 1) % settings.fps == 0) {
      std::printf("t=%5.1fs  mean level L=%3ld R=%3ld  clock ticks this second: %u\n",
                  static_cast<double>(frame + 1) / settings.fps, levelSumL / settings.fps,
                  levelSumR / settings.fps, ticksThisSecond);
      std::fflush(stdout);
      ticksThisSecond = 0;
      levelSumL = levelSumR = 0;
    }
    // Pump this thread's messages until the next frame is due, as a player's UI thread does.
    deadline += frameTime;
    for (;;) {
      const auto pumped = platform::PumpMessages();
      summary.ticks += pumped.timerMessages;
      ticksThisSecond += pumped.timerMessages;
      const auto now = std::chrono::steady_clock::now();
      if (now >= deadline) break;
      platform::WaitForMessages(static_cast<std::uint32_t>(
          std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count()));
    }
  }
  presenter.Finish();
  slots.Deinitialize(self);
  return summary;
}

}  // namespace fanhost
