// Files and folders through the shell's known folders and kernel32.
#include "platform/files.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace platform {
namespace {

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Frees what the shell allocated for a path on every way out.
struct TaskMemory {
  PWSTR text = nullptr;
  ~TaskMemory() { ::CoTaskMemFree(text); }
};

}  // namespace

std::u16string UserSettingsFolder(std::u16string_view displayName, std::u16string_view) {
  TaskMemory folder;
  // Without verification the path comes back even where the folder is missing, and nothing is made.
  if (FAILED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DONT_VERIFY, nullptr,
                                    &folder.text)) ||
      folder.text == nullptr || folder.text[0] == L'\0')
    return {};
  std::u16string path(reinterpret_cast<const char16_t*>(folder.text));
  if (path.back() != u'\\') path += u'\\';
  return path.append(displayName);
}

bool CreateFolder(const std::u16string& folder) {
  if (::CreateDirectoryW(Wide(folder), nullptr)) return true;
  DWORD error = ::GetLastError();
  if (error == ERROR_PATH_NOT_FOUND) {
    const std::size_t separator = folder.find_last_of(u"\\/");
    if (separator == std::u16string::npos || separator == 0) return false;
    if (!CreateFolder(folder.substr(0, separator))) return false;
    if (::CreateDirectoryW(Wide(folder), nullptr)) return true;
    error = ::GetLastError();
  }
  if (error != ERROR_ALREADY_EXISTS) return false;
  const DWORD attributes = ::GetFileAttributesW(Wide(folder));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return true;
  ::SetLastError(ERROR_ALREADY_EXISTS);
  return false;
}

std::optional<std::uint64_t> FileLastWriteTime(const std::u16string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return std::nullopt;
  return (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}

}  // namespace platform
