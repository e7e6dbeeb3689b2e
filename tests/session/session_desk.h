#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/pixel_buffer.h"

// What a person has in front of them: a screen with windows on it, a pointer with three buttons,
// a keyboard, and the programs they start. One implementation drives an X display of its own with
// a window manager, the other the Windows desktop (under wine, wine's own on the lane's display).
namespace session {

struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Box&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << b.width << "x" << b.height << "+" << b.left << "+" << b.top;
}

// A shown top-level window: its title and where its client area is on the screen.
struct ShownWindow {
  std::string title;
  Box client;
};

enum class Button { Left, Middle, Right };
enum class Keys { Escape, Enter, AltF4 };

// A started program.
class Program {
 public:
  virtual ~Program() = default;
  // Its exit code once it ended within the time, nothing otherwise.
  virtual std::optional<int> WaitFor(std::chrono::milliseconds limit) = 0;
  // What the system says the program is doing (where its threads wait), for a failure's message.
  virtual std::string State() const { return {}; }
};

class Desk {
 public:
  virtual ~Desk() = default;
  // A desk ready for use, or null with the reason in why; logs go to the folder.
  static std::unique_ptr<Desk> Open(const std::filesystem::path& logs, std::string& why);

  // Starts the program with the arguments, its output going to the log file.
  virtual std::unique_ptr<Program> Start(const std::filesystem::path& program,
                                         const std::vector<std::string>& args,
                                         const std::filesystem::path& log) = 0;
  virtual std::vector<ShownWindow> Windows() = 0;
  virtual void MovePointer(int x, int y) = 0;
  virtual void Press(Button button, bool down) = 0;
  virtual void Type(Keys keys) = 0;
  virtual platform::PixelBuffer Capture(const Box& area) = 0;
  virtual Box ScreenBox() = 0;
  // Windows' move loop ends with the left button only; after a drag with another button the
  // person ends it with Enter.
  virtual bool MoveLoopEndsWithEnter() const = 0;
  // Whether a window's move loop still holds its thread: the next press must wait for its end,
  // or the loop takes it as part of the move.
  virtual bool MoveLoopRunning() = 0;
};

}  // namespace session
