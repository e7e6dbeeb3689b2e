#include "platform/module_loader.h"

#include <windows.h>

#include "text.h"

namespace platform {

ModuleHandle LoadModule(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryW(win32::Utf8ToWide(path).c_str());
  if (module == nullptr) error = Utf16ToUtf8(win32::LastErrorText(GetLastError()));
  return module;
}

void* GetModuleSymbol(ModuleHandle module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

bool UnloadModule(ModuleHandle module) {
  return module != nullptr && FreeLibrary(static_cast<HMODULE>(module)) != FALSE;
}

std::string ModuleFileName(const std::string& baseName) { return baseName + ".dll"; }

}  // namespace platform
