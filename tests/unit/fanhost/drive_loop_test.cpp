// The player's loop when the window system holds it up: frames asked for from inside the message
// pump (as the Windows host window does while its border is dragged) are rendered there, in
// order with the loop's own, and never past the end of the track.
#include "fanhost/drive_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/surface.h"
#include "platform/timer.h"
#include "support/fake_plugin.h"

namespace {

struct CountingPlugin {
  static inline long renders = 0;
  static aimp::Bool32 VF_STDCALL Initialize(aimp::IVisualPlugin*) { return 1; }
  static void VF_STDCALL Deinitialize(aimp::IVisualPlugin*) {}
  static void VF_STDCALL Click(aimp::IVisualPlugin*, std::int32_t, std::int32_t) {}
  static void VF_STDCALL Render(aimp::IVisualPlugin*, aimp::DeviceContext, aimp::PAIMPVisualData) {
    ++renders;
  }
  static void VF_STDCALL Resize(aimp::IVisualPlugin*, std::int32_t, std::int32_t) {}
  static std::int32_t VF_STDCALL Release(aimp::IVisualPlugin*) { return 0; }
};

// Records every painted frame and whether it was painted while the held-up loop ran. At the
// frame given, a timer starts whose one tick plays the window system's loop: from inside the
// pump it asks for frames a number of times.
class HeldUpPresenter final : public fanhost::Presenter {
 public:
  HeldUpPresenter(long holdAt, int asks) : FHoldAt(holdAt), FAsks(asks) {
    FArea.SetSize(16, 16);
    gSelf = this;
  }
  ~HeldUpPresenter() override { gSelf = nullptr; }

  platform::DeviceContext DC() override { return FArea.DC(); }
  int Width() const override { return FArea.Width(); }
  int Height() const override { return FArea.Height(); }
  void OnInput(fanhost::HostInputHandler handler) override { FOnInput = std::move(handler); }
  void FramePainted(long frame) override {
    painted.push_back(frame);
    if (FInside) ++paintedInside;
    if (frame == FHoldAt) platform::SetTimer(5, &HeldUpPresenter::Tick);
  }
  bool Finish() override { return true; }

  std::vector<long> painted;
  int paintedInside = 0;
  long heldAfter = -1;  // the last frame painted before the held-up loop began

 private:
  static void VF_STDCALL Tick(platform::WindowHandle, std::uint32_t, platform::TimerId id,
                              std::uint32_t) {
    platform::KillTimer(id);
    HeldUpPresenter& self = *gSelf;
    self.heldAfter = self.painted.back();
    self.FInside = true;
    for (int i = 0; i < self.FAsks; ++i) {
      if (self.FOnInput) self.FOnInput({fanhost::HostInput::Kind::Frame});
    }
    self.FInside = false;
  }

  static inline HeldUpPresenter* gSelf = nullptr;
  platform::Surface FArea;
  long FHoldAt;
  int FAsks;
  bool FInside = false;
  fanhost::HostInputHandler FOnInput;
};

TEST(DriveLoop, FramesAskedForFromInsideThePumpAreRenderedInOrderUpToTheEnd) {
  aimp::IVisualPluginVtbl slots = vf::test::HostSlotsOf<CountingPlugin>();
  aimp::IVisualPlugin object{&slots};
  fanhost::PluginRef plugin(&object);

  fanhost::StereoAudio audio;
  audio.samples.assign(audio.sampleRate / 10 * 2 * 3, 0.0f);  // 0.3 s: 30 frames at 100 a second
  struct Case {
    long holdAt;
    int asks;
  };
  // Three frames asked for early are three frames; twenty asked for near the end stop at the end.
  for (const Case c : {Case{5, 3}, Case{20, 20}}) {
    SCOPED_TRACE(testing::Message() << "held up after frame " << c.holdAt);
    CountingPlugin::renders = 0;
    fanhost::PacedPlayback playback(audio, 0.0, 100);
    HeldUpPresenter presenter(c.holdAt, c.asks);
    const auto summary = fanhost::Drive(*fanhost::DriveFirstGeneration(plugin), audio, playback, presenter, {100, false});
    ASSERT_GE(presenter.heldAfter, c.holdAt) << "the held-up loop never ran";
    EXPECT_EQ(presenter.paintedInside, std::min<long>(c.asks, 29 - presenter.heldAfter));
    EXPECT_EQ(summary.frames, 30);
    EXPECT_EQ(CountingPlugin::renders, 30);
    std::vector<long> inOrder;
    for (long f = 0; f < 30; ++f) inOrder.push_back(f);
    EXPECT_EQ(presenter.painted, inOrder);
  }
  plugin.Detach();
}

}  // namespace
