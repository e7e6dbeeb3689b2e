#include "fanhost/options.h"

#include <cstdio>
#include <cstdlib>

namespace fanhost {

namespace {

// A whole number in [low, high], or nothing.
bool ParseInt(const char* text, int low, int high, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < low || parsed > high) return false;
  value = static_cast<int>(parsed);
  return true;
}

// A number of seconds from 0 to kMaxSeconds, or nothing: "inf" and "nan" are no length, and the
// count of frames made of it must fit an integer.
bool ParseSeconds(const char* text, double& value) {
  constexpr double kMaxSeconds = 1e7;  // about 115 days
  char* end = nullptr;
  const double parsed = std::strtod(text, &end);
  if (end == text || *end != '\0' || !(parsed >= 0.0 && parsed <= kMaxSeconds)) return false;
  value = parsed;
  return true;
}

// Width x height, each 1 to 16384, or nothing.
bool ParseSize(const char* text, int& width, int& height) {
  int w = 0, h = 0, consumed = 0;
  if (std::sscanf(text, "%dx%d%n", &w, &h, &consumed) != 2 || text[consumed] != '\0') return false;
  if (w < 1 || h < 1 || w > 16384 || h > 16384) return false;
  width = w;
  height = h;
  return true;
}

}  // namespace

void PrintUsage() {
  std::puts(
      "usage: fanhost [--module FILE] [--wav FILE] [--seconds S] [--fps N] [--size WxH]\n"
      "               [--snapshot FILE.png] [--record FILE.png] [--record-fps N]\n"
      "               [--headless] [--options-demo] [--capture] [--capture-device NAME]\n"
      "               [--list-devices] [--interface first|current] [--profile DIR]\n"
      "Plays the built-in default track unless --wav is given, in a window where there is a\n"
      "display (Space pauses, F or a double click toggles full screen, Esc or Q quits) and off\n"
      "screen otherwise or with --headless. --snapshot writes the last frame, --record (off\n"
      "screen) an animated PNG of the whole run (10 frames a second unless --record-fps).\n"
      "--options-demo clicks the visualisation a second into the track, opening its options.\n"
      "--capture listens to what the machine plays instead of playing a track: the monitor of the\n"
      "sound server's default output, following it when another output becomes the default, or\n"
      "without a sound server the default recording device; until the window closes or for\n"
      "--seconds (which off screen it needs). Space then stops listening. --capture-device NAME\n"
      "listens to that source instead; --list-devices lists the sources and the one --capture "
      "uses.\n"
      "--interface current drives the module as a current player does, through its plug-in header\n"
      "and the visualisation it registers, drawn from a thread of its own; its settings go to the\n"
      "profile folder (--profile, by default the folder \"Profile\" beside fanhost).");
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    auto needsValue = [&] {
      if (value == nullptr) error = arg + " needs a value";
      return value != nullptr;
    };
    bool ok = true;
    if (arg == "--help" || arg == "-h") {
      error = "help";
      return false;
    } else if (arg == "--headless" || arg == "--options-demo" || arg == "--capture" ||
               arg == "--list-devices") {
      (arg == "--headless"       ? options.headless
       : arg == "--capture"      ? options.capture
       : arg == "--list-devices" ? options.listDevices
                                 : options.optionsDemo) = true;
      continue;
    } else if (arg == "--capture-device") {
      if (!needsValue()) return false;
      options.captureDevice = value;
      options.capture = true;
    } else if (arg == "--interface") {
      if (!needsValue()) return false;
      const std::string name = value;
      if (name != "first" && name != "current") {
        error = "--interface is first or current, not " + name;
        return false;
      }
      options.currentInterface = name == "current";
    } else if (arg == "--module" || arg == "--wav" || arg == "--record" || arg == "--snapshot" ||
               arg == "--profile") {
      if (!needsValue()) return false;
      std::string& target = arg == "--module"    ? options.module
                            : arg == "--wav"     ? options.wav
                            : arg == "--record"  ? options.record
                            : arg == "--profile" ? options.profile
                                                 : options.snapshot;
      target = value;
    } else if (arg == "--record-fps") {
      ok = needsValue() && ParseInt(value, 1, 100, options.recordFps);
    } else if (arg == "--fps") {
      ok = needsValue() && ParseInt(value, 1, 240, options.fps);
    } else if (arg == "--seconds") {
      ok = needsValue() && ParseSeconds(value, options.seconds);
    } else if (arg == "--size") {
      ok = needsValue() && ParseSize(value, options.width, options.height);
    } else {
      error = "unknown argument " + arg;
      return false;
    }
    if (!ok) {
      if (error.empty()) error = "bad value for " + arg + ": " + value;
      return false;
    }
    ++i;
  }
  if (options.listDevices) return true;
  if (options.capture && !options.wav.empty()) {
    error = "--capture and --wav exclude each other: the sound comes from one of them";
    return false;
  }
  if (options.capture && options.headless && options.seconds == 0.0) {
    error = kCaptureNeedsSeconds;
    return false;
  }
  return true;
}

}  // namespace fanhost
