#pragma once

#include "platform/surface.h"

// Where the visualisation area lives and what becomes of each painted frame: an off-screen surface
// written to files, or a window on the screen.
namespace fanhost {

class Presenter {
 public:
  virtual ~Presenter() = default;
  // The device context the plug-in paints into; its size is the area's.
  virtual platform::DeviceContext DC() = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Called after every render call with the frame's number.
  virtual void FramePainted(long frame) = 0;
  // Called once after the last frame.
  virtual void Finish() = 0;
};

}  // namespace fanhost
