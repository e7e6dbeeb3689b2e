#pragma once

// Platform functions are exported from the shared portable library on Linux; on Windows the
// platform layer is linked into each binary and needs no decoration.
#if defined(_WIN32)
#define VF_PLATFORM_API
#else
#define VF_PLATFORM_API __attribute__((visibility("default")))
#endif

// The host boundary and the timer callbacks use the Windows stdcall convention on 32-bit x86. On
// every other target the attribute is meaningless, so it is left out.
#if defined(_WIN32) && defined(__i386__)
#define VF_STDCALL __attribute__((stdcall))
#else
#define VF_STDCALL
#endif

// The plug-in module's own export.
#if defined(_WIN32)
#define VF_MODULE_EXPORT __declspec(dllexport)
#else
#define VF_MODULE_EXPORT __attribute__((visibility("default")))
#endif
