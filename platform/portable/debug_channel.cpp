// Debug channel: standard error, one line per call, written whole.
#include "platform/debug_channel.h"

#include <cstdio>
#include <string>

#include "platform/text.h"

namespace platform {

void OutputDebugLine(std::u16string_view text) {
  std::string line = Utf16ToUtf8(text);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace platform
