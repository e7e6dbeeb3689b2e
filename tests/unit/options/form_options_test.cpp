// The window's model: what SetParametrs raises and leaves, the close sequence and its result, the
// handlers without subscribers, and which presses start moving the window.
#include <gtest/gtest.h>

#include <vector>

#include "fake_window.h"

namespace vf::test {
namespace {

using platform::MouseButton;

struct Recorder {
  std::vector<TParametrs> Seen;  // GetParametrs at each OnChangeParametrs
  std::vector<TObject*> Senders;
  void Bind(TFormOptions& form) {
    form.SetOnChangeParametrs([this, &form](TObject* sender) {
      Seen.push_back(form.GetParametrs());
      Senders.push_back(sender);
    });
  }
};

struct SetCase {
  const char* What;
  TParametrs Given;
  int Events;
  TParametrs After;   // GetParametrs afterwards, also seen by every event
  int CheckedRadio;   // -1: none
  int SpeedShown, BackgroundShown;
};

// A new window; every row is one SetParametrs call.
const SetCase kSetCases[] = {
    {"first fan, both at their start", {10, 0, 0}, 1, {10, 0, 0}, 0, 10, 0},
    {"all three change", {20, 2, 5}, 3, {20, 2, 5}, 2, 20, 5},
    {"fan outside the group", {10, 7, 0}, 0, {10, 7, 0}, -1, 10, 0},
    {"negative fan", {15, -1, 0}, 1, {15, -1, 0}, -1, 15, 0},
    {"speed below the range", {5, 1, 0}, 1, {5, 1, 0}, 1, 10, 0},
    {"speed above the range", {50, 1, 0}, 2, {30, 1, 0}, 1, 30, 0},
    {"background below the range", {10, 0, -3}, 1, {10, 0, -3}, 0, 10, 0},
    {"background above the range", {10, 0, 12}, 2, {10, 0, 9}, 0, 10, 9},
};

TEST(FormOptions, SetParametrsRaisesOncePerControlThatChanges) {
  for (const SetCase& c : kSetCases) {
    SCOPED_TRACE(c.What);
    FakeWindow* window = nullptr;
    TFormOptions form(FakeServices(window));
    Recorder recorder;
    recorder.Bind(form);
    form.SetParametrs(c.Given);
    EXPECT_EQ(static_cast<int>(recorder.Seen.size()), c.Events);
    EXPECT_EQ(form.GetParametrs(), c.After);
    // Speed and background are clamped by their sliders, which write back when they move; each
    // event sees all three new fields at once, apart from a slider that has yet to move.
    for (std::size_t i = 0; i < recorder.Seen.size(); ++i) {
      EXPECT_EQ(recorder.Seen[i].Fan, c.After.Fan);
      EXPECT_EQ(recorder.Senders[i], &form);
    }
    if (!recorder.Seen.empty()) {
      EXPECT_EQ(recorder.Seen.back(), c.After);
    }
    const skin::TsRadioButton* radios[] = {&form.sRadioButton1, &form.sRadioButton2, &form.sRadioButton3};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(radios[i]->Checked(), i == c.CheckedRadio) << "radio " << i;
    EXPECT_EQ(form.sTrackBar1.Position(), c.SpeedShown);
    EXPECT_EQ(form.sTrackBar2.Position(), c.BackgroundShown);
  }
}

TEST(FormOptions, EveryEventOfAFullSetSeesTheWholeNewRecord) {
  FakeWindow* window = nullptr;
  TFormOptions form(FakeServices(window));
  Recorder recorder;
  recorder.Bind(form);
  form.SetParametrs({20, 2, 5});
  ASSERT_EQ(recorder.Seen.size(), 3U);
  for (const TParametrs& seen : recorder.Seen) EXPECT_EQ(seen, (TParametrs{20, 2, 5}));
}

TEST(FormOptions, ANewWindowStartsEmpty) {
  FakeWindow* window = nullptr;
  TFormOptions form(FakeServices(window));
  EXPECT_EQ(form.GetParametrs(), (TParametrs{0, 0, 0}));
  EXPECT_EQ(form.ModalResult(), 0);
  EXPECT_EQ(form.sSkinManager1.ActiveSkin(), nullptr);
  EXPECT_FALSE(form.sRadioButton1.Checked() || form.sRadioButton2.Checked() || form.sRadioButton3.Checked());
  EXPECT_EQ(form.sTrackBar1.Position(), 10);
  EXPECT_EQ(form.sTrackBar2.Position(), 0);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Style.ClientWidth, 224);
  EXPECT_EQ(window->Style.ClientHeight, 130);
  EXPECT_TRUE(window->Style.TopMost && window->Style.NoTaskbarEntry && window->Style.FuchsiaTransparent);
  EXPECT_EQ(window->Style.Opacity, 235);
  EXPECT_EQ(form.Width(), 224);
  EXPECT_EQ(form.sLabel4.Caption(), u"Vindelux Fan ");
}

TEST(FormOptions, UserChangesUpdateTheParametersAndReport) {
  FakeWindow* window = nullptr;
  TFormOptions form(FakeServices(window));
  form.SetParametrs({10, 0, 0});
  Recorder recorder;
  recorder.Bind(form);
  form.HandleEvent(MouseDown(197, 30));  // the third radio button
  form.HandleEvent(MouseUp(197, 30));
  form.HandleEvent(MouseDown(197, 30));  // the one already selected: nothing
  form.HandleEvent(MouseUp(197, 30));
  ASSERT_EQ(recorder.Seen.size(), 1U);
  EXPECT_EQ(recorder.Seen[0], (TParametrs{10, 2, 0}));
  form.HandleEvent(MouseDown(200, 85));  // speed channel right of the thumb: one page up
  form.HandleEvent(MouseUp(200, 85));    // and the end of tracking, unchanged
  ASSERT_EQ(recorder.Seen.size(), 3U);
  EXPECT_EQ(recorder.Seen[1], (TParametrs{12, 2, 0}));
  EXPECT_EQ(recorder.Seen[2], (TParametrs{12, 2, 0}));
}

enum class CloseBy { OkClick, OkKey, WindowClose, Direct };

struct CloseCase {
  const char* What;
  CloseBy By;
  int Result;
};

TEST(FormOptions, CloseRaisesOnTerminateOnceThenHides) {
  const CloseCase cases[] = {{"Ok clicked", CloseBy::OkClick, 1},
                             {"Ok by Space", CloseBy::OkKey, 1},
                             {"window closed", CloseBy::WindowClose, 0},
                             {"closed by the program", CloseBy::Direct, 0}};
  for (const CloseCase& c : cases) {
    SCOPED_TRACE(c.What);
    FakeWindow* window = nullptr;
    TFormOptions form(FakeServices(window));
    form.Show();
    std::vector<int> results;
    std::vector<bool> visibleAtEvent;
    form.SetOnTerminate([&](TObject* sender) {
      EXPECT_EQ(sender, &form);
      results.push_back(form.ModalResult());
      visibleAtEvent.push_back(window->Visible);
    });
    switch (c.By) {
      case CloseBy::OkClick:
        form.HandleEvent(MouseDown(170, 64));
        form.HandleEvent(MouseUp(170, 64));
        break;
      case CloseBy::OkKey:
        for (int i = 0; i < 5 && form.ActiveControl() != &form.sBitBtn1; ++i)
          form.HandleEvent(KeyDown(platform::Key::Tab));
        form.HandleEvent(KeyDown(platform::Key::Space));
        break;
      case CloseBy::WindowClose: form.HandleEvent(Simple(platform::WindowEvent::Kind::CloseRequest)); break;
      case CloseBy::Direct: form.Close(); break;
    }
    EXPECT_EQ(results, std::vector<int>{c.Result});
    EXPECT_EQ(visibleAtEvent, std::vector<bool>{true});  // hidden only after the event
    EXPECT_FALSE(window->Visible);
    EXPECT_FALSE(form.Visible());
  }
}

TEST(FormOptions, ASubscriberMayDestroyTheWindowFromOnTerminate) {
  FakeWindow* window = nullptr;
  auto form = std::make_unique<TFormOptions>(FakeServices(window));
  int terminated = 0;
  form->SetOnTerminate([&](TObject*) {
    ++terminated;
    form.reset();
  });
  form->HandleEvent(Simple(platform::WindowEvent::Kind::Paint));
  TFormOptions* raw = form.get();
  raw->HandleEvent(Simple(platform::WindowEvent::Kind::CloseRequest));
  EXPECT_EQ(terminated, 1);
  EXPECT_EQ(form, nullptr);
}

TEST(FormOptions, WithoutSubscribersEverythingStillWorks) {
  FakeWindow* window = nullptr;
  TFormOptions form(FakeServices(window));
  form.SetParametrs({20, 1, 3});
  form.Show();
  form.HandleEvent(Simple(platform::WindowEvent::Kind::FocusIn));
  form.HandleEvent(KeyDown(platform::Key::End));  // the speed slider has the focus
  EXPECT_EQ(form.GetParametrs(), (TParametrs{30, 1, 3}));
  form.HandleEvent(MouseDown(170, 64));
  form.HandleEvent(MouseUp(170, 64));
  EXPECT_EQ(form.ModalResult(), 1);
  EXPECT_FALSE(window->Visible);
}

TEST(FormOptions, WithoutAWindowTheModelStillWorks) {
  TFormOptions form(TFormOptions::TServices{});
  form.SetParametrs({25, 1, 2});
  form.MoveTo(40, 50);
  form.Show();
  form.BringToFront();
  EXPECT_EQ(form.Left(), 40);
  EXPECT_EQ(form.Top(), 50);
  form.HandleEvent(MouseDown(10, 10));  // no window to move: nothing happens
  form.Close();
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(form.GetParametrs(), (TParametrs{25, 1, 2}));
}

TEST(FormOptions, PositionAndShowGoToTheWindow) {
  FakeWindow* window = nullptr;
  TFormOptions form(FakeServices(window));
  form.MoveTo(385, 305);
  form.Show();
  form.BringToFront();
  EXPECT_EQ(form.Left(), 385);
  EXPECT_EQ(form.Top(), 305);
  EXPECT_EQ(window->Calls, (std::vector<std::string>{"MoveTo", "Show", "BringToFront"}));
  EXPECT_GT(window->Presents, 0);
}

struct PressCase {
  const char* What;
  platform::Point At;
  MouseButton Button;
  bool Moves;
};

TEST(FormOptions, PressesOnTheSurfaceMoveTheWindowWithAnyButton) {
  const PressCase cases[] = {
      {"left on the background", {3, 3}, MouseButton::Left, true},
      {"right on the background", {200, 120}, MouseButton::Right, true},
      {"middle on the background", {220, 60}, MouseButton::Middle, true},
      {"left on a label", {20, 12}, MouseButton::Left, false},
      {"right on the name label", {110, 112}, MouseButton::Right, false},
      {"left on a slider", {60, 40}, MouseButton::Left, false},
      {"middle on a radio button", {150, 34}, MouseButton::Middle, false},
      {"right on the button", {170, 64}, MouseButton::Right, false},
  };
  for (const PressCase& c : cases) {
    SCOPED_TRACE(c.What);
    FakeWindow* window = nullptr;
    TFormOptions form(FakeServices(window));
    form.HandleEvent(MouseDown(c.At.X, c.At.Y, c.Button));
    EXPECT_EQ(window->MoveDrags, c.Moves ? 1 : 0);
    if (c.Moves) {
      ASSERT_TRUE(window->Filter);
      // The move snaps to the fake work area (0, 0, 1920, 1040).
      EXPECT_EQ(window->Filter({5, 300, 229, 430}), (platform::Rect{0, 300, 224, 430}));
    }
  }
}

TEST(FormOptions, SkinNameReskinsTheWholeWindowAtOnce) {
  FakeWindow* window = nullptr;
  TFormOptions form(FakeServices(window));
  form.SetParametrs({10, 0, 0});
  const platform::PixelBuffer plain = window->Presented;
  // Without a skin the surface is black and so are the labels.
  EXPECT_EQ(plain.At(20, 12).r + plain.At(20, 12).g + plain.At(20, 12).b, 0);
  const int presents = window->Presents;
  form.sSkinManager1.SetSkinName(u"Cold (internal)");
  EXPECT_EQ(window->Presents, presents + 1);
  const platform::PixelBuffer cold = window->Presented;
  EXPECT_NE(cold.At(110, 5), plain.At(110, 5));
  form.sSkinManager1.SetSkinName(u"No such skin");
  EXPECT_EQ(form.sSkinManager1.SkinName(), u"Cold (internal)");
  EXPECT_EQ(window->Presents, presents + 1);
}

}  // namespace
}  // namespace vf::test
