#pragma once

#include <string>

// What fanhost is asked to do, from its command line.
namespace fanhost {

struct Options {
  std::string module;
  std::string wav;
  std::string snapshot;
  std::string record;
  int recordFps = 10;
  double seconds = 0.0;  // 0: the whole track
  int fps = 30;
  int width = 640;
  int height = 480;
  bool headless = false;      // off screen even where a display exists
  bool optionsDemo = false;   // open the plug-in's options a second into the track
  bool capture = false;       // listen to what the machine plays instead of a track
  std::string captureDevice;  // listen to this source instead; empty: the default output's monitor
  bool listDevices = false;   // list the sources to listen to, and nothing else
  bool currentInterface = false;  // drive the module through its current interface's export
  std::string profile;            // the current interface's profile folder; empty: beside fanhost
};

// Off screen nothing but --seconds ends a capture.
inline constexpr const char* kCaptureNeedsSeconds =
    "--capture off screen needs --seconds: nothing else would end the run";

// False with the reason in error for arguments that make no sense.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

void PrintUsage();

}  // namespace fanhost
