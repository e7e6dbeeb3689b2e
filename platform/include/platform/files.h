#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/api.h"

// Files and folders beyond the profile service: where this user's settings belong, making a
// folder, and when a file was last written.
namespace platform {

// The folder for this user's settings of one application, by the platform's own convention: on
// Windows the application's display name in the roaming application-data folder
// (SHGetKnownFolderPath(FOLDERID_RoamingAppData)); elsewhere its package name in $XDG_CONFIG_HOME,
// or in ~/.config where that variable is unset or not an absolute path, as the XDG base-directory
// rules say. Empty when the system names no such folder. Asking creates nothing.
VF_PLATFORM_API std::u16string UserSettingsFolder(std::u16string_view displayName,
                                                  std::u16string_view packageName);

// CreateDirectoryW, making the missing folders above it first: true when the folder exists
// afterwards, made now or before. False when the platform refuses (the last error tells why;
// ERROR_ALREADY_EXISTS where a file holds the name). A folder made elsewhere than on Windows is
// its owner's only (mode 0700), as the XDG rules ask.
VF_PLATFORM_API bool CreateFolder(const std::u16string& folder);

// The file's last write time in Windows' 100-nanosecond ticks since 1601 (GetFileAttributesExW),
// or nothing when the file is missing, is a folder, or cannot be examined.
VF_PLATFORM_API std::optional<std::uint64_t> FileLastWriteTime(const std::u16string& path);

}  // namespace platform
