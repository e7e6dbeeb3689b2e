#include "soak/holdings.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, whose types it uses.
#include <psapi.h>
#else
#include <unistd.h>

#include <filesystem>
#include <fstream>
#endif

namespace soak {

namespace {
constexpr std::uint64_t kMiB = 1024 * 1024;
}

#ifdef _WIN32
bool CountsAnything() {
  // Wine's GetGuiResources and handle count are stubs that answer 0.
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll == nullptr || GetProcAddress(ntdll, "wine_get_version") == nullptr;
}

Holdings Current() {
  const HANDLE self = GetCurrentProcess();
  DWORD handles = 0;
  GetProcessHandleCount(self, &handles);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
  return {
      {"GDI objects", GetGuiResources(self, GR_GDIOBJECTS), 4, 1, ""},
      {"USER objects", GetGuiResources(self, GR_USEROBJECTS), 4, 1, ""},
      {"handles", handles, 8, 1, ""},
      {"private MiB", memory.PrivateUsage, 16 * kMiB, kMiB, "MiB"},
  };
}
#else
bool CountsAnything() { return true; }

Holdings Current() {
  std::uint64_t descriptors = 0;
  std::error_code error;
  for (auto it = std::filesystem::directory_iterator("/proc/self/fd", error);
       !error && it != std::filesystem::directory_iterator(); it.increment(error))
    ++descriptors;
  std::ifstream statm("/proc/self/statm");
  std::uint64_t mapped = 0, resident = 0;
  statm >> mapped >> resident;
  const auto page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  return {
      {"resident MiB", resident * page, 16 * kMiB, kMiB, "MiB"},
      {"mapped MiB", mapped * page, 32 * kMiB, kMiB, "MiB"},
      {"descriptors", descriptors, 2, 1, ""},
  };
}
#endif

}  // namespace soak
