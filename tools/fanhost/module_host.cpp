#include "fanhost/module_host.h"

#include <filesystem>

#include "platform/module_services.h"
#include "platform/text.h"

namespace fanhost {

PluginRef& PluginRef::operator=(PluginRef&& other) noexcept {
  if (this != &other) {
    Reset();
    FPlugin = other.Detach();
  }
  return *this;
}

aimp::IVisualPlugin* PluginRef::Detach() {
  aimp::IVisualPlugin* plugin = FPlugin;
  FPlugin = nullptr;
  return plugin;
}

void PluginRef::Reset() {
  if (FPlugin != nullptr) FPlugin->Vtbl->Release(Detach());
}

bool ModuleHost::Load(const std::string& path, PluginInterface needed) {
  Unload();
  FModule = platform::LoadModule(path, FError);
  if (FModule == nullptr) {
    FError = "cannot load " + path + ": " + FError;
    return false;
  }
  FQueryVisual = reinterpret_cast<aimp::QueryVisualProc>(
      platform::GetModuleSymbol(FModule, aimp::kQueryVisualName));
  FGetHeader = reinterpret_cast<aimp::PluginGetHeaderProc>(
      platform::GetModuleSymbol(FModule, aimp::kPluginGetHeaderName));
  const bool current = needed == PluginInterface::Current;
  if ((current ? FGetHeader != nullptr : FQueryVisual != nullptr)) return true;
  FError =
      path + " has no export " + (current ? aimp::kPluginGetHeaderName : aimp::kQueryVisualName);
  Unload();
  return false;
}

void ModuleHost::Unload() {
  if (FModule != nullptr) platform::UnloadModule(FModule);
  FModule = nullptr;
  FQueryVisual = nullptr;
  FGetHeader = nullptr;
}

PluginRef ModuleHost::QueryVisual() const {
  PluginRef plugin;
  if (FQueryVisual != nullptr) FQueryVisual(plugin.Slot());
  return plugin;
}

HeaderRef ModuleHost::QueryHeader() const {
  aimp::IAIMPPlugin* header = nullptr;
  if (FGetHeader == nullptr || FGetHeader(&header) != aimp::kOk) return HeaderRef();
  return HeaderRef(header);
}

std::string ModulePathBesideExecutable(const std::string& baseName) {
  const std::filesystem::path exe(platform::Utf16ToUtf8(platform::HostExecutablePath()));
  return (exe.parent_path() / platform::ModuleFileName(baseName)).string();
}

std::string Narrow(const char16_t* text) {
  return text != nullptr ? platform::Utf16ToUtf8(text) : std::string("(null)");
}

}  // namespace fanhost
