#pragma once

#include "platform/pixel_buffer.h"

// Pixel arithmetic of the portable imaging: converting between straight and premultiplied alpha,
// and source-over compositing onto an opaque surface. Every division by 255 rounds to nearest.
namespace platform::portable {

// Straight to premultiplied: each colour becomes colour x alpha / 255.
void PremultiplyRow(Pixel32* dest, const Pixel32* source, int count);

// Premultiplied to straight; a fully transparent pixel becomes (0, 0, 0, 0).
void UnpremultiplyRow(Pixel32* dest, const Pixel32* source, int count);

// Source-over of straight-alpha pixels, the arithmetic of a 1:1 draw:
// colour = (source x a + dest x (255 - a) + 127) / 255, and the fourth byte accumulates coverage,
// 255 - ((255 - dest) x (255 - a) + 127) / 255. a = 0 leaves a pixel as it is; a = 255 copies it.
void CompositeStraightRow(Pixel32* dest, const Pixel32* source, int count);

// Source-over of premultiplied pixels: each byte becomes source + dest x (255 - a) / 255.
void CompositePremultipliedRow(Pixel32* dest, const Pixel32* source, int count);

}  // namespace platform::portable
