// Popup windows where the display cannot do everything: a driver without shapes or opacity still
// gives a working plain window and says so once; no display at all gives no window, and the
// rest of the platform still works.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/message_pump.h"
#include "platform/window.h"

namespace {

platform::PopupWindowStyle Styled() {
  platform::PopupWindowStyle style;
  style.ClientWidth = 40;
  style.ClientHeight = 30;
  style.Opacity = 235;
  style.FuchsiaTransparent = true;
  return style;
}

int Occurrences(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// SDL's offscreen driver refuses shapes and opacity.
TEST(PopupWindowWithoutShapes, IsMadePlainWorksAndSaysSoOnce) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  int events = 0;
  testing::internal::CaptureStderr();
  auto first = platform::PopupWindow::Create(Styled(), [&](const auto&) { ++events; });
  auto second = platform::PopupWindow::Create(Styled(), [&](const auto&) { ++events; });
  const std::string said = testing::internal::GetCapturedStderr();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Occurrences(said, "shape"), 1) << said;
  EXPECT_EQ(Occurrences(said, "opacity"), 1) << said;

  platform::PixelBuffer pixels(40, 30);
  first->Present(pixels);
  first->Show();
  first->MoveTo(50, 60);
  platform::PumpMessages();
  EXPECT_TRUE(first->IsVisible());
  EXPECT_EQ(first->Bounds(), (platform::Rect{50, 60, 90, 90}));
  first->Hide();
  EXPECT_FALSE(first->IsVisible());
}

// Runs in the child process of the test below: 0 when no window is made and the rest works.
int WithoutDisplay() {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("SDL_VIDEODRIVER");
  const bool none = platform::PopupWindow::Create(Styled(), nullptr) == nullptr &&
                    platform::PopupWindow::Create(Styled(), nullptr) == nullptr;
  const platform::Rect r{10, 20, 30, 40};
  const bool fallbacks = platform::CursorPos() == platform::Point{} && platform::WorkAreaOf(r) == r;
  platform::PumpMessages();
  platform::WaitForMessages(1);
  return none && fallbacks ? 0 : 1;
}

// Without DISPLAY, WAYLAND_DISPLAY or a named driver there is no window, said once; the pointer
// stands at the origin and a rectangle is its own work area. Runs in a child process of its own,
// since the window system starts once per process.
TEST(PopupWindowWithoutDisplay, IsNotMadeAndTheRestStillWorks) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(WithoutDisplay()), testing::ExitedWithCode(0),
              "^vindelux-platform: no display[^\n]*\n$");
}

}  // namespace
