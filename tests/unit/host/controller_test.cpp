// The controller's wiring of the options window: a click opens it at the cursor with a random skin,
// live changes re-skin the scene and keep the clock's frames inside the skin, "Ok" applies, a
// closed window goes after its own close handling, and nothing outlives Deinitialize.
#include <gtest/gtest.h>

#include "host/animation_state.h"
#include "host/module_export.h"
#include "host/visual_plugin.h"
#include "platform/window.h"

namespace vf {
namespace {

struct Controller : ::testing::Test {
  aimp::IVisualPlugin* view = nullptr;
  TAIMP2Visual* plugin = nullptr;

  void SetUp() override {
    AIMP_QueryVisual(&view);
    plugin = TAIMP2Visual::FromInterface(view);
  }
  void TearDown() override { view->Vtbl->Release(view); }
  void Click() { view->Vtbl->DisplayClick(view, 7, 9); }
};

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
  window->sBitBtn1Click(&window->sBitBtn1);
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
}

}  // namespace
}  // namespace vf
