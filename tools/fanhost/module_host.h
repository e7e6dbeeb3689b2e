#pragma once

#include <string>

#include "host/aimp_current_sdk.h"
#include "host/aimp_sdk.h"
#include "platform/module_loader.h"

// What a player does with a visual plug-in module: load the file, look up the export, hold the
// plug-in objects it hands out, and unload the file at the end.
namespace fanhost {

// One reference to a plug-in object; released when the holder goes.
class PluginRef {
 public:
  PluginRef() = default;
  explicit PluginRef(aimp::IVisualPlugin* plugin) : FPlugin(plugin) {}
  PluginRef(PluginRef&& other) noexcept : FPlugin(other.Detach()) {}
  PluginRef& operator=(PluginRef&& other) noexcept;
  PluginRef(const PluginRef&) = delete;
  PluginRef& operator=(const PluginRef&) = delete;
  ~PluginRef() { Reset(); }

  aimp::IVisualPlugin* Get() const { return FPlugin; }
  const aimp::IVisualPluginVtbl& operator*() const { return *FPlugin->Vtbl; }
  explicit operator bool() const { return FPlugin != nullptr; }
  aimp::IVisualPlugin** Slot() { return &FPlugin; }
  aimp::IVisualPlugin* Detach();
  void Reset();

 private:
  aimp::IVisualPlugin* FPlugin = nullptr;
};

// One reference to a current plug-in header; released when the holder goes.
class HeaderRef {
 public:
  HeaderRef() = default;
  explicit HeaderRef(aimp::IAIMPPlugin* header) : FHeader(header) {}
  HeaderRef(HeaderRef&& other) noexcept : FHeader(other.FHeader) { other.FHeader = nullptr; }
  HeaderRef(const HeaderRef&) = delete;
  HeaderRef& operator=(const HeaderRef&) = delete;
  HeaderRef& operator=(HeaderRef&&) = delete;
  ~HeaderRef() {
    if (FHeader != nullptr) FHeader->Vtbl->Unknown.Release(aimp::AsUnknown(FHeader));
  }
  aimp::IAIMPPlugin* Get() const { return FHeader; }
  const aimp::IAIMPPluginVtbl& operator*() const { return *FHeader->Vtbl; }
  explicit operator bool() const { return FHeader != nullptr; }

 private:
  aimp::IAIMPPlugin* FHeader = nullptr;
};

// The generations of the player's plug-in interface, each with its own export.
enum class PluginInterface { FirstGeneration, Current };

class ModuleHost {
 public:
  ModuleHost() = default;
  ModuleHost(const ModuleHost&) = delete;
  ModuleHost& operator=(const ModuleHost&) = delete;
  ~ModuleHost() { Unload(); }

  // False with LastError() set when the file does not load or lacks the export of the interface
  // asked for.
  bool Load(const std::string& path, PluginInterface needed = PluginInterface::FirstGeneration);
  void Unload();
  bool Loaded() const { return FModule != nullptr; }
  const std::string& LastError() const { return FError; }

  // Calls the export with an empty variable and returns the object it stored.
  PluginRef QueryVisual() const;
  // Calls the export on the caller's own variable, as a host that reuses its variable does.
  void QueryVisualInto(aimp::IVisualPlugin** variable) const { FQueryVisual(variable); }
  // Calls the current interface's export; null when it failed or is missing.
  HeaderRef QueryHeader() const;
  // Calls it on the caller's own variable, or none, and returns what it answered.
  aimp::HResult QueryHeaderInto(aimp::IAIMPPlugin** variable) const { return FGetHeader(variable); }

 private:
  platform::ModuleHandle FModule = nullptr;
  aimp::QueryVisualProc FQueryVisual = nullptr;
  aimp::PluginGetHeaderProc FGetHeader = nullptr;
  std::string FError;
};

// The module file named baseName in the folder of the running program.
std::string ModulePathBesideExecutable(const std::string& baseName);

// UTF-8 copy of a null-terminated UTF-16 text handed out by the module.
std::string Narrow(const char16_t* text);

}  // namespace fanhost
