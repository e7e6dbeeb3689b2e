#pragma once

#include <string>

#include "platform/api.h"

// Loading a plug-in module by path, the way a player does. Used by hosts, never by the module.
namespace platform {

using ModuleHandle = void*;

// Null on failure; error then holds the platform's reason.
VF_PLATFORM_API ModuleHandle LoadModule(const std::string& path, std::string& error);
VF_PLATFORM_API void* GetModuleSymbol(ModuleHandle module, const char* name);
VF_PLATFORM_API bool UnloadModule(ModuleHandle module);

// The file name a module of this platform carries: "VindeluxFan.dll" or "VindeluxFan.so".
VF_PLATFORM_API std::string ModuleFileName(const std::string& baseName);

}  // namespace platform
