#include "platform/module_services.h"

#include <unistd.h>

#include <vector>

#include "platform/text.h"

namespace platform {

std::u16string HostExecutablePath() {
  std::vector<char> buffer(4096);
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return {};
  return Utf8ToUtf16(std::string(buffer.data(), static_cast<std::size_t>(length)));
}

}  // namespace platform
