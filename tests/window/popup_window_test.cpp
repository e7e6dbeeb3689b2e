// Real popup windows on a (virtual) display, driven with real input through the window system:
// what the screen shows, which thread gets the events, and how a drag moves the window.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/message_pump.h"
#include "platform/window.h"
#include "screen_input.h"
#include "support/image_compare.h"
#include "support/png_encode.h"
#include "support/pump.h"

namespace {

using platform::MouseButton;
using platform::PixelBuffer;
using platform::Point;
using platform::PopupWindow;
using platform::Rect;
using platform::WindowEvent;
using Kind = WindowEvent::Kind;
using namespace std::chrono_literals;

constexpr platform::Pixel32 kFuchsia{255, 0, 255, 255};
constexpr platform::Pixel32 kBlue{230, 140, 20, 255};

platform::PopupWindowStyle OptionsLikeStyle(int width, int height) {
  platform::PopupWindowStyle style;
  style.ClientWidth = width;
  style.ClientHeight = height;
  style.Opacity = 235;
  style.FuchsiaTransparent = true;
  return style;
}

// The calling thread's messages, pumped until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 3000ms) {
  return vf::test::PumpUntil(done, limit);
}

void PumpFor(std::chrono::milliseconds span) { vf::test::PumpFor(span); }

// Pumps until the screen shows exactly these pixels in the area, for a generous time: a loaded
// machine maps and paints windows late.
bool PumpUntilScreenShows(const Rect& area, const PixelBuffer& expected, std::chrono::milliseconds limit = 8000ms) {
  return PumpUntil([&] {
    return !vf::test::ImagesDiffer(window_test::CaptureScreen(area), expected, "screen", {0, false});
  }, limit);
}

PixelBuffer Filled(int width, int height, platform::Pixel32 colour) {
  PixelBuffer pixels(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.At(x, y) = colour;
  }
  return pixels;
}

struct Recorder {
  struct Entry {
    WindowEvent event;
    std::thread::id thread;
  };
  std::vector<Entry> entries;
  platform::WindowEventHandler Handler() {
    return [this](const WindowEvent& e) { entries.push_back({e, std::this_thread::get_id()}); };
  }
  std::vector<WindowEvent> Buttons() const {
    std::vector<WindowEvent> out;
    for (const auto& entry : entries) {
      if (entry.event.Type == Kind::MouseDown || entry.event.Type == Kind::MouseUp) {
        out.push_back(entry.event);
      }
    }
    return out;
  }
  int Count(Kind kind) const {
    int n = 0;
    for (const auto& entry : entries) n += entry.event.Type == kind ? 1 : 0;
    return n;
  }
};

std::unique_ptr<PopupWindow> ShownWindowAt(Point at, Recorder& recorder, int width = 64,
                                           int height = 48) {
  auto window = PopupWindow::Create(OptionsLikeStyle(width, height), recorder.Handler());
  if (!window) return window;
  window->MoveTo(at.X, at.Y);
  window->Present(Filled(width, height, kBlue));
  window->Show();
  // Input goes to the window only once it is on the screen.
  EXPECT_TRUE(PumpUntilScreenShows({at.X, at.Y, at.X + width, at.Y + height}, Filled(width, height, kBlue)))
      << "the window never showed";
  return window;
}

// A new window is hidden at the origin with the asked client size; show, hide and move say so.
TEST(PopupWindow, StartsHiddenAtTheOriginAndReportsShowHideAndMoves) {
  Recorder recorder;
  auto window = PopupWindow::Create(OptionsLikeStyle(224, 130), recorder.Handler());
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(window->IsVisible());
  EXPECT_EQ(window->Bounds(), (Rect{0, 0, 224, 130}));

  window->Show();
  EXPECT_TRUE(PumpUntil([&] { return window->IsVisible(); }));
  window->MoveTo(300, 200);
  EXPECT_TRUE(PumpUntil([&] { return window->Bounds() == Rect{300, 200, 524, 330}; })) << "bounds after the move";
  window->Hide();
  EXPECT_TRUE(PumpUntil([&] { return !window->IsVisible(); }));
}

// The screen shows the presented pixels, and where they are fuchsia it shows what lies behind.
TEST(PopupWindow, ScreenShowsThePresentedPixelsWithFuchsiaCutOut) {
  const Rect area{200, 150, 264, 198};
  const PixelBuffer behind = window_test::CaptureScreen(area);

  PixelBuffer content = Filled(area.Width(), area.Height(), kBlue);
  for (int y = 12; y < 36; ++y) {
    for (int x = 16; x < 48; ++x) content.At(x, y) = kFuchsia;
  }
  Recorder recorder;
  auto window = PopupWindow::Create(OptionsLikeStyle(area.Width(), area.Height()),
                                    recorder.Handler());
  ASSERT_NE(window, nullptr);
  window->MoveTo(area.Left, area.Top);
  window->Present(content);
  window->Show();
  PixelBuffer expected = content;
  for (int y = 0; y < expected.Height(); ++y) {
    for (int x = 0; x < expected.Width(); ++x) {
      if (expected.At(x, y) == kFuchsia) expected.At(x, y) = behind.At(x, y);
    }
  }
  PumpUntilScreenShows(area, expected);

  const Rect wider{area.Left - 20, area.Top - 20, area.Right + 20, area.Bottom + 20};
  vf::test::WritePngFile("popup_window_screen.png", window_test::CaptureScreen(wider), false);
  // A display without a compositor shows the window opaque, so the pixels are exact.
  EXPECT_TRUE(vf::test::ImagesMatch(window_test::CaptureScreen(area), expected,
                                    "popup_window_cut_out", {0, false}));
}

// Events of a window wait for its own thread's pump, however long other threads pump, and come
// in the order they happened.
TEST(PopupWindow, EventsComeOnlyThroughTheOwnerThreadsPumpInOrder) {
  Recorder recorder;
  auto window = ShownWindowAt({100, 100}, recorder);
  ASSERT_NE(window, nullptr);
  recorder.entries.clear();

  window_test::MovePointer({110, 112});
  window_test::PressButton(MouseButton::Left);
  window_test::ReleaseButton(MouseButton::Left);
  window_test::MovePointer({130, 120});
  window_test::PressButton(MouseButton::Right);
  window_test::ReleaseButton(MouseButton::Right);

  std::thread other([] { PumpFor(400ms); });
  other.join();
  EXPECT_TRUE(recorder.entries.empty()) << "another thread's pump delivered this window's events";

  const auto owner = std::this_thread::get_id();
  ASSERT_TRUE(PumpUntil([&] { return recorder.Buttons().size() >= 4; }));
  const auto buttons = recorder.Buttons();
  struct Expected {
    Kind type;
    MouseButton button;
    Point position;
  };
  const Expected expected[] = {{Kind::MouseDown, MouseButton::Left, {10, 12}},
                               {Kind::MouseUp, MouseButton::Left, {10, 12}},
                               {Kind::MouseDown, MouseButton::Right, {30, 20}},
                               {Kind::MouseUp, MouseButton::Right, {30, 20}}};
  ASSERT_EQ(buttons.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(buttons[i].Type, expected[i].type) << "event " << i;
    EXPECT_EQ(buttons[i].Button, expected[i].button) << "event " << i;
    EXPECT_EQ(buttons[i].Position, expected[i].position) << "event " << i;
  }
  for (const auto& entry : recorder.entries) EXPECT_EQ(entry.thread, owner);
}

// A close request from the window system reaches the owner once, and the window stays.
TEST(PopupWindow, CloseRequestIsReportedAndClosesNothing) {
  Recorder recorder;
  auto window = ShownWindowAt({100, 100}, recorder);
  ASSERT_NE(window, nullptr);
  window_test::RequestClose(*window);
  ASSERT_TRUE(PumpUntil([&] { return recorder.Count(Kind::CloseRequest) > 0; }));
  PumpFor(100ms);
  EXPECT_EQ(recorder.Count(Kind::CloseRequest), 1);
  EXPECT_TRUE(window->IsVisible());
}

// A press of any button may start a drag; the window then follows the pointer, each proposed
// place going through the filter, until the button is released.
class PopupWindowDrag : public ::testing::TestWithParam<MouseButton> {};

TEST_P(PopupWindowDrag, WindowFollowsThePointerThroughTheFilter) {
  const MouseButton button = GetParam();
  std::vector<Rect> proposals;
  std::atomic<bool> pressed{false};
  std::atomic<bool> proposed{false};
  // Snaps the left edge to x = 300 within 10 pixels, as an edge snap does.
  auto snap = [&](const Rect& r) {
    proposals.push_back(r);
    proposed = true;
    return r.Left > 290 && r.Left < 310 ? Rect{300, r.Top, 300 + r.Width(), r.Bottom} : r;
  };
  PopupWindow* self = nullptr;
  auto handler = [&](const WindowEvent& e) {
    if (e.Type != Kind::MouseDown) return;
    pressed = true;
    self->BeginMoveDrag(snap);
  };
  auto window = PopupWindow::Create(OptionsLikeStyle(64, 48), handler);
  ASSERT_NE(window, nullptr);
  self = window.get();
  window->MoveTo(100, 100);
  window->Present(Filled(64, 48, kBlue));
  window->Show();
  ASSERT_TRUE(PumpUntilScreenShows({100, 100, 164, 148}, Filled(64, 48, kBlue))) << "the window never showed";
  window_test::MovePointer({120, 120});
  ASSERT_TRUE(PumpUntil([] { return platform::CursorPos() == Point{120, 120}; }));

  // The user's hand runs on its own, each step waiting for the window to have seen the one
  // before, while this thread pumps (and, on Windows, sits in the system's move loop).
  std::atomic<bool> done{false};
  auto waitFor = [](const std::atomic<bool>& flag) {
    for (int i = 0; i < 300 && !flag; ++i) std::this_thread::sleep_for(10ms);
  };
  std::thread hand([&] {
    window_test::PressButton(button);
    waitFor(pressed);
    std::this_thread::sleep_for(50ms);
    window_test::MovePointer({316, 160});
    waitFor(proposed);
    std::this_thread::sleep_for(50ms);
    window_test::ReleaseButton(button);
    // The Windows move loop ends with the left button, Enter or Escape (which puts the window
    // back); after a drag with another button the user ends it with Enter.
    if (button != MouseButton::Left) {
      std::this_thread::sleep_for(50ms);
      window_test::TapEnterKey();
    }
    done = true;
  });
  PumpUntil([&] { return done.load(); }, 8000ms);
  hand.join();
  PumpFor(100ms);

  ASSERT_FALSE(proposals.empty()) << "the filter saw no proposed position";
  EXPECT_EQ(proposals.back().Left, 296);
  EXPECT_EQ(proposals.back().Top, 140);
  EXPECT_EQ(window->Bounds(), (Rect{300, 140, 364, 188}));

  // Once released, the pointer moves without the window.
  window_test::MovePointer({400, 300});
  PumpFor(200ms);
  EXPECT_EQ(window->Bounds(), (Rect{300, 140, 364, 188}));
}

INSTANTIATE_TEST_SUITE_P(AnyButton, PopupWindowDrag,
                         ::testing::Values(MouseButton::Left, MouseButton::Right,
                                           MouseButton::Middle),
                         [](const auto& param) {
                           switch (param.param) {
                             case MouseButton::Left: return std::string("Left");
                             case MouseButton::Right: return std::string("Right");
                             case MouseButton::Middle: return std::string("Middle");
                           }
                           return std::string("Other");
                         });

// The pointer position is the one the window system has; the work area of a rectangle on or off
// the screen is that of the nearest monitor, here the whole virtual screen (no panels).
TEST(PopupWindow, CursorPosAndWorkAreaComeFromTheWindowSystem) {
  window_test::MovePointer({321, 123});
  PumpUntil([] { return platform::CursorPos() == Point{321, 123}; });
  EXPECT_EQ(platform::CursorPos(), (Point{321, 123}));

  const Rect screen{0, 0, 1024, 768};
  const Rect cases[] = {{10, 10, 234, 140}, {900, 700, 1124, 830}, {-500, -500, -276, -370},
                        {5000, 100, 5224, 230}};
  for (const Rect& r : cases) {
    EXPECT_EQ(platform::WorkAreaOf(r), screen) << r.Left << "," << r.Top;
  }
}

}  // namespace
