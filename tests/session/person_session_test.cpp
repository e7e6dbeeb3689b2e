// A person's whole session with the substitute host and the real module, driven only as a hand
// drives it: pointer moves, presses and releases and keys, on a desk with a window manager (on X a
// display and openbox of the test's own; on Windows the desktop, under wine wine's own). It reads
// only what a person sees, the windows' places and the screen's pixels, and the settings file
// beside the host.
// The steps run in order as one table; the first that fails names itself and leaves a picture of
// the screen in the build tree.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "session_desk.h"
#include "support/image_compare.h"
#include "support/png_encode.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Everything a loaded two-core machine may need to map, paint or move a window.
constexpr auto kPatience = 15s;

using session::Box;
using session::Button;
using session::Keys;

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = kPatience) {
  const auto until = Clock::now() + limit;
  while (Clock::now() < until) {
    if (done()) return true;
    std::this_thread::sleep_for(25ms);
  }
  return done();
}

// Sixty seconds of a loud tone on both channels, long enough for every step.
void WriteLongTrack(const fs::path& file) {
  constexpr std::uint32_t kRate = 22050, kSeconds = 60;
  constexpr double kPi = 3.14159265358979323846;
  std::string data;
  for (std::uint32_t i = 0; i < kRate * kSeconds; ++i) {
    const auto sample = static_cast<std::int16_t>(20000 * std::sin(2 * kPi * 440.0 * i / kRate));
    for (int channel = 0; channel < 2; ++channel) {
      data.push_back(static_cast<char>(sample & 0xFF));
      data.push_back(static_cast<char>((sample >> 8) & 0xFF));
    }
  }
  auto u32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  auto u16 = [](std::uint16_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8)};
  };
  const std::string header = "RIFF" + u32(36 + static_cast<std::uint32_t>(data.size())) +
                             "WAVEfmt " + u32(16) + u16(1) + u16(2) + u32(kRate) + u32(kRate * 4) +
                             u16(4) + u16(16) + "data" +
                             u32(static_cast<std::uint32_t>(data.size()));
  vf::test::WriteBytes(file, header + data);
}

// The options window's places, in its client coordinates.
constexpr int kOptionsWidth = 224, kOptionsHeight = 130;
constexpr int kBackgroundTrackX = 120, kBackgroundTrackY = 30;  // right of the thumb at 0..4
constexpr int kSpeedTrackX = 210, kSpeedTrackY = 88;            // right of the thumb at 10..14
constexpr int kThirdFanX = 203, kThirdFanY = 37;
constexpr int kOkX = 178, kOkY = 64;
constexpr int kBareX = 100, kBareY = 65;  // the window's own surface, no control

std::map<std::string, std::string> ReadOptions(const fs::path& file) {
  std::map<std::string, std::string> values;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return values;
}

struct Session {
  std::unique_ptr<session::Desk> desk;
  fs::path folder;    // the "player": fanhost, its module and PlugIns
  fs::path settings;  // PlugIns/Vindelux Fan.ini
  fs::path track;
  fs::path scratch;  // logs and pictures of the screen
  std::unique_ptr<session::Program> host;
  int run = 0;
  Clock::time_point started = Clock::now();
  std::vector<std::string> diary;
  Box hostBox;
  Box options;
  platform::PixelBuffer cornerBefore, cornerChanged;

  void StartHost() {
    ++run;
    host.reset();
    host = desk->Start(folder / fs::path(VF_FANHOST_FILE).filename(),
                       {"--wav", track.string(), "--size", "640x480"}, Log());
  }
  fs::path Log() const { return scratch / ("fanhost-run" + std::to_string(run) + ".log"); }
  // The end of the host's output, for a failure's message.
  std::string LogEnd() const {
    const std::string text = vf::test::ReadBytes(Log());
    return text.substr(text.size() > 1500 ? text.size() - 1500 : 0);
  }
  std::optional<Box> WindowNamed(const std::string& title, int width) {
    for (const auto& w : desk->Windows())
      if (w.title == title && w.client.width == width) return w.client;
    return std::nullopt;
  }
  // The options window: the shown window of its size, whatever its name.
  std::optional<Box> Options() {
    for (const auto& w : desk->Windows())
      if (w.client.width == kOptionsWidth && w.client.height == kOptionsHeight) return w.client;
    return std::nullopt;
  }
  void Click(int x, int y) {
    desk->MovePointer(x, y);
    std::this_thread::sleep_for(60ms);
    desk->Press(Button::Left, true);
    Note("left press at " + std::to_string(x) + "," + std::to_string(y));
    std::this_thread::sleep_for(60ms);
    desk->Press(Button::Left, false);
    Note("left release");
  }
  // What the hand did and where the options window was then, for a failure's message.
  void Note(const std::string& what) {
    std::ostringstream line;
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
    line << "t=" << ms << "ms " << what << "; options ";
    if (const auto box = Options())
      line << *box;
    else
      line << "not shown";
    diary.push_back(line.str());
  }
  // The top-left corner of the picture, where the background shows and no fan reaches.
  Box Corner() const { return {hostBox.left + 4, hostBox.top + 4, 40, 40}; }
  // Presses on the options window's own surface and moves it by (dx, dy) with the button held.
  // Drags as a person does, by what the eye sees: once pressed, the hand nudges the pointer until
  // the window follows (a window system may take a moment to start its move), then moves it the
  // whole way, so that the window moves by (dx, dy) from where it was, and lets go once it sits
  // still there. False when the system's move loop did not end with the release (or Enter).
  bool DragOptions(Button button, int dx, int dy) {
    const Box from = options;
    const int x = from.left + kBareX, y = from.top + kBareY;
    desk->MovePointer(x, y);
    std::this_thread::sleep_for(80ms);
    desk->Press(button, true);
    Note("button " + std::to_string(static_cast<int>(button)) + " pressed at " + std::to_string(x) +
         "," + std::to_string(y));
    int pointerX = x;
    int followed = 0;  // how far the window went with the nudges
    const auto until = Clock::now() + kPatience;
    while (followed == 0 && Clock::now() < until) {
      pointerX += 2;
      desk->MovePointer(pointerX, y);
      WaitUntil([&] { return Options().value_or(from).left != from.left; }, 300ms);
      followed = Options().value_or(from).left - from.left;
    }
    Note("the window followed by " + std::to_string(followed) +
         (desk->MoveLoopRunning() ? " in the system's move loop" : ""));
    // The move follows the pointer from where it was when the move began.
    const int startX = pointerX - followed;
    for (int step = 1; step <= 4; ++step) {
      desk->MovePointer(startX + dx * step / 4, y + dy * step / 4);
      std::this_thread::sleep_for(60ms);
    }
    Box last{};
    WaitUntil(
        [&] {
          const Box now = Options().value_or(Box{});
          const bool still = now == last;
          last = now;
          return still;
        },
        5s);
    desk->Press(button, false);
    Note("released");
    if (button != Button::Left && desk->MoveLoopEndsWithEnter()) {
      std::this_thread::sleep_for(100ms);
      desk->Type(Keys::Enter);
      Note("Enter");
    }
    // A person moves on once the window has stopped moving with the hand; a loaded machine may
    // take a moment to end the loop.
    const bool ended = WaitUntil([&] { return !desk->MoveLoopRunning(); });
    Note(ended ? "the move ended" : "the move loop still runs");
    return ended;
  }
};

using Result = ::testing::AssertionResult;
Result Ok() { return ::testing::AssertionSuccess(); }
Result Fail() { return ::testing::AssertionFailure(); }

Result HostShown(Session& s) {
  if (!s.host) return Fail() << "fanhost did not start";
  // A first start on a cold, loaded machine may take long.
  if (!WaitUntil(
          [&] {
            auto box = s.WindowNamed("Vindelux Fan", 640);
            if (box) s.hostBox = *box;
            return box.has_value();
          },
          60s))
    return Fail() << "no 640 x 480 window named \"Vindelux Fan\"; fanhost said:\n"
                  << s.LogEnd() << s.host->State();
  // Wait for the picture to be there: the corner stops being the display's black, or the white
  // that wine shows in a window before its first frame.
  if (!WaitUntil([&] {
        s.cornerBefore = s.desk->Capture(s.Corner());
        const int sum =
            s.cornerBefore.At(20, 20).r + s.cornerBefore.At(20, 20).g + s.cornerBefore.At(20, 20).b;
        return sum > 0 && sum < 3 * 255;
      }))
    return Fail() << "the host window shows nothing";
  return Ok();
}

Result ClickOpensOptionsAtTheCursor(Session& s) {
  const int x = s.hostBox.left + 300, y = s.hostBox.top + 150;
  s.Click(x, y);
  if (!WaitUntil([&] { return s.Options().has_value(); }))
    return Fail() << "no 224 x 130 options window appeared";
  s.options = *s.Options();
  const Box expected{x - kOptionsWidth / 2, y + 5, kOptionsWidth, kOptionsHeight};
  if (!(s.options == expected))
    return Fail() << "options at " << s.options << ", expected " << expected;
  // What the person sees now, to look at.
  WaitUntil([&] {
    return vf::test::ImagesDiffer(s.desk->Capture(s.options),
                                  platform::PixelBuffer(kOptionsWidth, kOptionsHeight), "", {});
  });
  vf::test::WritePngFile(s.scratch / "screen-options-open.png", s.desk->Capture({0, 0, 1024, 768}),
                         false);
  return Ok();
}

// Each click on the track pages the slider, and the host shows each new background before the
// next click: what the corner shows at the end is what the next run must show.
Result BackgroundChangesLive(Session& s) {
  for (int click = 1; click <= 2; ++click) {
    const platform::PixelBuffer shown = click == 1 ? s.cornerBefore : s.cornerChanged;
    s.Click(s.options.left + kBackgroundTrackX, s.options.top + kBackgroundTrackY);
    if (!WaitUntil([&] {
          s.cornerChanged = s.desk->Capture(s.Corner());
          return static_cast<bool>(vf::test::ImagesDiffer(s.cornerChanged, shown, "", {24, false}));
        }))
      return Fail() << "click " << click
                    << " on the track did not change the host window's background";
  }
  return Ok();
}

Result FanAndSpeedTakeClicks(Session& s) {
  s.Click(s.options.left + kThirdFanX, s.options.top + kThirdFanY);
  for (int i = 0; i < 2; ++i) {
    std::this_thread::sleep_for(150ms);
    s.Click(s.options.left + kSpeedTrackX, s.options.top + kSpeedTrackY);
  }
  std::this_thread::sleep_for(200ms);
  if (fs::exists(s.settings)) return Fail() << "the settings were written before Ok";
  return Ok();
}

Result DragsWithEveryButton(Session& s) {
  const struct {
    Button button;
    int dx, dy;
  } drags[] = {{Button::Left, 60, 40}, {Button::Right, -30, 50}, {Button::Middle, 40, -20}};
  for (const auto& drag : drags) {
    const Box from = s.options;
    if (!s.DragOptions(drag.button, drag.dx, drag.dy))
      return Fail() << "button " << static_cast<int>(drag.button) << ": the move did not end";
    const Box expected{from.left + drag.dx, from.top + drag.dy, from.width, from.height};
    if (!WaitUntil([&] { return s.Options() == expected; }, 5s))
      return Fail() << "button " << static_cast<int>(drag.button) << ": options at "
                    << s.Options().value_or(Box{}) << ", expected " << expected;
    s.options = expected;
  }
  return Ok();
}

Result SnapsToTheScreenEdge(Session& s) {
  // Dropped 6 pixels from the left edge of the screen, the window snaps to it.
  if (!s.DragOptions(Button::Left, 6 - s.options.left, 0)) return Fail() << "the move did not end";
  const Box expected{0, s.options.top, kOptionsWidth, kOptionsHeight};
  if (!WaitUntil([&] { return s.Options() == expected; }, 5s))
    return Fail() << "options at " << s.Options().value_or(Box{}) << ", expected " << expected;
  s.options = expected;
  return Ok();
}

Result OkClosesAndWrites(Session& s) {
  s.Click(s.options.left + kOkX, s.options.top + kOkY);
  if (!WaitUntil([&] { return !s.Options().has_value(); }))
    return Fail() << "the options window stayed after Ok";
  if (!WaitUntil([&] { return fs::exists(s.settings); }))
    return Fail() << "Ok wrote no settings file";
  const auto values = ReadOptions(s.settings);
  const std::map<std::string, std::string> expected{
      {"Fan", "2"}, {"Background", "4"}, {"Speed", "14"}};
  for (const auto& [key, value] : expected) {
    if (!values.contains(key) || values.at(key) != value)
      return Fail() << key << " is \"" << (values.contains(key) ? values.at(key) : "")
                    << "\", expected " << value;
  }
  return Ok();
}

// The window shows again; closed by its Ok it gives the keyboard back to the host, whose Esc ends
// the run.
Result ReopensAndQuitsByItsKey(Session& s) {
  s.Click(s.hostBox.left + 200, s.hostBox.top + 100);
  if (!WaitUntil([&] { return s.Options().has_value(); }))
    return Fail() << "a second click opened no options window";
  s.options = *s.Options();
  std::this_thread::sleep_for(300ms);
  s.Click(s.options.left + kOkX, s.options.top + kOkY);
  if (!WaitUntil([&] { return !s.Options().has_value(); }))
    return Fail() << "the options window stayed after Ok";
  std::this_thread::sleep_for(300ms);
  s.desk->Type(Keys::Escape);
  const auto code = s.host->WaitFor(kPatience);
  if (!code) return Fail() << "Esc did not end fanhost";
  if (*code != 0) return Fail() << "fanhost ended with " << *code;
  return Ok();
}

Result NextRunShowsTheStoredChoice(Session& s) {
  const std::string before = vf::test::ReadBytes(s.settings);
  s.StartHost();
  if (Result shown = HostShown(s); !shown) return shown;
  // Wine shows a new window white until its first frame is presented: wait for the picture.
  const vf::test::CompareOptions near{24, false};
  WaitUntil([&] {
    return !vf::test::ImagesDiffer(s.desk->Capture(s.Corner()), s.cornerChanged, "", near);
  });
  if (!vf::test::ImagesMatch(s.desk->Capture(s.Corner()), s.cornerChanged,
                             "stored_background_corner", near))
    return Fail() << "the next run does not show the stored background";
  std::this_thread::sleep_for(200ms);
  s.desk->Type(Keys::AltF4);
  const auto code = s.host->WaitFor(kPatience);
  if (!code) return Fail() << "the window manager's close did not end fanhost";
  if (*code != 0) return Fail() << "fanhost ended with " << *code;
  if (vf::test::ReadBytes(s.settings) != before)
    return Fail() << "a run without a change rewrote the settings";
  return Ok();
}

TEST(PersonSession, OpensChangesDragsSnapsStoresAndRemembers) {
  Session s;
  const fs::path scratch = vf::test::ScratchFolder("person_session");
  s.scratch = scratch;
  s.folder = scratch / "player";
  fs::create_directories(s.folder / "PlugIns");
  for (const char* file : {VF_FANHOST_FILE, VF_MODULE_FILE, VF_PLATFORM_FILE})
    if (*file != '\0') fs::copy_file(file, s.folder / fs::path(file).filename());
  s.settings = s.folder / "PlugIns" / "Vindelux Fan.ini";
  s.track = scratch / "long.wav";
  WriteLongTrack(s.track);
  std::string why;
  s.desk = session::Desk::Open(scratch, why);
  ASSERT_NE(s.desk, nullptr) << why << " (see the logs in " << scratch << ")";

  const struct {
    const char* name;
    Result (*step)(Session&);
  } steps[] = {
      {"the host window shows the fans", HostShown},
      {"a click opens the options window at the cursor", ClickOpensOptionsAtTheCursor},
      {"the window is dragged by its surface with the left, right and middle button",
       DragsWithEveryButton},
      {"dropped near the screen's edge, the window snaps to it", SnapsToTheScreenEdge},
      {"the background slider changes the host's background at once", BackgroundChangesLive},
      {"the third fan and the speed slider take clicks", FanAndSpeedTakeClicks},
      {"Ok closes the window and writes the settings", OkClosesAndWrites},
      {"the window opens again, Ok gives the keyboard back, and Esc ends the host",
       ReopensAndQuitsByItsKey},
      {"the next run shows the stored choice and ends by the window manager's close",
       NextRunShowsTheStoredChoice},
  };
  s.StartHost();
  const auto handLog = [&] {
    std::string hand;
    for (const auto& line : s.diary) hand += line + "\n";
    vf::test::WriteBytes(scratch / "hand.log", hand);
    return hand;
  };
  for (const auto& step : steps) {
    s.Note(std::string("step: ") + step.name);
    const Result result = step.step(s);
    if (!result) {
      s.Note("failed");
      vf::test::WritePngFile(scratch / "screen-at-failure.png", s.desk->Capture({0, 0, 1024, 768}),
                             false);
      FAIL() << "step \"" << step.name << "\": " << result.message() << "\nwhat the hand did:\n"
             << handLog() << "(screen and logs in " << scratch << ")";
    }
  }
  handLog();
}

}  // namespace
