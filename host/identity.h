#pragma once

#include "host/version.h"

// The plug-in's identity answers: constant UTF-16 arrays in the module, so the host gets the same
// pointer on every call for as long as the module is loaded.
namespace vf {

inline constexpr char16_t kAuthorName[] = u"The Vindelux Fan developers";
inline constexpr char16_t kPluginName[] = u"Vindelux Fan";
inline constexpr char16_t kPluginInfo[] = u"Version " VF_VERSION_TEXT;

}  // namespace vf
