// The desk on X: an Xvfb display of its own, openbox managing it, and the hand through XTEST,
// the pointer warped as xdotool and remote-desktop tools move it (motion without the raw input
// events a physical mouse adds, so nothing may rely on those). Our header goes first: Xlib's
// macros would break it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <utility>

#include "session_desk.h"

extern char** environ;

namespace session {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class Child final : public Program {
 public:
  Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& extraEnv,
        const std::filesystem::path& log) {
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
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (posix_spawnp(&FPid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) FPid = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Child() override {
    if (FPid <= 0) return;
    kill(FPid, SIGTERM);
    if (!WaitFor(3s)) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
  }
  bool Started() const { return FPid > 0; }

  std::string State() const override {
    std::string state;
    const std::filesystem::path tasks = "/proc/" + std::to_string(FPid) + "/task";
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
      std::ifstream comm(task.path() / "comm"), wchan(task.path() / "wchan");
      std::string name, where;
      std::getline(comm, name);
      std::getline(wchan, where);
      state +=
          "thread " + task.path().filename().string() + " (" + name + ") waits in " + where + "\n";
    }
    return state;
  }

  std::optional<int> WaitFor(std::chrono::milliseconds limit) override {
    const auto until = Clock::now() + limit;
    while (FPid > 0) {
      int status = 0;
      if (waitpid(FPid, &status, WNOHANG) == FPid) {
        FPid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      if (Clock::now() > until) return std::nullopt;
      std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
  }

 private:
  pid_t FPid = -1;
};

class X11Desk final : public Desk {
 public:
  bool Open(const std::filesystem::path& logs, std::string& why) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    // Xvfb picks a free display number itself and writes it to the pipe.
    FServer = std::make_unique<Child>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                 "1024x768x24", "-nolisten", "tcp"},
        std::map<std::string, std::string>{}, logs / "xvfb.log");
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
    close(fds[0]);
    if (number.empty()) return (why = "Xvfb did not start"), false;
    FName = ":" + number;
    // Windows come and go while the tree is walked: a query about one that just went is no error.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    FDisplay = XOpenDisplay(FName.c_str());
    if (FDisplay == nullptr) return (why = "no connection to " + FName), false;
    return StartManager(logs, why);
  }
  ~X11Desk() override {
    if (FDisplay != nullptr) XCloseDisplay(FDisplay);
  }

  std::unique_ptr<Program> Start(const std::filesystem::path& program,
                                 const std::vector<std::string>& args,
                                 const std::filesystem::path& log) override {
    std::vector<std::string> argv{program.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    // The session is about windows: sound goes nowhere, whatever sound server the machine runs.
    auto child = std::make_unique<Child>(
        argv, std::map<std::string, std::string>{{"DISPLAY", FName}, {"SDL_AUDIODRIVER", "dummy"}},
        log);
    if (!child->Started()) return nullptr;
    return child;
  }

  std::vector<ShownWindow> Windows() override {
    std::vector<ShownWindow> found;
    Collect(DefaultRootWindow(FDisplay), found, 0);
    return found;
  }

  void MovePointer(int x, int y) override {
    XWarpPointer(FDisplay, 0, DefaultRootWindow(FDisplay), 0, 0, 0, 0, x, y);
    XSync(FDisplay, False);
  }
  void Press(Button button, bool down) override {
    const unsigned number = button == Button::Left ? 1 : button == Button::Middle ? 2 : 3;
    XTestFakeButtonEvent(FDisplay, number, down ? True : False, CurrentTime);
    XSync(FDisplay, False);
  }
  void Type(Keys keys) override {
    std::vector<KeySym> chord;
    switch (keys) {
      case Keys::Escape: chord = {XK_Escape}; break;
      case Keys::Enter: chord = {XK_Return}; break;
      case Keys::AltF4: chord = {XK_Alt_L, XK_F4}; break;
    }
    for (KeySym k : chord)
      XTestFakeKeyEvent(FDisplay, XKeysymToKeycode(FDisplay, k), True, CurrentTime);
    for (auto it = chord.rbegin(); it != chord.rend(); ++it)
      XTestFakeKeyEvent(FDisplay, XKeysymToKeycode(FDisplay, *it), False, CurrentTime);
    XSync(FDisplay, False);
  }
  platform::PixelBuffer Capture(const Box& area) override {
    platform::PixelBuffer out(area.width, area.height);
    XImage* image = XGetImage(FDisplay, DefaultRootWindow(FDisplay), area.left, area.top,
                              static_cast<unsigned>(area.width), static_cast<unsigned>(area.height),
                              AllPlanes, ZPixmap);
    if (image == nullptr) return out;
    for (int y = 0; y < area.height; ++y) {
      for (int x = 0; x < area.width; ++x) {
        const unsigned long p = XGetPixel(image, x, y);
        out.At(x, y) = {static_cast<std::uint8_t>(p & 0xFF),
                        static_cast<std::uint8_t>((p >> 8) & 0xFF),
                        static_cast<std::uint8_t>((p >> 16) & 0xFF), 255};
      }
    }
    XDestroyImage(image);
    return out;
  }
  Box ScreenBox() override {
    return {0, 0, DisplayWidth(FDisplay, DefaultScreen(FDisplay)),
            DisplayHeight(FDisplay, DefaultScreen(FDisplay))};
  }
  bool MoveLoopEndsWithEnter() const override { return false; }
  // The window manager moves the window; it lets go with the button.
  bool MoveLoopRunning() override { return false; }

 private:
  bool StartManager(const std::filesystem::path& logs, std::string& why) {
    // Its own configuration folders, so that nothing of the account it runs under plays a part.
    const std::filesystem::path home = logs / "openbox-home";
    for (const char* folder : {"config", "cache", "data"})
      std::filesystem::create_directories(home / folder);
    const std::filesystem::path log = logs / "openbox.log";
    FManager = std::make_unique<Child>(
        std::vector<std::string>{"openbox", "--sm-disable"},
        std::map<std::string, std::string>{{"DISPLAY", FName},
                                           {"XDG_CONFIG_HOME", (home / "config").string()},
                                           {"XDG_CACHE_HOME", (home / "cache").string()},
                                           {"XDG_DATA_HOME", (home / "data").string()}},
        log);
    const auto explain = [&](const std::string& what) {
      std::ifstream in(log);
      std::ostringstream said;
      said << in.rdbuf();
      return "openbox " + what + "; " + FManager->State() + "it said: " + said.str();
    };
    // The manager is up once it owns the screen's selection.
    const Atom selection = XInternAtom(FDisplay, "WM_S0", False);
    const auto until = Clock::now() + 15s;
    while (XGetSelectionOwner(FDisplay, selection) == 0) {
      if (const auto code = FManager->WaitFor(0ms))
        return (why = explain("ended with code " + std::to_string(*code))), false;
      if (Clock::now() > until) return (why = explain("did not take the screen in 15 s")), false;
      std::this_thread::sleep_for(25ms);
    }
    // And it is ready once it maps a window it is asked to. It owns the selection a moment before
    // it handles requests, and a map asked for in that moment is dropped for good (a program that
    // waits for its window would wait forever): the probe asks again until it is shown.
    const Window probe =
        XCreateSimpleWindow(FDisplay, DefaultRootWindow(FDisplay), 0, 0, 10, 10, 0, 0, 0);
    const auto ready = Clock::now() + 60s;
    XWindowAttributes a{};
    bool mapped = false;
    for (auto ask = Clock::now();
         !(mapped = XGetWindowAttributes(FDisplay, probe, &a) && a.map_state == IsViewable);) {
      if (const auto code = FManager->WaitFor(0ms)) {
        why = explain("ended with code " + std::to_string(*code) + " before it showed a window");
        break;
      }
      if (Clock::now() > ready) {
        why = explain("showed no window in 60 s");
        break;
      }
      if (Clock::now() >= ask) {
        XUnmapWindow(FDisplay, probe);
        XMapWindow(FDisplay, probe);
        XSync(FDisplay, False);
        ask = Clock::now() + 500ms;
      }
      std::this_thread::sleep_for(25ms);
    }
    XDestroyWindow(FDisplay, probe);
    XSync(FDisplay, False);
    return mapped;
  }

  // The clients below the manager's frames: named windows, or unmanaged ones at the top level.
  void Collect(Window window, std::vector<ShownWindow>& found, int depth) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(FDisplay, window, &root, &parent, &children, &count)) return;
    const Box screen = ScreenBox();
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes a;
      if (!XGetWindowAttributes(FDisplay, children[i], &a) || a.map_state != IsViewable) continue;
      char* name = nullptr;
      const bool named = XFetchName(FDisplay, children[i], &name) && name != nullptr;
      const std::string title = named ? name : "";
      if (name != nullptr) XFree(name);
      int x = 0, y = 0;
      Window child = 0;
      XTranslateCoordinates(FDisplay, children[i], DefaultRootWindow(FDisplay), 0, 0, &x, &y,
                            &child);
      const bool wholeScreen = a.width == screen.width && a.height == screen.height;
      if (a.width > 1 && a.height > 1 && (named || a.override_redirect || depth > 0) &&
          !wholeScreen)
        found.push_back({title, {x, y, a.width, a.height}});
      if (depth < 3) Collect(children[i], found, depth + 1);
    }
    if (children != nullptr) XFree(children);
  }

  std::unique_ptr<Child> FServer;
  std::unique_ptr<Child> FManager;
  Display* FDisplay = nullptr;
  std::string FName;
};

}  // namespace

std::unique_ptr<Desk> Desk::Open(const std::filesystem::path& logs, std::string& why) {
  auto desk = std::make_unique<X11Desk>();
  if (!desk->Open(logs, why)) return nullptr;
  return desk;
}

}  // namespace session
