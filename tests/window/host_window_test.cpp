// The substitute host's window on a (virtual) display, driven with real input through the window
// system while the host plays: a resize reaches the plug-in with the new client size, a click in
// the visualisation opens the module's options window at the pointer, and the screen shows the
// frames the plug-in painted.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "fanhost/audio.h"
#include "fanhost/drive_loop.h"
#include "fanhost/module_host.h"
#include "fanhost/playback.h"
#include "fanhost/window_presenter.h"
#include "platform/window.h"
#include "screen_input.h"
#include "support/fake_plugin.h"
#include "support/png_encode.h"

namespace {

using platform::MouseButton;
using platform::Point;
using platform::Rect;

// The window presenter with a script run on the host's own thread after every painted frame,
// where a user's hand acts between two frames. Once the script says it is done, the user quits,
// so the script's pace does not depend on the machine's frame rate.
class ScriptedPresenter final : public fanhost::Presenter {
 public:
  ScriptedPresenter(fanhost::WindowPresenter& inner, std::function<bool(long)> step)
      : FInner(inner), FStep(std::move(step)) {}
  platform::DeviceContext DC() override { return FInner.DC(); }
  int Width() const override { return FInner.Width(); }
  int Height() const override { return FInner.Height(); }
  void OnInput(fanhost::HostInputHandler handler) override {
    FOnInput = handler;
    FInner.OnInput(std::move(handler));
  }
  void FramePainted(long frame) override {
    FInner.FramePainted(frame);
    if (FStep(frame) && FOnInput) FOnInput({fanhost::HostInput::Kind::Quit});
  }
  bool Finish() override { return FInner.Finish(); }

 private:
  fanhost::WindowPresenter& FInner;
  std::function<bool(long)> FStep;
  fanhost::HostInputHandler FOnInput;
};

fanhost::StereoAudio Silence(double seconds) {
  fanhost::StereoAudio audio;
  audio.samples.assign(static_cast<std::size_t>(seconds * audio.sampleRate) * 2, 0.0f);
  return audio;
}

// A plug-in that only writes down the sizes and clicks it is handed.
struct RecordingPlugin {
  static inline std::vector<Point> resizes;
  static inline std::vector<Point> clicks;
  static aimp::Bool32 VF_STDCALL Initialize(aimp::IVisualPlugin*) { return 1; }
  static void VF_STDCALL Deinitialize(aimp::IVisualPlugin*) {}
  static void VF_STDCALL Click(aimp::IVisualPlugin*, std::int32_t x, std::int32_t y) {
    clicks.push_back({x, y});
  }
  static void VF_STDCALL Render(aimp::IVisualPlugin*, aimp::DeviceContext, aimp::PAIMPVisualData) {}
  static void VF_STDCALL Resize(aimp::IVisualPlugin*, std::int32_t w, std::int32_t h) {
    resizes.push_back({w, h});
  }
  static std::int32_t VF_STDCALL Release(aimp::IVisualPlugin*) { return 0; }
};

TEST(HostWindow, ResizesAndClicksReachThePluginWithClientSizeAndPosition) {
  auto presenter = fanhost::WindowPresenter::Create(320, 240, "");
  ASSERT_NE(presenter, nullptr);
  aimp::IVisualPluginVtbl slots = vf::test::HostSlotsOf<RecordingPlugin>();
  aimp::IVisualPlugin object{&slots};
  fanhost::PluginRef plugin(&object);

  const auto audio = Silence(30.0);
  fanhost::LivePlayback playback(audio, 0.0, nullptr);
  Rect client;
  ScriptedPresenter scripted(*presenter, [&](long frame) {
    // A border dragged in two steps, then a click somewhere inside the new area.
    if (frame == 5) window_test::ResizeWindow(presenter->Window().NativeHandle(), 400, 260);
    if (frame == 12) window_test::ResizeWindow(presenter->Window().NativeHandle(), 480, 300);
    if (frame == 20) {
      client = presenter->Window().ClientBounds();
      window_test::MovePointer({client.Left + 123, client.Top + 45});
      window_test::PressButton(MouseButton::Left);
      window_test::ReleaseButton(MouseButton::Left);
    }
    return frame == 30;
  });
  fanhost::Drive(*fanhost::DriveFirstGeneration(plugin), audio, playback, scripted, {30, false});
  plugin.Detach();

  EXPECT_EQ(RecordingPlugin::resizes, (std::vector<Point>{{320, 240}, {400, 260}, {480, 300}}));
  EXPECT_EQ(RecordingPlugin::clicks, (std::vector<Point>{{123, 45}}));
  EXPECT_EQ(presenter->Width(), 480);
  EXPECT_EQ(presenter->Height(), 300);
}

TEST(HostWindow, AClickOnTheVisualisationOpensTheOptionsWindowAtThePointer) {
  fanhost::ModuleHost host;
  ASSERT_TRUE(host.Load(fanhost::ModulePathBesideExecutable("VindeluxFan"))) << host.LastError();
  auto presenter = fanhost::WindowPresenter::Create(480, 300, "");
  ASSERT_NE(presenter, nullptr);
  const auto audio = fanhost::SynthesiseDefaultTrack(30.0);
  fanhost::LivePlayback playback(audio, 0.0, nullptr);
  void* hostWindow = presenter->Window().NativeHandle();

  Point pointer;
  std::vector<Rect> before, after;
  Rect optionsBounds;
  Rect client;
  platform::PixelBuffer screen;
  platform::PixelBuffer painted;
  long appeared = -1;
  ScriptedPresenter scripted(*presenter, [&](long frame) {
    if (frame == 10) {
      before = window_test::OtherShownWindows(hostWindow);
      client = presenter->Window().ClientBounds();
      pointer = {client.Left + 240, client.Top + 40};
      window_test::MovePointer(pointer);
      window_test::PressButton(MouseButton::Left);
      window_test::ReleaseButton(MouseButton::Left);
    }
    if (frame < 20) return false;
    // The options window appears within a few frames; the screen is taken a few frames later,
    // when the display has drawn it.
    after = window_test::OtherShownWindows(hostWindow);
    if (after.empty() && frame < 200) return false;
    if (appeared < 0) appeared = frame;
    if (!after.empty() && frame < appeared + 5) return false;
    {
      if (after.size() == 1) optionsBounds = after[0];
      screen = window_test::CaptureScreen(client);
      painted = platform::ReadPixels(presenter->DC(), 0, 0, presenter->Width(), presenter->Height());
    }
    return true;
  });
  {
    fanhost::PluginRef plugin = host.QueryVisual();
    ASSERT_TRUE(plugin);
    fanhost::Drive(*fanhost::DriveFirstGeneration(plugin), audio, playback, scripted, {30, false});
  }
  presenter.reset();
  host.Unload();

  EXPECT_TRUE(before.empty());
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(optionsBounds.Left, pointer.X - optionsBounds.Width() / 2);
  EXPECT_EQ(optionsBounds.Top, pointer.Y + 5);

  ASSERT_FALSE(screen.Empty());
  vf::test::WritePngFile("host_window_screen.png", screen, false);
  // Above the options window the screen shows exactly what the plug-in painted.
  for (int y = 0; y < optionsBounds.Top - client.Top; ++y) {
    for (int x = 0; x < screen.Width(); ++x) {
      const auto s = screen.At(x, y);
      const auto p = painted.At(x, y);
      ASSERT_TRUE(s.r == p.r && s.g == p.g && s.b == p.b) << "first difference at " << x << "," << y;
    }
  }
}

}  // namespace
