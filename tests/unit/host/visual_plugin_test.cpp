// The plug-in object as the host sees it through its slots: reference counting, interface queries,
// identity answers, and what Initialize, render and resize do to the shared animation state.
#include <gtest/gtest.h>

#include "host/animation_state.h"
#include "host/module_export.h"
#include "host/settings_file.h"
#include "host/visual_plugin.h"
#include "platform/message_pump.h"
#include "support/pump.h"
#include "support/scratch_folder.h"

namespace vf {
namespace {

aimp::IVisualPlugin* Query() {
  aimp::IVisualPlugin* plugin = nullptr;
  AIMP_QueryVisual(&plugin);
  return plugin;
}

// Each test's settings live in a folder of its own, so a file left beside the test program (by a
// run of the substitute host from the same folder, say) or in the user's folder changes nothing.
class VisualPlugin : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto folder = vf::test::ScratchFolder("visual_plugin");
    SetSettingsFilePathForTesting((folder / "PlugIns" / "Vindelux Fan.ini").u16string(),
                                  (folder / "user" / "Vindelux Fan.ini").u16string());
  }
  void TearDown() override { SetSettingsFilePathForTesting({}); }
};

std::int32_t RefCount(aimp::IVisualPlugin* plugin) {
  plugin->Vtbl->AddRef(plugin);
  return plugin->Vtbl->Release(plugin);
}

TEST_F(VisualPlugin, ExportHandsOutDistinctObjectsWithOneReference) {
  aimp::IVisualPlugin* a = Query();
  aimp::IVisualPlugin* b = Query();
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(RefCount(a), 1);
  EXPECT_EQ(RefCount(b), 1);
  EXPECT_EQ(a->Vtbl->Release(a), 0);
  EXPECT_EQ(b->Vtbl->Release(b), 0);
}

TEST_F(VisualPlugin, ExportReleasesThePreviousObjectAfterStoringTheNewOne) {
  aimp::IVisualPlugin* variable = Query();
  aimp::IVisualPlugin* first = variable;
  first->Vtbl->AddRef(first);  // keep it alive to watch its count drop
  AIMP_QueryVisual(&variable);
  EXPECT_NE(variable, first);
  EXPECT_EQ(RefCount(first), 1);  // the export released its reference
  EXPECT_EQ(first->Vtbl->Release(first), 0);
  EXPECT_EQ(variable->Vtbl->Release(variable), 0);
}

TEST_F(VisualPlugin, QueryInterfaceAnswersTheTwoIdentifiersOnly) {
  aimp::IVisualPlugin* plugin = Query();
  const aimp::Guid other{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
  const struct {
    const aimp::Guid* iid;
    aimp::HResult result;
    bool found;
  } cases[] = {{&aimp::kIidUnknown, aimp::kOk, true},
               {&aimp::kIidVisualPlugin, aimp::kOk, true},
               {&other, aimp::kNoInterface, false},
               {nullptr, aimp::kPointer, false}};
  for (const auto& c : cases) {
    void* object = reinterpret_cast<void*>(0x1);  // must be nulled first
    EXPECT_EQ(plugin->Vtbl->QueryInterface(plugin, c.iid, &object), c.result);
    if (c.found) {
      EXPECT_EQ(object, plugin);
      EXPECT_EQ(RefCount(plugin), 2);
      plugin->Vtbl->Release(plugin);
    } else {
      EXPECT_EQ(object, nullptr);
      EXPECT_EQ(RefCount(plugin), 1);
    }
  }
  EXPECT_EQ(plugin->Vtbl->QueryInterface(plugin, &aimp::kIidUnknown, nullptr), aimp::kPointer);
  plugin->Vtbl->Release(plugin);
}

TEST_F(VisualPlugin, IdentityAnswersAreStableInEveryState) {
  aimp::IVisualPlugin* plugin = Query();
  const auto& slots = *plugin->Vtbl;
  const char16_t* author = slots.AuthorName(plugin);
  const char16_t* name = slots.PluginName(plugin);
  const char16_t* info = slots.PluginInfo(plugin);
  EXPECT_EQ(std::u16string(name), u"Vindelux Fan");
  EXPECT_EQ(std::u16string(info), u"Version 1.0");
  EXPECT_FALSE(std::u16string(author).empty());

  auto expectSame = [&] {
    EXPECT_EQ(slots.AuthorName(plugin), author);
    EXPECT_EQ(slots.PluginName(plugin), name);
    EXPECT_EQ(slots.PluginInfo(plugin), info);
    EXPECT_EQ(slots.PluginFlags(plugin), 2u);
  };
  expectSame();
  EXPECT_EQ(slots.Initialize(plugin), -1);
  expectSame();
  slots.Deinitialize(plugin);
  expectSame();
  plugin->Vtbl->Release(plugin);
}

TEST_F(VisualPlugin, RenderPushesLevelsAndResizeResetsFramesButNotCounters) {
  aimp::IVisualPlugin* plugin = Query();
  aimp::TAIMPVisualData data{};
  data.LevelL = 11;
  data.LevelR = 22;
  plugin->Vtbl->DisplayRender(plugin, nullptr, &data);
  EXPECT_EQ(Load(AnimationState.LevelHistoryL[99]), 11);
  EXPECT_EQ(Load(AnimationState.LevelHistoryR[99]), 22);
  plugin->Vtbl->DisplayRender(plugin, nullptr, nullptr);  // contained, nothing pushed
  EXPECT_EQ(Load(AnimationState.LevelHistoryL[99]), 11);

  Store(AnimationState.Frame1, 5);
  Store(AnimationState.Frame2, 6);
  Store(AnimationState.TickCounter1, 3);
  plugin->Vtbl->DisplayResize(plugin, 320, 240);
  EXPECT_EQ(Load(AnimationState.Frame1), 0);
  EXPECT_EQ(Load(AnimationState.Frame2), 0);
  EXPECT_EQ(Load(AnimationState.TickCounter1), 3);
  plugin->Vtbl->Release(plugin);
}

TEST_F(VisualPlugin, InitializeCopiesTheParametersAndTheFrameCountIntoTheSharedState) {
  Store(AnimationState.Speed, -7);
  Store(AnimationState.Fan, -7);
  Store(AnimationState.Background, -7);
  Store(AnimationState.FramesCount, -7);
  aimp::IVisualPlugin* plugin = Query();
  plugin->Vtbl->Initialize(plugin);
  // What a missing settings file yields: speed 10, the first fan skin (31 frames), background 0.
  EXPECT_EQ(Load(AnimationState.Speed), 10);
  EXPECT_EQ(Load(AnimationState.Fan), 0);
  EXPECT_EQ(Load(AnimationState.Background), 0);
  EXPECT_EQ(Load(AnimationState.FramesCount), 31);
  plugin->Vtbl->Deinitialize(plugin);
  plugin->Vtbl->Release(plugin);
}

TEST_F(VisualPlugin, ClockRunsFromInitializeToDeinitializeOnly) {
  auto* plugin = new TAIMP2Visual();
  plugin->AddRef();
  EXPECT_EQ(plugin->TimerID(), 0u);
  plugin->Initialize();
  const auto timer = plugin->TimerID();
  EXPECT_NE(timer, 0u);
  EXPECT_EQ(vf::test::PumpUntilTicks(2, std::chrono::seconds(10)).ticks, 2u) << "the clock does not tick";
  plugin->Initialize();  // a second Initialize keeps the one clock
  EXPECT_EQ(plugin->TimerID(), timer);
  plugin->Vtbl->Deinitialize(plugin);
  EXPECT_EQ(plugin->TimerID(), 0u);
  plugin->Initialize();
  EXPECT_NE(plugin->TimerID(), 0u);
  // Released while still initialised: the clock goes with the object, so no tick can reach it.
  plugin->Release();
  EXPECT_EQ(vf::test::PumpFor(std::chrono::milliseconds(100)), 0u);
}

}  // namespace
}  // namespace vf
