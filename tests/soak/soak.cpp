// The soak: the module driven through its export as a host drives it, fast, for a long session's
// worth of use: resizes through a table of sizes, options-window cycles (opened by a click, changed
// and closed through the window itself, or by the host's teardown), Initialize/Deinitialize pairs,
// load and unload cycles, and an hour of frames at the clock's pace, compressed in time. What the
// process holds is read after every round of every phase; a count that grows between the second
// round and the last by more than its slack fails the run. The first round is the warm-up: caches
// and the imaging library settle there.
//
// Usage: vf_soak [--quick] [--only WORD]
//   --quick: a tenth of each phase, to see that it runs; --only: the phases whose name begins so.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "fanhost/module_host.h"
#include "platform/message_pump.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "soak/export_host.h"
#include "soak/holdings.h"
#include "support/pump.h"
#include "window/screen_input.h"

namespace {

using namespace std::chrono_literals;
using platform::Point;
using platform::Rect;

constexpr int kRounds = 4;

struct Size {
  int width, height;
};
// Tiny, odd, the common screens, 4K and thin strips.
constexpr Size kSizes[] = {{1, 1},       {3, 7},       {17, 1},   {333, 251}, {640, 480},
                           {1920, 1080}, {3840, 2160}, {4000, 8}, {8, 3000},  {1280, 720}};

bool HasScreen() {
#ifdef _WIN32
  return true;
#else
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0';
#endif
}

bool OptionsShown(Rect& bounds) {
  const auto shown = window_test::OtherShownWindows(nullptr);
  if (shown.size() != 1) return false;
  bounds = shown[0];
  return true;
}

void ClickAt(Point at) {
  window_test::MovePointer(at);
  vf::test::PumpUntil([&] { return platform::CursorPos() == at; }, 5000ms);
  window_test::PressButton(platform::MouseButton::Left);
  window_test::ReleaseButton(platform::MouseButton::Left);
}

struct Phase {
  const char* name;
  int count;  // of its steps, in all rounds
  std::function<bool(int steps)> run;
};

}  // namespace

int main(int argc, char** argv) {
  bool quick = false;
  std::string only;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--quick") {
      quick = true;
    } else if (arg == "--only" && i + 1 < argc) {
      only = argv[++i];
    } else {
      std::fprintf(stderr, "usage: vf_soak [--quick] [--only WORD]\n");
      return 2;
    }
  }
  const int scale = quick ? 10 : 1;
  fanhost::ModuleHost module;
  if (!module.Load(fanhost::ModulePathBesideExecutable("VindeluxFan"))) {
    std::fprintf(stderr, "vf_soak: %s\n", module.LastError().c_str());
    return 2;
  }
  const bool screen = HasScreen();
  soak::Host host(module);
  host.Initialize();

  std::vector<Phase> phases;
  phases.push_back({"resizes", 10000 / scale, [&](int steps) {
                      for (int i = 0; i < steps; ++i) {
                        const Size s = kSizes[static_cast<std::size_t>(i) % std::size(kSizes)];
                        host.Resize(s.width, s.height);
                        host.Render(i % 101);
                        platform::PumpMessages();
                      }
                      host.Resize(320, 240);
                      return true;
                    }});
  if (screen) {
    phases.push_back(
        {"options window", 1000 / scale, [&](int steps) {
           for (int i = 0; i < steps; ++i) {
             window_test::MovePointer({300 + i % 7 * 20, 200});
             host.Click();
             Rect options;
             if (!vf::test::PumpUntil([&] { return OptionsShown(options); }, 10000ms)) {
               const auto shown = window_test::OtherShownWindows(nullptr);
               std::printf("cycle %d: the options window did not open (%zu windows shown)\n", i,
                           shown.size());
               for (const auto& r : shown)
                 std::printf("  %d,%d %dx%d\n", r.Left, r.Top, r.Width(), r.Bottom - r.Top);
               return false;
             }
             // A live change: the first or the third fan.
             ClickAt({options.Left + (i % 2 ? 152 : 202), options.Top + 36});
             host.Render(50);
             if (i % 2 == 0) {
               ClickAt({options.Left + 178, options.Top + 64});  // "Ok"
             } else {
               // The host stops the visualisation with the window open.
               host.Deinitialize();
               host.Initialize();
               host.Resize(320, 240);
             }
             if (!vf::test::PumpUntil(
                     [] { return window_test::OtherShownWindows(nullptr).empty(); }, 10000ms))
               return false;
           }
           return true;
         }});
  } else {
    std::puts("no display: the options window's phase is left out");
  }
  phases.push_back({"Initialize/Deinitialize", 100 / scale, [&](int steps) {
                      for (int i = 0; i < steps; ++i) {
                        host.Deinitialize();
                        host.Initialize();
                        host.Resize(320, 240);
                        host.Render(70);
                        platform::PumpMessages();
                      }
                      return true;
                    }});
  phases.push_back({"load/unload", 50 / scale, [&](int steps) {
                      for (int i = 0; i < steps; ++i) {
                        fanhost::ModuleHost other;
                        if (!other.Load(fanhost::ModulePathBesideExecutable("VindeluxFan")))
                          return false;
                        {
                          soak::Host second(other);
                          second.Initialize();
                          second.Resize(320, 240);
                          second.Render(90);
                          platform::PumpMessages();
                          second.Deinitialize();
                        }
                        other.Unload();
                      }
                      return true;
                    }});
  // An hour at 30 frames a second; the clock's ticks come as fast as the pump is asked.
  phases.push_back({"an hour of frames", 30 * 3600 / scale, [&](int steps) {
                      host.Resize(640, 480);
                      for (int i = 0; i < steps; ++i) {
                        host.Render(static_cast<int>(50 + 50 * std::sin(i / 40.0)));
                        platform::PumpMessages();
                      }
                      return true;
                    }});

#ifdef _WIN32
  if (!soak::GuiObjectsCounted())
    std::puts("wine counts no GDI or USER objects: they are left out");
#endif
  bool grew = false;
  std::printf("%-24s %5s %8s %s\n", "phase", "round", "seconds", "holdings after the round");
  for (const auto& phase : phases) {
    if (!std::string(phase.name).starts_with(only)) continue;
    std::vector<soak::Holdings> rounds;
    for (int round = 1; round <= kRounds; ++round) {
      const auto start = std::chrono::steady_clock::now();
      if (!phase.run(phase.count / kRounds)) {
        std::printf("%s: stopped in round %d\n", phase.name, round);
        return 1;
      }
      const double took =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      rounds.push_back(soak::Current());
      std::printf("%-24s %5d %8.1f%s\n", phase.name, round, took,
                  soak::Describe(rounds.back()).c_str());
      std::fflush(stdout);
    }
    for (const auto& last : rounds.back()) {
      // A count the system could not give in the second round is not compared.
      const auto second =
          std::find_if(rounds[1].begin(), rounds[1].end(),
                       [&](const soak::Count& c) { return std::string_view(c.name) == last.name; });
      if (second != rounds[1].end() && last.value > second->value + second->slack) {
        std::printf("%s: %s grew from %llu to %llu %s (slack %llu)\n", phase.name, last.name,
                    static_cast<unsigned long long>(second->value / last.unit),
                    static_cast<unsigned long long>(last.value / last.unit), last.unitName,
                    static_cast<unsigned long long>(second->slack / last.unit));
        grew = true;
      }
    }
  }
  host.Deinitialize();
  std::puts(grew ? "vf_soak: something grew" : "vf_soak: nothing grew");
  return grew ? 1 : 0;
}
