#pragma once

#include "host/version.h"

// The plug-in's identity answers: constant UTF-16 arrays in the module, so the host gets the same
// pointer on every call for as long as the module is loaded.
namespace vf {

inline constexpr char16_t kAuthorName[] = u"The Vindelux Fan developers";
inline constexpr char16_t kPluginName[] = u"Vindelux Fan";
inline constexpr char16_t kPluginInfo[] = u"Version " VF_VERSION_TEXT;
// What a current host's plug-in list shows besides the name and the author.
inline constexpr char16_t kPluginShortDescription[] =
    u"Spinning fans that turn faster as the music gets louder";
inline constexpr char16_t kPluginFullDescription[] =
    u"One or two spinning fans over a background, each turning faster as its channel gets louder. "
    u"Click the fans for the options: fan, background and speed. Version " VF_VERSION_TEXT;

}  // namespace vf
