// The controls behave like the platform's own, driven by scripted input: each row is one input
// event and what must hold after it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_window.h"
#include "options/skin/internal_skins.h"

namespace vf::test {
namespace {

using platform::Key;
using platform::WindowEvent;
using skin::TsTrackBar;

// A slider alone in a host, 10 to 30 like the speed slider, at (8, 80) and 209 wide.
struct SliderFixture {
  skin::TsControlHost host{nullptr};
  TsTrackBar bar{host, {8, 80, 217, 103}, 10, 30, 10};
  std::vector<int> changes;  // the position at each OnChange
  SliderFixture() {
    bar.OnChange = [this](TObject* sender) {
      EXPECT_EQ(sender, &bar);
      changes.push_back(bar.Position());
    };
    host.FocusControl(&bar);
  }
  int ThumbX() const { return bar.ValueX(bar.Position()); }
};

struct SliderStep {
  const char* What;
  WindowEvent Event;
  int Position;
  std::vector<int> Changes;  // OnChange raised by this step, with the position each saw
};

void RunSteps(SliderFixture& f, const std::vector<SliderStep>& steps) {
  for (const SliderStep& step : steps) {
    SCOPED_TRACE(step.What);
    f.changes.clear();
    f.host.Dispatch(step.Event);
    EXPECT_EQ(f.bar.Position(), step.Position);
    EXPECT_EQ(f.changes, step.Changes);
  }
}

TEST(TrackBar, KeysStepAndEachPressEndsWithARepeatedNotification) {
  SliderFixture f;
  RunSteps(f, {
                  {"right arrow", KeyDown(Key::Right), 11, {11, 11}},
                  {"down arrow", KeyDown(Key::Down), 12, {12, 12}},
                  {"left arrow", KeyDown(Key::Left), 11, {11, 11}},
                  {"page down", KeyDown(Key::PageDown), 13, {13, 13}},
                  {"page up", KeyDown(Key::PageUp), 11, {11, 11}},
                  {"end", KeyDown(Key::End), 30, {30, 30}},
                  {"right at the end: only the end of tracking", KeyDown(Key::Right), 30, {30}},
                  {"page down at the end", KeyDown(Key::PageDown), 30, {30}},
                  {"home", KeyDown(Key::Home), 10, {10, 10}},
                  {"up at the start", KeyDown(Key::Up), 10, {10}},
                  {"a key the slider ignores", KeyDown(Key::Escape), 10, {}},
              });
}

TEST(TrackBar, ThumbDragNotifiesEachChangeAndTwiceAtTheRelease) {
  SliderFixture f;
  const int y = f.bar.ThumbRect().Top + 5;
  const int x = f.ThumbX();
  const int perValue = f.bar.ValueX(11) - f.bar.ValueX(10);
  RunSteps(f, {
                  {"press on the thumb", MouseDown(x + 3, y), 10, {}},
                  {"move less than half a value", MouseMove(x + 3 + perValue / 3, y), 10, {}},
                  {"move by two values", MouseMove(x + 3 + 2 * perValue, y + 30), 12, {12}},
                  {"move back one", MouseMove(x + 3 + perValue, y), 11, {11}},
                  {"far past the end clamps", MouseMove(x + 1000, y), 30, {30}},
                  {"further still changes nothing", MouseMove(x + 2000, y), 30, {}},
                  {"release: final position and end of tracking", MouseUp(x + 2000, y), 30, {30, 30}},
                  {"moving after the release does nothing", MouseMove(x, y), 30, {}},
              });
}

TEST(TrackBar, ChannelPressPagesTowardThePress) {
  SliderFixture f;
  f.bar.SetPosition(20);
  const int y = f.bar.ThumbRect().Top + 5;
  RunSteps(f, {
                  {"press right of the thumb", MouseDown(f.bar.ValueX(28), y), 22, {22}},
                  {"release ends the tracking", MouseUp(f.bar.ValueX(28), y), 22, {22}},
                  {"press left of the thumb", MouseDown(f.bar.ValueX(12), y), 20, {20}},
                  {"release", MouseUp(f.bar.ValueX(12), y), 20, {20}},
                  {"a right-button press does nothing", MouseDown(f.bar.ValueX(12), y, platform::MouseButton::Right), 20, {}},
              });
}

TEST(TrackBar, SetPositionClampsAndRaisesOnlyOnAChange) {
  SliderFixture f;
  const struct {
    int Given, Position;
    std::vector<int> Changes;
  } steps[] = {{5, 10, {}}, {10, 10, {}}, {17, 17, {17}}, {17, 17, {}}, {99, 30, {30}}, {31, 30, {}}, {-4, 10, {10}}};
  for (const auto& step : steps) {
    f.changes.clear();
    f.bar.SetPosition(step.Given);
    EXPECT_EQ(f.bar.Position(), step.Position) << step.Given;
    EXPECT_EQ(f.changes, step.Changes) << step.Given;
  }
}

TEST(TrackBar, ThumbIs23PixelsAndThereIsATickPerValue) {
  SliderFixture f;
  EXPECT_EQ(f.bar.ThumbRect().Width(), 23);
  platform::PixelBuffer picture(224, 130);
  skin::TPainter painter(picture);
  f.bar.Paint(painter, skin::PlainLook(), false);
  // Count the tick marks on the row just below the thumb's ticks start.
  const int row = f.bar.ThumbRect().Bottom + 4;
  int ticks = 0;
  for (int x = 0; x < 224; ++x) ticks += picture.At(x, row).r != 0 && (x == 0 || picture.At(x - 1, row).r == 0);
  EXPECT_EQ(ticks, 21);
  EXPECT_EQ(f.bar.ValueX(10) - f.bar.ThumbRect().Left, 11);
}

struct Window {
  FakeWindow* window = nullptr;
  TFormOptions form{FakeServices(window)};
  std::vector<std::u16string> events;  // which handler reported, in order
  Window() {
    form.SetOnChangeParametrs([this](TObject*) { events.push_back(u"change"); });
    form.HandleEvent(Simple(WindowEvent::Kind::FocusIn));
  }
  std::string Focused() const {
    const skin::TsControl* c = form.ActiveControl();
    if (c == &form.sTrackBar1) return "speed";
    if (c == &form.sTrackBar2) return "background";
    if (c == &form.sRadioButton1) return "fan0";
    if (c == &form.sRadioButton2) return "fan1";
    if (c == &form.sRadioButton3) return "fan2";
    if (c == &form.sBitBtn1) return "ok";
    return c == nullptr ? "none" : "other";
  }
};

TEST(RadioGroup, TabOrderHasOnlyTheSelectedRadioButton) {
  Window w;
  struct Step {
    const char* What;
    WindowEvent Event;
    const char* Focused;
  };
  const Step noneSelected[] = {
      {"first tab stop when the window is activated", Simple(WindowEvent::Kind::Paint), "speed"},
      {"tab skips the group with nothing selected", KeyDown(Key::Tab), "background"},
      {"tab", KeyDown(Key::Tab), "ok"},
      {"tab wraps", KeyDown(Key::Tab), "speed"},
      {"shift-tab wraps back", KeyDown(Key::Tab, true), "ok"},
  };
  for (const Step& s : noneSelected) {
    w.form.HandleEvent(s.Event);
    EXPECT_EQ(w.Focused(), s.Focused) << s.What;
  }
  w.form.SetParametrs({10, 1, 0});
  const Step oneSelected[] = {
      {"tab from ok to speed", KeyDown(Key::Tab), "speed"},
      {"tab enters the group at the selected button", KeyDown(Key::Tab), "fan1"},
      {"tab leaves the group", KeyDown(Key::Tab), "background"},
      {"shift-tab back to the selected button", KeyDown(Key::Tab, true), "fan1"},
  };
  for (const Step& s : oneSelected) {
    w.form.HandleEvent(s.Event);
    EXPECT_EQ(w.Focused(), s.Focused) << s.What;
  }
}

TEST(RadioGroup, ArrowKeysMoveTheSelectionWithinTheGroup) {
  Window w;
  w.form.SetParametrs({10, 0, 0});
  w.form.HandleEvent(KeyDown(Key::Tab));  // speed -> fan0
  ASSERT_EQ(w.Focused(), "fan0");
  struct Step {
    Key Pressed;
    const char* Focused;
    int Fan;
    int Changes;
  };
  const Step steps[] = {{Key::Right, "fan1", 1, 1}, {Key::Down, "fan2", 2, 1}, {Key::Right, "fan0", 0, 1},
                        {Key::Left, "fan2", 2, 1},  {Key::Up, "fan1", 1, 1},   {Key::Space, "fan1", 1, 0}};
  for (const Step& s : steps) {
    w.events.clear();
    w.form.HandleEvent(KeyDown(s.Pressed));
    EXPECT_EQ(w.Focused(), s.Focused);
    EXPECT_EQ(w.form.GetParametrs().Fan, s.Fan);
    EXPECT_EQ(static_cast<int>(w.events.size()), s.Changes);
  }
}

TEST(RadioGroup, AClickSelectsOnlyOnReleaseInsideAndOnlyOnAChange) {
  Window w;
  struct Step {
    const char* What;
    WindowEvent Event;
    int Checked;  // which radio is selected after the step, -1 none
    int Changes;
  };
  const Step steps[] = {
      {"press on fan1", MouseDown(178, 37), -1, 0},
      {"drag off it", MouseMove(178, 80), -1, 0},
      {"release outside: nothing", MouseUp(178, 80), -1, 0},
      {"press on fan1", MouseDown(178, 37), -1, 0},
      {"release inside selects", MouseUp(178, 37), 1, 1},
      {"press on the selected one", MouseDown(178, 37), 1, 0},
      {"release: no event for the same selection", MouseUp(178, 37), 1, 0},
      {"a right click does not select", MouseDown(150, 37, platform::MouseButton::Right), 1, 0},
      {"right release", MouseUp(150, 37, platform::MouseButton::Right), 1, 0},
  };
  for (const Step& s : steps) {
    w.events.clear();
    w.form.HandleEvent(s.Event);
    const bool checked[] = {w.form.sRadioButton1.Checked(), w.form.sRadioButton2.Checked(), w.form.sRadioButton3.Checked()};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(checked[i], i == s.Checked) << s.What << " radio " << i;
    EXPECT_EQ(static_cast<int>(w.events.size()), s.Changes) << s.What;
  }
  EXPECT_EQ(w.window->MoveDrags, 0);
}

TEST(BitBtn, ClicksOnReleaseInsideAndOnSpaceOrEnterWhenFocused) {
  Window w;
  int clicks = 0;
  w.form.sBitBtn1.OnClick = [&](TObject*) { ++clicks; };
  struct Step {
    const char* What;
    WindowEvent Event;
    bool Down;
    int Clicks;
    platform::CursorShape Cursor;
  };
  using platform::CursorShape;
  const Step steps[] = {
      {"pointer over the button", MouseMove(170, 64), false, 0, CursorShape::Hand},
      {"press", MouseDown(170, 64), true, 0, CursorShape::Hand},
      {"drag off: drawn up again", MouseMove(100, 64), false, 0, CursorShape::Hand},
      {"back over it", MouseMove(150, 60), true, 0, CursorShape::Hand},
      {"release inside clicks", MouseUp(150, 60), false, 1, CursorShape::Hand},
      {"off the button", MouseMove(100, 64), false, 1, CursorShape::Arrow},
      {"press again", MouseDown(170, 64), true, 1, CursorShape::Hand},
      {"release outside does not click", MouseUp(20, 120), false, 1, CursorShape::Arrow},
      {"press elsewhere, release on it", MouseDown(60, 120), false, 1, CursorShape::Arrow},
      {"release on the button", MouseUp(170, 64), false, 1, CursorShape::Hand},
      {"space with the focus clicks", KeyDown(Key::Space), false, 2, CursorShape::Hand},
      {"enter with the focus clicks", KeyDown(Key::Enter), false, 3, CursorShape::Hand},
  };
  for (const Step& s : steps) {
    w.form.HandleEvent(s.Event);
    EXPECT_EQ(w.form.sBitBtn1.Down(), s.Down) << s.What;
    EXPECT_EQ(clicks, s.Clicks) << s.What;
    EXPECT_EQ(w.window->Cursor, s.Cursor) << s.What;
  }
  EXPECT_EQ(w.Focused(), "ok");
  w.form.HandleEvent(KeyDown(Key::Tab));
  w.form.HandleEvent(KeyDown(Key::Space));  // the speed slider has the focus now
  EXPECT_EQ(clicks, 3);
}

TEST(Painting, FocusAndHoverChangeThePicture) {
  Window w;
  w.form.sSkinManager1.SetSkinName(u"Deep (internal)");
  const platform::PixelBuffer focused = w.form.PaintPicture();
  w.form.HandleEvent(Simple(WindowEvent::Kind::FocusOut));
  const platform::PixelBuffer unfocused = w.form.PaintPicture();
  // The focus mark runs along the speed slider's edges.
  EXPECT_NE(focused.At(8, 90), unfocused.At(8, 90));
  w.form.HandleEvent(MouseMove(170, 64));
  EXPECT_NE(w.form.PaintPicture().At(150, 57), unfocused.At(150, 57));
  const int presents = w.window->Presents;
  w.form.HandleEvent(MouseMove(171, 64));  // nothing changes: nothing presented
  EXPECT_EQ(w.window->Presents, presents);
}

TEST(SkinManager, HoldsTheFiveSkinsInOrderAndSwitchesEveryAttachedWindow) {
  skin::TsSkinManager manager;
  std::vector<std::u16string> names;
  for (const skin::TSkin& s : manager.InternalSkins()) names.push_back(s.Name);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Deep (internal)", u"DarkGlass (internal)", u"MacOS (internal)",
                                                u"TV-b (internal)", u"Cold (internal)"}));
  int first = 0, second = 0;
  skin::TsSkinProvider a(manager, [&] { ++first; });
  {
    skin::TsSkinProvider b(manager, [&] { ++second; });
    manager.SetSkinName(u"TV-b (internal)");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(&b.Look(), manager.ActiveSkin());
  }
  manager.SetSkinName(u"tv-b (internal)");  // names are exact
  manager.SetSkinName(u"");
  EXPECT_EQ(manager.SkinName(), u"TV-b (internal)");
  EXPECT_EQ(first, 1);
  manager.SetSkinName(u"Deep (internal)");
  EXPECT_EQ(first, 2);
  EXPECT_EQ(second, 1);
}

TEST(SkinProvider, SnapsEdgesCloserThanTenPixelsToTheWorkArea) {
  const platform::Rect work{0, 0, 1920, 1040};
  const struct {
    const char* What;
    platform::Rect Proposed;
    platform::Rect Snapped;
  } cases[] = {
      {"well inside", {500, 400, 724, 530}, {500, 400, 724, 530}},
      {"left edge 9 inside", {9, 400, 233, 530}, {0, 400, 224, 530}},
      {"left edge 10 inside stays", {10, 400, 234, 530}, {10, 400, 234, 530}},
      {"left edge 9 outside", {-9, 400, 215, 530}, {0, 400, 224, 530}},
      {"right edge 5 short", {1691, 400, 1915, 530}, {1696, 400, 1920, 530}},
      {"top edge", {500, 3, 724, 133}, {500, 0, 724, 130}},
      {"bottom edge past the work area", {500, 915, 724, 1045}, {500, 910, 724, 1040}},
      {"corner", {1700, 1, 1924, 131}, {1696, 0, 1920, 130}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(skin::TsSkinProvider::Snap(c.Proposed, work, 10), c.Snapped) << c.What;
  // A work area that does not start at the origin (a second monitor, a task bar on the left).
  EXPECT_EQ(skin::TsSkinProvider::Snap({1925, 38, 2149, 168}, {1920, 30, 3840, 1080}, 10),
            (platform::Rect{1920, 30, 2144, 160}));
}

}  // namespace
}  // namespace vf::test
