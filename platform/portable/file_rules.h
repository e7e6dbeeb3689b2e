#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "error_codes.h"
#include "resources_impl.h"

// The rules by which the portable file services refuse what Windows refuses, shared by the profile
// service and the folder services so that both refuse alike.
namespace platform::portable {

// The Windows error code a failed call's errno stands for.
inline std::uint32_t ErrorCodeOf(int error) {
  using namespace win_error;
  switch (error) {
    case ENOENT:
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return kErrorAccessDenied;
    case EEXIST: return kErrorAlreadyExists;
    case ENOSPC:
    case EDQUOT: return kErrorDiskFull;
    default: return kErrorWriteFault;
  }
}

// Sets the last error a failed call's errno stands for, and answers false.
inline bool RefuseWith(int error) {
  SetLastErrorCode(ErrorCodeOf(error));
  return false;
}

// Whether a file or folder may be written. One without any write permission is read-only for
// everybody, its owner and the administrator included: Windows binds a file with the read-only
// attribute that way, and a folder whose access list grants nobody writing.
inline bool WritePermitted(const std::string& path, const struct stat& info) {
  return (info.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
}

// The folder that holds a path's last component: "." for a bare name, "/" for a top-level one.
inline std::string FolderOf(const std::string& path) {
  std::size_t end = path.find_last_not_of('/');
  if (end == std::string::npos) return "/";
  const std::size_t slash = path.find_last_of('/', end);
  if (slash == std::string::npos) return ".";
  end = path.find_last_not_of('/', slash);
  return end == std::string::npos ? "/" : path.substr(0, end + 1);
}

}  // namespace platform::portable
