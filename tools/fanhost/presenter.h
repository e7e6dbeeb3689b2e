#pragma once

#include <functional>

#include "platform/surface.h"

// Where the visualisation area lives and what becomes of each painted frame: an off-screen surface
// written to files, or a window on the screen.
namespace fanhost {

// What the user asks of the player through its window.
struct HostInput {
  // Frame: the window system holds the player's loop up in a loop of its own (Windows, while the
  // window's border is dragged) and asks for a frame from there.
  enum class Kind { Resize, Click, TogglePause, Frame, Quit };
  Kind Type = Kind::Quit;
  int X = 0;  // Resize: the new width; Click: the position in the area
  int Y = 0;  // Resize: the new height
};
using HostInputHandler = std::function<void(const HostInput&)>;

class Presenter {
 public:
  virtual ~Presenter() = default;
  // The device context the plug-in paints into; its size is the area's.
  virtual platform::DeviceContext DC() = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Where the user's requests go; an off-screen area has none.
  virtual void OnInput(HostInputHandler) {}
  // Called after every render call with the frame's number.
  virtual void FramePainted(long frame) = 0;
  // Called once after the last frame; false when a file it was to write could not be written
  // (said on standard error).
  virtual bool Finish() = 0;
};

}  // namespace fanhost
