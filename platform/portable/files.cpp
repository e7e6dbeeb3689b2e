// Portable files and folders.
//
// Implemented: this user's settings folder by the XDG base-directory rules, CreateDirectory with
// the missing folders above it (each made with mode 0700) and the Windows error codes, and a file's
// last write time from its modification time.
#include "platform/files.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "error_codes.h"
#include "file_rules.h"
#include "platform/text.h"
#include "resources_impl.h"

namespace platform {
namespace {

using namespace portable::win_error;

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

// $HOME, or the account's home folder where the variable is unset or not absolute.
std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); IsAbsolute(home)) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && IsAbsolute(found->pw_dir))
    return found->pw_dir;
  return {};
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Follows CreateDirectoryW's answers: a missing folder above is made first, a name already taken by
// a folder counts as made, one taken by a file refuses with ERROR_ALREADY_EXISTS.
bool MakeFolder(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return true;
    portable::SetLastErrorCode(kErrorAlreadyExists);
    return false;
  }
  if (errno != ENOENT && errno != ENOTDIR) return portable::RefuseWith(errno);
  const std::string parent = portable::FolderOf(path);
  if (parent == path) return portable::RefuseWith(ENOENT);
  if (!MakeFolder(parent)) return false;
  struct stat parentInfo {};
  if (::stat(parent.c_str(), &parentInfo) != 0) return portable::RefuseWith(errno);
  if (!portable::WritePermitted(parent, parentInfo)) return portable::RefuseWith(EACCES);
  if (::mkdir(path.c_str(), 0700) == 0) return true;
  // Another process may have made it in the meantime.
  const int error = errno;
  if (error == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
  return portable::RefuseWith(error);
}

}  // namespace

std::u16string UserSettingsFolder(std::u16string_view, std::u16string_view packageName) {
  std::string base;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); IsAbsolute(config)) {
    base = config;
  } else {
    const std::string home = HomeFolder();
    if (home.empty()) return {};
    base = WithoutTrailingSlashes(home) + "/.config";
  }
  base = WithoutTrailingSlashes(std::move(base));
  if (base.back() != '/') base += '/';
  return Utf8ToUtf16(base) + std::u16string(packageName);
}

bool CreateFolder(const std::u16string& folder) {
  const std::string path = WithoutTrailingSlashes(Utf16ToUtf8(folder));
  if (path.empty()) return portable::RefuseWith(ENOENT);
  return MakeFolder(path);
}

std::optional<std::uint64_t> FileLastWriteTime(const std::u16string& path) {
  struct stat info {};
  if (::stat(Utf16ToUtf8(path).c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
  // Seconds between 1601-01-01 and 1970-01-01, the two epochs.
  constexpr std::uint64_t kEpochDifference = 11644473600ULL;
  const auto seconds = static_cast<std::uint64_t>(info.st_mtim.tv_sec) + kEpochDifference;
  return seconds * 10000000ULL + static_cast<std::uint64_t>(info.st_mtim.tv_nsec) / 100;
}

}  // namespace platform
