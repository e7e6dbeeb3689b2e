// Profile files through kernel32's profile service, which keeps its own cached copy of the file.
#include "platform/profile.h"

#include <windows.h>

#include <vector>

namespace platform {
namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

}  // namespace

std::u16string GetPrivateProfileStringW(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue, std::uint32_t size,
                                       const std::u16string& fileName) {
  if (size == 0) return {};
  const std::u16string sectionText(section), keyText(key), defaultText(defaultValue);
  std::vector<wchar_t> buffer(size);
  const DWORD length = ::GetPrivateProfileStringW(Wide(sectionText), Wide(keyText), Wide(defaultText),
                                                buffer.data(), size, Wide(fileName));
  return std::u16string(buffer.begin(), buffer.begin() + length);
}

bool WritePrivateProfileStringW(std::u16string_view section, std::u16string_view key,
                               std::u16string_view value, const std::u16string& fileName) {
  const std::u16string sectionText(section), keyText(key), valueText(value);
  return ::WritePrivateProfileStringW(Wide(sectionText), Wide(keyText), Wide(valueText), Wide(fileName)) != FALSE;
}

void FlushPrivateProfile(const std::u16string& fileName) {
  // The service answers false after a flush whatever happened, so there is nothing to check.
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, Wide(fileName));
}

}  // namespace platform
