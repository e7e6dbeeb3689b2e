#pragma once

// SSE2 paths of the portable pixel loops. SSE2 is part of every x86-64 processor; elsewhere the
// plain loops run, and they compute exactly the same integers.
#if defined(__SSE2__)
#include <emmintrin.h>
#define VF_PORTABLE_SSE2 1
#endif

namespace platform::portable {

// On by default. Tests switch it off to check that the plain loops give the same pixels.
void SetVectorCode(bool enabled);
bool VectorCode();

}  // namespace platform::portable
