#include "platform/module_services.h"

#include <windows.h>
#include <psapi.h>

#include <vector>

namespace platform {

std::u16string HostExecutablePath() {
  // Long paths can exceed MAX_PATH; grow until the name fits.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::u16string(buffer.begin(), buffer.begin() + length);
    buffer.resize(buffer.size() * 2);
  }
}

std::u16string_view PathFolderSeparators() { return u"\\:"; }

}  // namespace platform

namespace platform {

ResourceUsage CurrentResourceUsage() {
  ResourceUsage usage;
  DWORD handles = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &handles)) usage.handles = handles;
  usage.drawingObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters))
    usage.memoryBytes = counters.PrivateUsage;
  return usage;
}

}  // namespace platform
