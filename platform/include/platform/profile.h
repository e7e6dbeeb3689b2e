#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/api.h"

// Profile (INI) files, as the Windows profile service reads and writes them: one value of one key
// of one section per call, the file opened by its path each time.
namespace platform {

// GetPrivateProfileStringW for one key: the key's value with surrounding blanks and one pair of
// enclosing quotes removed, or defaultValue when the file, the section or the key is missing. At
// most size - 1 characters come back, as from a buffer of size characters. Never creates the file.
VF_PLATFORM_API std::u16string GetPrivateProfileStringW(std::u16string_view section,
                                                       std::u16string_view key,
                                                       std::u16string_view defaultValue,
                                                       std::uint32_t size,
                                                       const std::u16string& fileName);

// WritePrivateProfileStringW for one key: creates the file and the section when they are missing,
// replaces the key's value when the key exists, adds it otherwise, and leaves the rest of the file
// as it was. False when the platform refuses the write (the last error tells why).
VF_PLATFORM_API bool WritePrivateProfileStringW(std::u16string_view section, std::u16string_view key,
                                               std::u16string_view value,
                                               const std::u16string& fileName);

// WritePrivateProfileStringW with a null section, key and value: lets go of any copy of the file
// the platform keeps, writing it out first.
VF_PLATFORM_API void FlushPrivateProfile(const std::u16string& fileName);

}  // namespace platform
