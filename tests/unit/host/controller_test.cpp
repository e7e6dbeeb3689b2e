// The controller's wiring of the options window: a click opens it at the cursor with a random skin,
// live changes re-skin the scene and keep the clock's frames inside the skin, "Ok" applies, a
// closed window goes after its own close handling, and nothing outlives Deinitialize.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "host/animation_state.h"
#include "host/failure_report.h"
#include "host/module_export.h"
#include "host/visual_plugin.h"
#include "host/settings_file.h"
#include "platform/window.h"
#include "support/pump.h"
#include "support/scratch_folder.h"

namespace vf {
namespace {

// Each test keeps its settings in a folder of its own, as a host in its own folder would.
struct Controller : ::testing::Test {
  aimp::IVisualPlugin* view = nullptr;
  TAIMP2Visual* plugin = nullptr;
  std::filesystem::path settings;

  void SetUp() override {
    const auto folder =
        test::ScratchFolder(std::string("controller_") +
                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder / "PlugIns");
    settings = folder / "PlugIns" / "Vindelux Fan.ini";
    SetSettingsFilePathForTesting(settings.u16string());
    AIMP_QueryVisual(&view);
    plugin = TAIMP2Visual::FromInterface(view);
  }
  void TearDown() override {
    view->Vtbl->Release(view);
    SetSettingsFilePathForTesting({});
  }
  void Click() { view->Vtbl->DisplayClick(view, 7, 9); }
  TParametrs Stored() const { return ReadSettings(settings.u16string()); }
};

// The middle of the "Ok" button, in the window's client coordinates.
constexpr platform::Point kOkButton{178, 64};

platform::WindowEvent Press(platform::WindowEvent::Kind kind, platform::Point at) {
  platform::WindowEvent event;
  event.Type = kind;
  event.Button = platform::MouseButton::Left;
  event.Position = at;
  return event;
}

TEST_F(Controller, ClickBeforeInitializeOpensNothing) {
  Click();
  EXPECT_EQ(plugin->OptionsWnd(), nullptr);
}

TEST_F(Controller, ClickOpensTheWindowByTheCursorShowingTheParameters) {
  view->Vtbl->Initialize(view);
  Click();
  TFormOptions* window = plugin->OptionsWnd();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->Visible());
  EXPECT_EQ(window->GetParametrs(), plugin->FanParametrs());
  EXPECT_NE(window->sSkinManager1.SkinName(), u"");
  const platform::Point cursor = platform::CursorPos();
  EXPECT_EQ(window->Left(), cursor.X - 224 / 2);
  EXPECT_EQ(window->Top(), cursor.Y + 5);

  // A second click keeps the window and what the user set in it.
  window->sTrackBar1.SetPosition(25);
  Click();
  EXPECT_EQ(plugin->OptionsWnd(), window);
  EXPECT_EQ(window->GetParametrs().Speed, 25);
  view->Vtbl->Deinitialize(view);
}

TEST_F(Controller, LiveChangesReachTheSceneAndTheClockAtOnce) {
  view->Vtbl->Initialize(view);
  view->Vtbl->DisplayResize(view, 320, 240);
  Click();
  TFormOptions* window = plugin->OptionsWnd();
  ASSERT_NE(window, nullptr);
  // The fan skin 2 has 30 frames: an index past them must never reach the scene.
  Store(AnimationState.Frame1, 30);
  Store(AnimationState.Frame2, 29);
  window->sRadioButton3.SetChecked(true);
  window->sTrackBar2.SetPosition(4);
  window->sTrackBar1.SetPosition(22);
  EXPECT_EQ(plugin->Fans()->SkinFanIndex(), 2);
  EXPECT_EQ(plugin->Fans()->SkinBackgroundIndex(), 4);
  EXPECT_EQ(Load(AnimationState.FramesCount), 30);
  EXPECT_EQ(Load(AnimationState.Frame1), 0);
  EXPECT_EQ(Load(AnimationState.Frame2), 29);
  EXPECT_EQ(Load(AnimationState.Speed), 22);
  EXPECT_EQ(Load(AnimationState.Fan), 2);
  EXPECT_EQ(Load(AnimationState.Background), 4);
  EXPECT_EQ(plugin->FanParametrs(), (TParametrs{22, 2, 4}));
  view->Vtbl->Deinitialize(view);
}

TEST_F(Controller, OkAppliesAndTheClosedWindowGoesAfterItsCloseHandling) {
  view->Vtbl->Initialize(view);
  Click();
  TFormOptions* window = plugin->OptionsWnd();
  ASSERT_NE(window, nullptr);
  window->sTrackBar1.SetPosition(17);
  // Pressed and released as a hand does: the button's own handling goes on after its click has
  // closed the window, so a window destroyed inside it would be used after it is freed.
  window->HandleEvent(Press(platform::WindowEvent::Kind::MouseDown, kOkButton));
  window->HandleEvent(Press(platform::WindowEvent::Kind::MouseUp, kOkButton));
  EXPECT_EQ(plugin->OptionsWnd(), nullptr);
  EXPECT_EQ(plugin->FanParametrs().Speed, 17);
  EXPECT_EQ(Load(AnimationState.Speed), 17);
  // The next click opens a new window showing the parameters as they stand.
  Click();
  ASSERT_NE(plugin->OptionsWnd(), nullptr);
  EXPECT_EQ(plugin->OptionsWnd()->GetParametrs().Speed, 17);
  view->Vtbl->Deinitialize(view);
}

TEST_F(Controller, DeinitializeClosesAnOpenWindowWithoutRaisingItsEvents) {
  view->Vtbl->Initialize(view);
  Click();
  ASSERT_NE(plugin->OptionsWnd(), nullptr);
  view->Vtbl->Deinitialize(view);
  EXPECT_EQ(plugin->OptionsWnd(), nullptr);
  EXPECT_EQ(plugin->Fans(), nullptr);
  EXPECT_EQ(plugin->TimerID(), 0u);
}

TEST_F(Controller, ReleasedWithTheWindowOpenLeavesNothingBehind) {
  aimp::IVisualPlugin* other = nullptr;
  AIMP_QueryVisual(&other);
  other->Vtbl->Initialize(other);
  other->Vtbl->DisplayClick(other, 0, 0);
  ASSERT_NE(TAIMP2Visual::FromInterface(other)->OptionsWnd(), nullptr);
  EXPECT_EQ(other->Vtbl->Release(other), 0);  // under ASan, a leak or a late event would show
  EXPECT_EQ(test::PumpFor(std::chrono::milliseconds(100)), 0u) << "the clock outlived the object";
}

TEST_F(Controller, OkWritesAtOnceAnotherCloseWritesNothingUntilDeinitialize) {
  test::WriteBytes(settings, "[Options]\r\nFan=1\r\nBackground=3\r\nSpeed=12\r\n");
  view->Vtbl->Initialize(view);
  EXPECT_EQ(plugin->FanParametrs(), (TParametrs{12, 1, 3}));

  Click();
  plugin->OptionsWnd()->sTrackBar1.SetPosition(20);
  plugin->OptionsWnd()->Close();
  EXPECT_EQ(Stored(), (TParametrs{12, 1, 3})) << "a close without Ok writes nothing";
  Click();
  plugin->OptionsWnd()->sTrackBar2.SetPosition(6);
  plugin->OptionsWnd()->sBitBtn1Click(&plugin->OptionsWnd()->sBitBtn1);
  EXPECT_EQ(Stored(), (TParametrs{20, 1, 6})) << "Ok writes at once";

  Click();
  plugin->OptionsWnd()->sRadioButton1.SetChecked(true);
  plugin->OptionsWnd()->Close();
  view->Vtbl->Deinitialize(view);
  EXPECT_EQ(Stored(), (TParametrs{20, 0, 6})) << "Deinitialize writes what is in effect";
}

TEST_F(Controller, AStoredFanWithoutFramesRunsWithoutASceneUntilTheWindowPicksOne) {
  test::WriteBytes(settings, "[Options]\nFan=7\nBackground=2\nSpeed=15\n");
  EXPECT_EQ(view->Vtbl->Initialize(view), aimp::kTrue);
  EXPECT_EQ(plugin->Fans(), nullptr);
  EXPECT_NE(plugin->TimerID(), 0u);
  view->Vtbl->DisplayResize(view, 320, 240);
  aimp::TAIMPVisualData data{};
  view->Vtbl->DisplayRender(view, nullptr, &data);

  Click();
  ASSERT_NE(plugin->OptionsWnd(), nullptr);
  plugin->OptionsWnd()->sRadioButton2.SetChecked(true);
  ASSERT_NE(plugin->Fans(), nullptr);
  EXPECT_EQ(plugin->Fans()->SkinFanIndex(), 1);
  EXPECT_EQ(plugin->Fans()->SkinBackgroundIndex(), 2);
  EXPECT_EQ(plugin->Fans()->Width(), 320);
  EXPECT_EQ(Load(AnimationState.FramesCount), 31);
  view->Vtbl->Deinitialize(view);
}

TEST_F(Controller, DeinitializeTearsDownEvenWhenTheFileRefusesTheSave) {
  std::vector<std::u16string> reports;
  SetFailureReportSink([&](std::u16string_view line) { reports.emplace_back(line); });
  // A folder that does not exist refuses every write.
  const auto refused = settings.parent_path() / "missing" / "Vindelux Fan.ini";
  SetSettingsFilePathForTesting(refused.u16string());
  view->Vtbl->Initialize(view);
  Click();
  view->Vtbl->Deinitialize(view);
  EXPECT_EQ(plugin->OptionsWnd(), nullptr);
  EXPECT_EQ(plugin->Fans(), nullptr);
  EXPECT_EQ(plugin->TimerID(), 0u);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find(u"Deinitialize: Unable to write to "), std::u16string::npos);
  EXPECT_FALSE(std::filesystem::exists(refused));
  SetFailureReportSink({});
}

TEST_F(Controller, CallsOutOfOrderWriteNoSettingsNobodyChose) {
  view->Vtbl->Deinitialize(view);
  view->Vtbl->DisplayResize(view, 100, 100);
  aimp::TAIMPVisualData data{};
  view->Vtbl->DisplayRender(view, nullptr, &data);
  Click();
  EXPECT_FALSE(std::filesystem::exists(settings));
  view->Vtbl->Initialize(view);
  view->Vtbl->Deinitialize(view);
  view->Vtbl->Deinitialize(view);
  EXPECT_EQ(Stored(), kDefaultParametrs);
}

}  // namespace
}  // namespace vf
