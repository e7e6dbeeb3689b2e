// The built module, loaded from its file like a player loads it: the export, the slots, the clock
// that ticks only from the initialising thread's pump, and a clean unload.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "fanhost/module_host.h"
#include "platform/message_pump.h"
#include "platform/module_services.h"
#include "platform/surface.h"
#include "support/image_compare.h"
#include "support/pump.h"

namespace {

using namespace std::chrono_literals;

using vf::test::PumpFor;

struct LoadedModule : ::testing::Test {
  fanhost::ModuleHost host;
  void SetUp() override {
    ASSERT_TRUE(host.Load(fanhost::ModulePathBesideExecutable("VindeluxFan"))) << host.LastError();
  }
};

TEST_F(LoadedModule, HandsOutPluginsWithTheirIdentity) {
  fanhost::PluginRef plugin = host.QueryVisual();
  ASSERT_TRUE(plugin);
  auto* self = plugin.Get();
  EXPECT_EQ(fanhost::Narrow((*plugin).PluginName(self)), "Vindelux Fan");
  EXPECT_EQ(fanhost::Narrow((*plugin).PluginInfo(self)), "Version 1.0");
  EXPECT_EQ((*plugin).PluginFlags(self), 2u);
  const char16_t* name = (*plugin).PluginName(self);
  EXPECT_EQ((*plugin).Initialize(self), -1);
  EXPECT_EQ((*plugin).PluginName(self), name);
  (*plugin).Deinitialize(self);
  EXPECT_EQ((*plugin).PluginName(self), name);

  fanhost::PluginRef second = host.QueryVisual();
  EXPECT_NE(second.Get(), plugin.Get());
}

TEST_F(LoadedModule, UnknownInterfaceLeavesTheVariableNull) {
  fanhost::PluginRef plugin = host.QueryVisual();
  const aimp::Guid other{0xDEADBEEF, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
  void* object = plugin.Get();
  EXPECT_EQ((*plugin).QueryInterface(plugin.Get(), &other, &object), aimp::kNoInterface);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ((*plugin).QueryInterface(plugin.Get(), &aimp::kIidUnknown, &object), aimp::kOk);
  EXPECT_EQ(object, plugin.Get());
  EXPECT_EQ((*plugin).Release(plugin.Get()), 1);
}

TEST_F(LoadedModule, ReusedVariableReleasesTheEarlierObject) {
  aimp::IVisualPlugin* variable = nullptr;
  host.QueryVisualInto(&variable);
  aimp::IVisualPlugin* first = variable;
  first->Vtbl->AddRef(first);
  host.QueryVisualInto(&variable);
  EXPECT_NE(variable, first);
  EXPECT_EQ(first->Vtbl->Release(first), 0);
  EXPECT_EQ(variable->Vtbl->Release(variable), 0);
}

TEST_F(LoadedModule, ClockTicksOnlyWhileTheInitialisingThreadPumps) {
  fanhost::PluginRef plugin = host.QueryVisual();
  auto* self = plugin.Get();
  (*plugin).Initialize(self);

  std::this_thread::sleep_for(150ms);
  EXPECT_LE(platform::PumpMessages().timerMessages, 1u);

  std::uint32_t otherThreadTicks = 0;
  std::thread other([&] { otherThreadTicks = PumpFor(100ms); });
  other.join();
  EXPECT_EQ(otherThreadTicks, 0u);

  // The 30 ms clock: the first tick may be due at once and the second early, since ticks keep
  // their schedule, so eleven ticks take nine periods or more.
  const auto run = vf::test::PumpUntilTicks(11, 10s);
  ASSERT_EQ(run.ticks, 11u) << "the clock stopped ticking";
  EXPECT_GE(run.took, 9 * 30ms) << "ticks came faster than the clock's interval";

  (*plugin).Deinitialize(self);
  EXPECT_EQ(PumpFor(100ms), 0u);
}

TEST_F(LoadedModule, ReleasingAnInitialisedPluginStopsItsClockBeforeUnload) {
  {
    fanhost::PluginRef plugin = host.QueryVisual();
    (*plugin).Initialize(plugin.Get());
    PumpFor(50ms);
  }
  host.Unload();
  // A clock left behind would now call into unloaded code.
  EXPECT_EQ(PumpFor(100ms), 0u);
}

platform::PixelBuffer Render(fanhost::PluginRef& plugin, platform::Surface& area, std::int32_t level) {
  aimp::TAIMPVisualData data{};
  data.LevelL = level;
  data.LevelR = level;
  (*plugin).DisplayRender(plugin.Get(), area.DC(), &data);
  return platform::ReadPixels(area.DC(), 0, 0, area.Width(), area.Height());
}

TEST_F(LoadedModule, PluginObjectsShareOneAnimationState) {
  // Only the second object is initialised and paints; the first one only pushes levels, and
  // its levels alone make the second object's fans turn.
  fanhost::PluginRef feeder = host.QueryVisual();
  fanhost::PluginRef painter = host.QueryVisual();
  (*painter).Initialize(painter.Get());
  platform::Surface area;
  area.SetSize(320, 240);
  (*painter).DisplayResize(painter.Get(), 320, 240);
  // Silence keeps the fans where they are, however long the clock runs.
  for (int i = 0; i < 100; ++i) Render(painter, area, 0);
  const auto still = Render(painter, area, 0);
  PumpFor(100ms);
  EXPECT_EQ(vf::test::CountDifferentPixels(Render(painter, area, 0), still), 0);
  // And the area shows the scene, not the white of a new surface.
  int white = 0;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) white += still.At(x, y).r == 255 && still.At(x, y).g == 255 && still.At(x, y).b == 255;
  EXPECT_LT(white, 320 * 240 / 10);

  // Level 51 at speed 10 turns a fan by about two frames a tick, sixteen ticks a revolution, so
  // any few ticks leave it away from frame 0.
  aimp::TAIMPVisualData loud{};
  loud.LevelL = 51;
  loud.LevelR = 51;
  for (int i = 0; i < 100; ++i) (*feeder).DisplayRender(feeder.Get(), nullptr, &loud);
  ASSERT_EQ(vf::test::PumpUntilTicks(2, 10s).ticks, 2u) << "the clock stopped ticking";
  (*painter).DisplayRender(painter.Get(), area.DC(), &loud);
  EXPECT_GT(vf::test::CountDifferentPixels(platform::ReadPixels(area.DC(), 0, 0, 320, 240), still), 1000)
      << "the fans did not turn";
  (*painter).Deinitialize(painter.Get());
}

// Loading, using (a scene with images) and unloading the module again and again leaves nothing
// behind: the imaging library starts and stops outside the loader's notifications, and every
// handle and image goes with the plug-in objects.
TEST(ModuleLoading, LoadsUsesAndUnloadsFiftyTimesWithoutGrowth) {
  platform::ResourceUsage baseline;
  for (int cycle = 0; cycle < 50; ++cycle) {
    if (cycle == 10) baseline = platform::CurrentResourceUsage();
    fanhost::ModuleHost host;
    ASSERT_TRUE(host.Load(fanhost::ModulePathBesideExecutable("VindeluxFan"))) << host.LastError();
    fanhost::PluginRef plugin = host.QueryVisual();
    auto* self = plugin.Get();
    (*plugin).Initialize(self);
    platform::Surface area;
    area.SetSize(320, 240);
    (*plugin).DisplayResize(self, 320, 240);
    aimp::TAIMPVisualData data{};
    data.LevelL = 200;
    (*plugin).DisplayRender(self, area.DC(), &data);
    PumpFor(5ms);
    (*plugin).Deinitialize(self);
    plugin.Reset();
  }
  const auto after = platform::CurrentResourceUsage();
  // A little slack for allocator caches; one leaked scene alone is several megabytes a cycle.
  EXPECT_LE(after.handles, baseline.handles + 4);
  EXPECT_LE(after.drawingObjects, baseline.drawingObjects + 4);
#if !defined(__SANITIZE_ADDRESS__)
  // AddressSanitizer holds freed memory back on purpose; that lane's leak checker covers memory.
  EXPECT_LE(after.memoryBytes, baseline.memoryBytes + 16u * 1024 * 1024);
#endif
}

}  // namespace
