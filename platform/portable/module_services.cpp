#include "platform/module_services.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/text.h"

namespace platform {

std::u16string HostExecutablePath() {
  std::vector<char> buffer(4096);
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return {};
  return Utf8ToUtf16(std::string(buffer.data(), static_cast<std::size_t>(length)));
}

std::u16string_view PathFolderSeparators() { return u"/"; }

}  // namespace platform

namespace platform {

ResourceUsage CurrentResourceUsage() {
  ResourceUsage usage;
  std::error_code error;
  for (auto it = std::filesystem::directory_iterator("/proc/self/fd", error);
       !error && it != std::filesystem::directory_iterator(); it.increment(error))
    ++usage.handles;
  // The second field of statm is the resident set in pages.
  std::ifstream statm("/proc/self/statm");
  std::uint64_t size = 0, resident = 0;
  if (statm >> size >> resident) usage.memoryBytes = resident * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  return usage;
}

}  // namespace platform
