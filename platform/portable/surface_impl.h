#pragma once

#include "platform/pixel_buffer.h"
#include "platform/surface.h"

// The portable drawing surface: a device context is the address of a surface's state. Every live
// state is registered, so a handle that is not one (a stale one, or anything else a host hands
// over) is recognised and refused, as GDI refuses an invalid handle, instead of being used blindly.
struct platform::Surface::Impl {
  Impl();
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  // Opaque RGB with the fourth byte carried along as it is, tightly packed, top row first.
  PixelBuffer pixels;
};

namespace platform::portable {

// The surface behind a device context; null for null and for anything that is not a live surface.
Surface::Impl* SurfaceFromDC(DeviceContext dc);

}  // namespace platform::portable
