// Debug channel: OutputDebugStringW, one line per call.
#include "platform/debug_channel.h"

#include <windows.h>

#include <string>

namespace platform {

void OutputDebugLine(std::u16string_view text) {
  std::wstring line(text.begin(), text.end());
  line += L"\n";
  ::OutputDebugStringW(line.c_str());
}

}  // namespace platform
