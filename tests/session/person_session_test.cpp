// A person's whole session with the substitute host and the real module, on a display of the
// test's own with a window manager (openbox), driven only as a hand drives it: pointer moves,
// presses and releases and keys through XTEST. It reads only what a person sees, the windows'
// places and the screen's pixels as the X server has them, and the settings file beside the host.
// The steps run in order as one table; the first that fails names itself and leaves a picture of
// the screen in the build tree.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/image_compare.h"
#include "support/png_encode.h"
#include "support/scratch_folder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Everything a loaded two-core machine may need to map, paint or move a window.
constexpr auto kPatience = 15s;

struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  int Right() const { return left + width; }
  bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << b.width << "x" << b.height << "+" << b.left << "+" << b.top;
}

// A child process: started with its own arguments and environment, waited for or killed.
class Child {
 public:
  Child() = default;
  Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& extraEnv,
        int outFd = -1) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      if (!extraEnv.contains(entry.substr(0, entry.find('=')))) env.push_back(entry);
    }
    for (const auto& [key, value] : extraEnv) env.push_back(key + "=" + value);
    std::vector<char*> args, envp;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    args.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outFd >= 0) {
      posix_spawn_file_actions_adddup2(&actions, outFd, 1);
      posix_spawn_file_actions_adddup2(&actions, outFd, 2);
    }
    if (posix_spawnp(&FPid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) FPid = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  Child(Child&& other) noexcept : FPid(std::exchange(other.FPid, -1)) {}
  Child& operator=(Child&& other) noexcept {
    Stop();
    FPid = std::exchange(other.FPid, -1);
    return *this;
  }
  ~Child() { Stop(); }

  bool Started() const { return FPid > 0; }
  // The exit code once it ended within the time, nothing otherwise.
  std::optional<int> WaitFor(std::chrono::milliseconds limit) {
    const auto until = Clock::now() + limit;
    while (FPid > 0) {
      int status = 0;
      const pid_t got = waitpid(FPid, &status, WNOHANG);
      if (got == FPid) {
        FPid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      if (Clock::now() > until) return std::nullopt;
      std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
  }
  void Stop() {
    if (FPid <= 0) return;
    kill(FPid, SIGTERM);
    if (!WaitFor(3s)) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
    FPid = -1;
  }

 private:
  pid_t FPid = -1;
};

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
  std::string data;
  for (std::uint32_t i = 0; i < kRate * kSeconds; ++i) {
    const auto sample = static_cast<std::int16_t>(20000 * std::sin(2 * M_PI * 440.0 * i / kRate));
    for (int channel = 0; channel < 2; ++channel) {
      data.push_back(static_cast<char>(sample & 0xFF));
      data.push_back(static_cast<char>((sample >> 8) & 0xFF));
    }
  }
  auto u32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  auto u16 = [](std::uint16_t v) { return std::string{static_cast<char>(v), static_cast<char>(v >> 8)}; };
  const std::string header = "RIFF" + u32(36 + static_cast<std::uint32_t>(data.size())) + "WAVEfmt " + u32(16) +
                             u16(1) + u16(2) + u32(kRate) + u32(kRate * 4) + u16(4) + u16(16) + "data" +
                             u32(static_cast<std::uint32_t>(data.size()));
  vf::test::WriteBytes(file, header + data);
}

// The display, its window manager and the hand.
class Screen {
 public:
  bool Start(const fs::path& logs) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    const int log = open((logs / "xvfb.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // Xvfb picks a free display number itself and writes it to the pipe.
    FServer = Child({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24", "-nolisten",
                     "tcp"},
                    {}, log);
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
    close(fds[0]);
    if (number.empty()) return false;
    FName = ":" + number;
    // Windows come and go while the tree is walked: a query about one that just went is no error.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    FDisplay = XOpenDisplay(FName.c_str());
    if (FDisplay == nullptr) return false;
    const int wmLog = open((logs / "openbox.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    FManager = Child({"openbox", "--sm-disable"}, {{"DISPLAY", FName}}, wmLog);
    // The manager is up once it owns the screen's selection.
    const Atom selection = XInternAtom(FDisplay, "WM_S0", False);
    return WaitUntil([&] { return XGetSelectionOwner(FDisplay, selection) != 0; });
  }
  ~Screen() {
    if (FDisplay != nullptr) XCloseDisplay(FDisplay);
  }
  const std::string& Name() const { return FName; }

  // The shown top-level client windows, found below the manager's frames: name and place.
  struct Shown {
    std::string name;
    Box box;
  };
  std::vector<Shown> Windows() {
    std::vector<Shown> found;
    Collect(DefaultRootWindow(FDisplay), found, 0);
    return found;
  }
  std::optional<Box> WindowNamed(const std::string& name) {
    for (const auto& w : Windows())
      if (w.name == name) return w.box;
    return std::nullopt;
  }
  // The options window: the shown window of its size, whatever its name.
  std::optional<Box> WindowSized(int width, int height) {
    for (const auto& w : Windows())
      if (w.box.width == width && w.box.height == height) return w.box;
    return std::nullopt;
  }

  // The pointer is warped, as xdotool and remote-desktop tools move it: that makes motion without
  // the raw input events a physical mouse adds, so nothing may rely on those to see it move.
  void Move(int x, int y) {
    XWarpPointer(FDisplay, 0, DefaultRootWindow(FDisplay), 0, 0, 0, 0, x, y);
    XSync(FDisplay, False);
  }
  void Button(unsigned button, bool down) {
    XTestFakeButtonEvent(FDisplay, button, down ? True : False, CurrentTime);
    XSync(FDisplay, False);
  }
  void Click(int x, int y, unsigned button = 1) {
    Move(x, y);
    std::this_thread::sleep_for(60ms);
    Button(button, true);
    std::this_thread::sleep_for(60ms);
    Button(button, false);
  }
  void Keys(std::initializer_list<KeySym> chord) {
    for (KeySym k : chord) XTestFakeKeyEvent(FDisplay, XKeysymToKeycode(FDisplay, k), True, CurrentTime);
    for (auto it = std::rbegin(chord); it != std::rend(chord); ++it)
      XTestFakeKeyEvent(FDisplay, XKeysymToKeycode(FDisplay, *it), False, CurrentTime);
    XSync(FDisplay, False);
  }
  platform::PixelBuffer Capture(const Box& area) {
    XImage* image = XGetImage(FDisplay, DefaultRootWindow(FDisplay), area.left, area.top,
                              static_cast<unsigned>(area.width), static_cast<unsigned>(area.height), AllPlanes,
                              ZPixmap);
    platform::PixelBuffer out(area.width, area.height);
    if (image == nullptr) return out;
    for (int y = 0; y < area.height; ++y) {
      for (int x = 0; x < area.width; ++x) {
        const unsigned long p = XGetPixel(image, x, y);
        out.At(x, y) = {static_cast<std::uint8_t>(p & 0xFF), static_cast<std::uint8_t>((p >> 8) & 0xFF),
                        static_cast<std::uint8_t>((p >> 16) & 0xFF), 255};
      }
    }
    XDestroyImage(image);
    return out;
  }

 private:
  void Collect(Window window, std::vector<Shown>& found, int depth) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(FDisplay, window, &root, &parent, &children, &count)) return;
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes a;
      if (!XGetWindowAttributes(FDisplay, children[i], &a) || a.map_state != IsViewable) continue;
      char* name = nullptr;
      const bool named = XFetchName(FDisplay, children[i], &name) && name != nullptr;
      const std::string text = named ? name : "";
      if (name != nullptr) XFree(name);
      // A client is a window the manager framed (depth 1 or 2) or one it left alone (depth 0).
      int x = 0, y = 0;
      Window child = 0;
      XTranslateCoordinates(FDisplay, children[i], DefaultRootWindow(FDisplay), 0, 0, &x, &y, &child);
      if (a.width > 1 && a.height > 1 && (named || a.override_redirect || depth > 0) &&
          !(a.width == 1024 && a.height == 768))
        found.push_back({text, {x, y, a.width, a.height}});
      if (depth < 3) Collect(children[i], found, depth + 1);
    }
    if (children != nullptr) XFree(children);
  }

  Child FServer;
  Child FManager;
  Display* FDisplay = nullptr;
  std::string FName;
};

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
  Screen screen;
  fs::path folder;    // the "player": fanhost, its module and PlugIns
  fs::path settings;  // PlugIns/Vindelux Fan.ini
  fs::path track;
  fs::path scratch;  // logs and pictures of the screen
  Child host;
  int run = 0;
  Box hostBox;
  Box options;
  platform::PixelBuffer cornerBefore, cornerChanged;

  void StartHost() {
    ++run;
    const int log = open((folder / ("fanhost-run" + std::to_string(run) + ".log")).c_str(),
                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    host = Child({(folder / "fanhost").string(), "--wav", track.string(), "--size", "640x480"},
                 {{"DISPLAY", screen.Name()}, {"SDL_AUDIODRIVER", "dummy"}}, log);
  }
  // The top-left corner of the picture, where the background shows and no fan reaches.
  Box Corner() const { return {hostBox.left + 4, hostBox.top + 4, 40, 40}; }
  // Focuses the host window by its title bar, as a person does before pressing its keys.
  void FocusHost() { screen.Click(hostBox.left + hostBox.width / 2, hostBox.top - 8); }
  // Presses on the options window's own surface and moves it by (dx, dy) with the button held.
  void DragOptions(unsigned button, int dx, int dy) {
    const int x = options.left + kBareX, y = options.top + kBareY;
    screen.Move(x, y);
    std::this_thread::sleep_for(80ms);
    screen.Button(button, true);
    std::this_thread::sleep_for(120ms);
    for (int step = 1; step <= 4; ++step) {
      screen.Move(x + dx * step / 4, y + dy * step / 4);
      std::this_thread::sleep_for(60ms);
    }
    std::this_thread::sleep_for(150ms);
    screen.Button(button, false);
  }
};

using Result = ::testing::AssertionResult;
Result Ok() { return ::testing::AssertionSuccess(); }
Result Fail() { return ::testing::AssertionFailure(); }

Result HostShown(Session& s) {
  if (!s.host.Started()) return Fail() << "fanhost did not start";
  if (!WaitUntil([&] {
        auto box = s.screen.WindowNamed("Vindelux Fan");
        if (box && box->width == 640 && box->height == 480) s.hostBox = *box;
        return box && box->width == 640;
      }))
    return Fail() << "no 640 x 480 window named \"Vindelux Fan\"";
  // Wait for the picture to be there: the corner stops being the display's black.
  if (!WaitUntil([&] {
        s.cornerBefore = s.screen.Capture(s.Corner());
        return s.cornerBefore.At(20, 20).r + s.cornerBefore.At(20, 20).g + s.cornerBefore.At(20, 20).b > 0;
      }))
    return Fail() << "the host window shows nothing";
  return Ok();
}

Result ClickOpensOptionsAtTheCursor(Session& s) {
  const int x = s.hostBox.left + 300, y = s.hostBox.top + 150;
  s.screen.Click(x, y);
  if (!WaitUntil([&] { return s.screen.WindowSized(kOptionsWidth, kOptionsHeight).has_value(); }))
    return Fail() << "no 224 x 130 options window appeared";
  s.options = *s.screen.WindowSized(kOptionsWidth, kOptionsHeight);
  const Box expected{x - kOptionsWidth / 2, y + 5, kOptionsWidth, kOptionsHeight};
  if (!(s.options == expected)) return Fail() << "options at " << s.options << ", expected " << expected;
  // What the person sees now, to look at.
  WaitUntil([&] { return vf::test::ImagesDiffer(s.screen.Capture(s.options), platform::PixelBuffer(kOptionsWidth, kOptionsHeight), "", {}); });
  vf::test::WritePngFile(s.scratch / "screen-options-open.png", s.screen.Capture({0, 0, 1024, 768}), false);
  return Ok();
}

Result BackgroundChangesLive(Session& s) {
  for (int i = 0; i < 2; ++i) {
    s.screen.Click(s.options.left + kBackgroundTrackX, s.options.top + kBackgroundTrackY);
    std::this_thread::sleep_for(150ms);
  }
  if (!WaitUntil([&] {
        s.cornerChanged = s.screen.Capture(s.Corner());
        return static_cast<bool>(vf::test::ImagesDiffer(s.cornerChanged, s.cornerBefore, "corner", {24, false}));
      }))
    return Fail() << "the host window's background did not change";
  return Ok();
}

Result FanAndSpeedTakeClicks(Session& s) {
  s.screen.Click(s.options.left + kThirdFanX, s.options.top + kThirdFanY);
  for (int i = 0; i < 2; ++i) {
    std::this_thread::sleep_for(150ms);
    s.screen.Click(s.options.left + kSpeedTrackX, s.options.top + kSpeedTrackY);
  }
  std::this_thread::sleep_for(200ms);
  if (fs::exists(s.settings)) return Fail() << "the settings were written before Ok";
  return Ok();
}

Result DragsWithEveryButton(Session& s) {
  const struct {
    unsigned button;
    int dx, dy;
  } drags[] = {{1, 60, 40}, {3, -30, 50}, {2, 40, -20}};
  for (const auto& drag : drags) {
    const Box from = s.options;
    s.DragOptions(drag.button, drag.dx, drag.dy);
    const Box expected{from.left + drag.dx, from.top + drag.dy, from.width, from.height};
    if (!WaitUntil([&] { return s.screen.WindowSized(kOptionsWidth, kOptionsHeight) == expected; }, 5s))
      return Fail() << "button " << drag.button << ": options at "
                    << s.screen.WindowSized(kOptionsWidth, kOptionsHeight).value_or(Box{}) << ", expected "
                    << expected;
    s.options = expected;
  }
  return Ok();
}

Result SnapsToTheScreenEdge(Session& s) {
  // Dropped 6 pixels from the left edge of the screen, the window snaps to it.
  s.DragOptions(1, 6 - s.options.left, 0);
  const Box expected{0, s.options.top, kOptionsWidth, kOptionsHeight};
  if (!WaitUntil([&] { return s.screen.WindowSized(kOptionsWidth, kOptionsHeight) == expected; }, 5s))
    return Fail() << "options at " << s.screen.WindowSized(kOptionsWidth, kOptionsHeight).value_or(Box{})
                  << ", expected " << expected;
  s.options = expected;
  return Ok();
}

Result OkClosesAndWrites(Session& s) {
  s.screen.Click(s.options.left + kOkX, s.options.top + kOkY);
  if (!WaitUntil([&] { return !s.screen.WindowSized(kOptionsWidth, kOptionsHeight).has_value(); }))
    return Fail() << "the options window stayed after Ok";
  if (!WaitUntil([&] { return fs::exists(s.settings); })) return Fail() << "Ok wrote no settings file";
  const auto values = ReadOptions(s.settings);
  const std::map<std::string, std::string> expected{{"Fan", "2"}, {"Background", "4"}, {"Speed", "14"}};
  for (const auto& [key, value] : expected) {
    if (!values.contains(key) || values.at(key) != value)
      return Fail() << key << " is \"" << (values.contains(key) ? values.at(key) : "") << "\", expected " << value;
  }
  return Ok();
}

Result ReopensAndQuitsByItsKey(Session& s) {
  s.screen.Click(s.hostBox.left + 200, s.hostBox.top + 100);
  if (!WaitUntil([&] { return s.screen.WindowSized(kOptionsWidth, kOptionsHeight).has_value(); }))
    return Fail() << "a second click opened no options window";
  s.FocusHost();
  std::this_thread::sleep_for(200ms);
  s.screen.Keys({XK_Escape});
  const auto code = s.host.WaitFor(kPatience);
  if (!code) return Fail() << "Esc did not end fanhost";
  if (*code != 0) return Fail() << "fanhost ended with " << *code;
  return Ok();
}

Result NextRunShowsTheStoredChoice(Session& s) {
  const std::string before = vf::test::ReadBytes(s.settings);
  s.StartHost();
  if (Result shown = HostShown(s); !shown) return shown;
  if (!vf::test::ImagesMatch(s.screen.Capture(s.Corner()), s.cornerChanged, "stored_background_corner", {24, false}))
    return Fail() << "the next run does not show the stored background";
  s.FocusHost();
  std::this_thread::sleep_for(200ms);
  s.screen.Keys({XK_Alt_L, XK_F4});
  const auto code = s.host.WaitFor(kPatience);
  if (!code) return Fail() << "the window manager's close did not end fanhost";
  if (*code != 0) return Fail() << "fanhost ended with " << *code;
  if (vf::test::ReadBytes(s.settings) != before) return Fail() << "a run without a change rewrote the settings";
  return Ok();
}

TEST(PersonSession, OpensChangesDragsSnapsStoresAndRemembers) {
  Session s;
  const fs::path scratch = vf::test::ScratchFolder("person_session");
  s.scratch = scratch;
  s.folder = scratch / "player";
  fs::create_directories(s.folder / "PlugIns");
  for (const char* file : {VF_FANHOST_FILE, VF_MODULE_FILE, VF_PLATFORM_FILE})
    fs::copy_file(file, s.folder / fs::path(file).filename());
  s.settings = s.folder / "PlugIns" / "Vindelux Fan.ini";
  s.track = scratch / "long.wav";
  WriteLongTrack(s.track);
  ASSERT_TRUE(s.screen.Start(scratch)) << "no virtual display with openbox (see the logs in " << scratch << ")";

  const struct {
    const char* name;
    Result (*step)(Session&);
  } steps[] = {
      {"the host window shows the fans", HostShown},
      {"a click opens the options window at the cursor", ClickOpensOptionsAtTheCursor},
      {"the window is dragged by its surface with the left, right and middle button", DragsWithEveryButton},
      {"dropped near the screen's edge, the window snaps to it", SnapsToTheScreenEdge},
      {"the background slider changes the host's background at once", BackgroundChangesLive},
      {"the third fan and the speed slider take clicks", FanAndSpeedTakeClicks},
      {"Ok closes the window and writes the settings", OkClosesAndWrites},
      {"the window opens again, and Esc ends the host", ReopensAndQuitsByItsKey},
      {"the next run shows the stored choice and ends by the window manager's close",
       NextRunShowsTheStoredChoice},
  };
  s.StartHost();
  for (const auto& step : steps) {
    const Result result = step.step(s);
    if (!result) {
      vf::test::WritePngFile(scratch / "screen-at-failure.png", s.screen.Capture({0, 0, 1024, 768}), false);
      FAIL() << "step \"" << step.name << "\": " << result.message() << " (screen and logs in " << scratch
             << ")";
    }
  }
}

}  // namespace
