#include "fanhost/drive_loop.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "fanhost/audio_analysis.h"
#include "platform/message_pump.h"

namespace fanhost {

DriveSummary Drive(DrivenVisual& visual, const StereoAudio& audio, Playback& playback,
                   Presenter& presenter, const DriveSettings& settings) {
  visual.Initialize(presenter.Width(), presenter.Height());

  DriveSummary summary;
  const std::size_t samplesPerFrame = audio.sampleRate / static_cast<std::uint32_t>(settings.fps);
  const auto frameTime = std::chrono::microseconds(1'000'000 / settings.fps);
  auto deadline = std::chrono::steady_clock::now();
  auto secondStart = deadline;
  std::uint32_t ticksThisSecond = 0;
  long framesThisSecond = 0;
  long levelSumL = 0, levelSumR = 0;
  bool clicked = !settings.clickAfterOneSecond;
  std::size_t position = 0;
  aimp::TAIMPVisualData data{};
  long frame = 0;

  // One frame: the record of what is heard now, rendered and presented; the status line once a
  // second.
  const auto renderFrame = [&] {
    position = playback.Position(frame);
    if (playback.Paused()) {
      // A paused player hands out silence: nothing is heard.
      data = aimp::TAIMPVisualData{};
    } else {
      AnalyseFrame(audio, position - playback.FirstFrameHeld(), samplesPerFrame, data);
    }
    visual.Render(presenter.DC(), data);
    presenter.FramePainted(frame);
    ++frame;
    ++summary.frames;
    ++framesThisSecond;
    levelSumL += data.LevelL;
    levelSumR += data.LevelR;
    if (!clicked && position >= audio.sampleRate) {
      clicked = true;
      visual.Click(presenter.Width() / 2, presenter.Height() / 2);
    }
    if (framesThisSecond == settings.fps) {
      const auto now = std::chrono::steady_clock::now();
      const double wall = std::chrono::duration<double>(now - secondStart).count();
      std::printf("t=%5.1fs  level L=%3ld R=%3ld  %5.1f frames/s  clock ticks: %u\n",
                  static_cast<double>(position) / audio.sampleRate, levelSumL / settings.fps,
                  levelSumR / settings.fps, wall > 0.0 ? framesThisSecond / wall : 0.0,
                  ticksThisSecond);
      std::fflush(stdout);
      secondStart = now;
      framesThisSecond = 0;
      ticksThisSecond = 0;
      levelSumL = levelSumR = 0;
    }
  };

  presenter.OnInput([&](const HostInput& input) {
    switch (input.Type) {
      case HostInput::Kind::Resize: visual.Resize(input.X, input.Y); break;
      case HostInput::Kind::Click: visual.Click(input.X, input.Y); break;
      case HostInput::Kind::TogglePause:
        playback.SetPaused(!playback.Paused());
        std::printf("%s\n", playback.Paused() ? "paused" : "playing");
        break;
      case HostInput::Kind::Frame:
        // Asked from inside the pump while the window system holds the loop below up.
        if (!summary.quit && !playback.Finished(frame)) renderFrame();
        break;
      case HostInput::Kind::Quit: summary.quit = true; break;
    }
  });

  while (!summary.quit && !playback.Finished(frame)) {
    renderFrame();
    // Pump this thread's messages until the next frame is due, as a player's UI thread does.
    deadline += frameTime;
    for (;;) {
      const auto pumped = platform::PumpMessages();
      summary.ticks += pumped.timerMessages;
      ticksThisSecond += pumped.timerMessages;
      const auto now = std::chrono::steady_clock::now();
      if (now >= deadline || summary.quit) break;
      platform::WaitForMessages(static_cast<std::uint32_t>(
          std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count()));
    }
    // A frame that came too late is not made up for with a burst of frames.
    deadline = std::max(deadline, std::chrono::steady_clock::now() - frameTime);
  }
  if (summary.frames > 0)
    summary.seconds = static_cast<double>(position + samplesPerFrame) / audio.sampleRate;
  presenter.OnInput(nullptr);
  summary.filesWritten = presenter.Finish();
  visual.Deinitialize();
  return summary;
}

}  // namespace fanhost
