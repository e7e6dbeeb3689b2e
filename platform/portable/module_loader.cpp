#include "platform/module_loader.h"

#include <dlfcn.h>

namespace platform {

ModuleHandle LoadModule(const std::string& path, std::string& error) {
  // RTLD_LOCAL keeps two plug-ins from resolving each other's symbols, as separate DLLs would.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* reason = dlerror();
    error = reason != nullptr ? reason : "unknown error";
  }
  return module;
}

void* GetModuleSymbol(ModuleHandle module, const char* name) {
  return module != nullptr ? dlsym(module, name) : nullptr;
}

bool UnloadModule(ModuleHandle module) { return module != nullptr && dlclose(module) == 0; }

std::string ModuleFileName(const std::string& baseName) { return baseName + ".so"; }

}  // namespace platform
