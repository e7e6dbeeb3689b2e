// The built module, loaded from its file like a player loads it: the export, the slots, the clock
// that ticks only from the initialising thread's pump, and a clean unload.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "module_host.h"
#include "platform/message_pump.h"

namespace {

using namespace std::chrono_literals;

std::uint32_t PumpFor(std::chrono::milliseconds duration) {
  std::uint32_t ticks = 0;
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    ticks += platform::PumpMessages().timerMessages;
    platform::WaitForMessages(5);
  }
  return ticks;
}

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

  const std::uint32_t ticks = PumpFor(600ms);
  EXPECT_GE(ticks, 8u);
  EXPECT_LE(ticks, 22u);

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

TEST(ModuleLoading, LoadsUsesAndUnloadsRepeatedly) {
  for (int i = 0; i < 10; ++i) {
    fanhost::ModuleHost host;
    ASSERT_TRUE(host.Load(fanhost::ModulePathBesideExecutable("VindeluxFan"))) << host.LastError();
    fanhost::PluginRef plugin = host.QueryVisual();
    auto* self = plugin.Get();
    (*plugin).Initialize(self);
    (*plugin).DisplayResize(self, 320, 240);
    aimp::TAIMPVisualData data{};
    data.LevelL = 200;
    (*plugin).DisplayRender(self, nullptr, &data);
    PumpFor(40ms);
    (*plugin).Deinitialize(self);
    plugin.Reset();
  }
}

}  // namespace
