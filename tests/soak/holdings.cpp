#include "soak/holdings.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, whose types it uses.
#include <psapi.h>
#include <winternl.h>

#include <new>
#include <optional>
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
namespace {

bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The handle count in the system's list of processes; nothing when the list cannot be had.
std::optional<std::uint64_t> HandleSlotsFromProcessList() {
  using Query = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
  if (query == nullptr) return std::nullopt;
  constexpr int kSystemProcessInformation = 5;
  std::vector<unsigned char> buffer;
  ULONG needed = 0;
  try {
    buffer.resize(1 << 20);
    while (query(kSystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                 &needed) != 0) {
      if (buffer.size() >= (64u << 20)) return std::nullopt;
      buffer.resize(buffer.size() * 2);
    }
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // the address space is full: the limits program does that on purpose
  }
  const auto self = static_cast<ULONG_PTR>(GetCurrentProcessId());
  for (std::size_t at = 0;;) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
    if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == self) return entry->HandleCount;
    if (entry->NextEntryOffset == 0) return std::nullopt;
    at += entry->NextEntryOffset;
  }
}

}  // namespace

bool GuiObjectsCounted() { return !UnderWine(); }

Holdings Current() {
  const HANDLE self = GetCurrentProcess();
  DWORD handles = 0;
  GetProcessHandleCount(self, &handles);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(self, &memory, sizeof(memory));
  Holdings held;
  // Wine's GetGuiResources is a stub that answers 0: there the rows would only show zeros.
  if (GuiObjectsCounted()) {
    held.push_back({"GDI objects", GetGuiResources(self, GR_GDIOBJECTS), 4, 1, ""});
    held.push_back({"USER objects", GetGuiResources(self, GR_USEROBJECTS), 4, 1, ""});
  }
  // Wine's GetProcessHandleCount answers 0; its process list gives the size of the handle table,
  // which doubles when it is full and halves when it is mostly empty: it grows only when more
  // handles are open at once than before.
  if (handles != 0)
    held.push_back({"handles", handles, 8, 1, ""});
  else if (const auto slots = HandleSlotsFromProcessList())
    held.push_back({"handle slots", *slots, 0, 1, ""});
  // The commit charge: the private bytes (under wine the anonymous resident and swapped pages).
  held.push_back({"private MiB", memory.PagefileUsage, 16 * kMiB, kMiB, "MiB"});
  held.push_back({"working set MiB", memory.WorkingSetSize, 16 * kMiB, kMiB, "MiB"});
  return held;
}
#else
bool GuiObjectsCounted() { return false; }

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

std::string Describe(const Holdings& holdings) {
  std::string line;
  for (const auto& c : holdings)
    line += "  " + std::string(c.name) + " " + std::to_string(c.value / c.unit);
  return line;
}

}  // namespace soak
