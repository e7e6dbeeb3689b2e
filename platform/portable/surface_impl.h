#pragma once

#include "platform/pixel_buffer.h"
#include "platform/surface.h"

// The portable drawing surface: a device context is the address of a surface's state, so the
// copy functions and the compositor reach the pixels straight from the handle they are given.
struct platform::Surface::Impl {
  // Opaque RGB with the fourth byte carried along as it is, tightly packed, top row first.
  PixelBuffer pixels;
};

namespace platform::portable {

inline Surface::Impl* SurfaceFromDC(DeviceContext dc) { return static_cast<Surface::Impl*>(dc); }

}  // namespace platform::portable
