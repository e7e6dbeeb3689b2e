// A host that renders and resizes from a thread of its own while the initialising thread pumps, as
// current players draw: the options window opens, is closed by its "Ok" and opens again in
// between, and the render thread's last Release leaves no window and no clock of the module
// behind, so the module can be unloaded at once. Every window operation stays on the thread that
// made the window, which the window system enforces on both back ends.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "fanhost/module_host.h"
#include "platform/message_pump.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "screen_input.h"
#include "support/pump.h"

namespace {

using namespace std::chrono_literals;
using platform::MouseButton;
using platform::Point;
using platform::Rect;

bool PumpUntil(const std::function<bool()>& done) { return vf::test::PumpUntil(done, 15000ms); }

bool OptionsShownAt(Rect& bounds) {
  const auto shown = window_test::OtherShownWindows(nullptr);
  if (shown.size() != 1) return false;
  bounds = shown[0];
  return true;
}

TEST(SecondThreadHost, RendersFromItsOwnThreadAndItsLastReleaseLeavesNothingBehind) {
  fanhost::ModuleHost host;
  ASSERT_TRUE(host.Load(fanhost::ModulePathBesideExecutable("VindeluxFan"))) << host.LastError();
  fanhost::PluginRef plugin = host.QueryVisual();
  aimp::IVisualPlugin* view = plugin.Get();
  (*plugin).Initialize(view);
  ASSERT_TRUE(window_test::OtherShownWindows(nullptr).empty());

  std::atomic<bool> stop{false};
  std::atomic<bool> released{false};
  std::atomic<int> frames{0};
  std::thread render([&, reference = std::move(plugin)]() mutable {
    platform::Surface area;
    for (int frame = 0; !stop; ++frame) {
      const int width = 200 + frame % 3 * 20;  // a border being dragged
      area.SetSize(width, 150);
      (*reference).DisplayResize(view, width, 150);
      aimp::TAIMPVisualData data{};
      data.LevelL = data.LevelR = 60;
      (*reference).DisplayRender(view, area.DC(), &data);
      ++frames;
    }
    reference.Reset();  // the host's last reference, from this thread
    released = true;
  });
  auto framesPass = [&](int count) {
    const int until = frames + count;
    return PumpUntil([&] { return frames >= until; });
  };

  // A click opens the window at the pointer; its "Ok", pressed by hand, closes it.
  const Point pointer{400, 200};
  window_test::MovePointer(pointer);
  EXPECT_TRUE(framesPass(5));
  (*view->Vtbl).DisplayClick(view, 10, 10);
  Rect options;
  ASSERT_TRUE(PumpUntil([&] { return OptionsShownAt(options); })) << "the options window did not show";
  EXPECT_EQ(options.Top, pointer.Y + 5);
  EXPECT_TRUE(framesPass(5));
  window_test::MovePointer({options.Left + 178, options.Top + 64});
  EXPECT_TRUE(PumpUntil([&] { return platform::CursorPos() == Point{options.Left + 178, options.Top + 64}; }));
  window_test::PressButton(MouseButton::Left);
  window_test::ReleaseButton(MouseButton::Left);
  EXPECT_TRUE(PumpUntil([&] { return window_test::OtherShownWindows(nullptr).empty(); }))
      << "Ok did not close the options window";
  // Frames drawn meanwhile on the other thread must leave the closed window to its own thread.
  EXPECT_TRUE(framesPass(20));

  // Open again, and the host lets go of the plug-in from its render thread with the window open
  // and the clock running.
  (*view->Vtbl).DisplayClick(view, 10, 10);
  ASSERT_TRUE(PumpUntil([&] { return OptionsShownAt(options); })) << "the options window did not show again";
  EXPECT_TRUE(framesPass(5));
  stop = true;
  EXPECT_TRUE(PumpUntil([&] { return released.load(); })) << "the last Release did not return";
  render.join();

  EXPECT_TRUE(window_test::OtherShownWindows(nullptr).empty()) << "a window outlived the plug-in";
  EXPECT_EQ(vf::test::PumpFor(150ms), 0u) << "the clock outlived the plug-in";
  host.Unload();
  // Nothing of the unloaded module may run now.
  EXPECT_EQ(vf::test::PumpFor(150ms), 0u);
}

}  // namespace
