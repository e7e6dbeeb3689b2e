#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "host/aimp_current_sdk.h"
#include "host/visual_plugin.h"

// The module as a current host meets it: the plug-in header the export hands out, and the
// embedded visualisation it registers with the host's core. Both lead to one plug-in object of
// the first-generation interface, which keeps the scene, the clock, the options window and the
// settings; these classes only map the current calls onto it.
namespace vf {

class TEmbeddedVisualization;

class TCurrentPlugin final : public aimp::IAIMPPlugin {
 public:
  TCurrentPlugin();
  ~TCurrentPlugin();
  TCurrentPlugin(const TCurrentPlugin&) = delete;
  TCurrentPlugin& operator=(const TCurrentPlugin&) = delete;

  static TCurrentPlugin* FromInterface(aimp::IAIMPPlugin* view) { return static_cast<TCurrentPlugin*>(view); }

  aimp::HResult QueryInterface(const aimp::Guid* iid, void** object);
  std::uint32_t AddRef();
  std::uint32_t Release();

  const char16_t* InfoGet(std::int32_t index) const;
  aimp::HResult Initialize(aimp::IAIMPCore* core);
  aimp::HResult Finalize();
  // The host's plug-in list asks for the settings.
  void ShowSettings(aimp::WindowHandle parent);

  // The view the host's plug-in list asks for, a second interface of the same object.
  struct TSettingsDialog final : aimp::IAIMPExternalSettingsDialog {
    TCurrentPlugin* Owner;
  };

 private:
  std::atomic<std::uint32_t> FRefCount{0};
  TSettingsDialog FSettingsDialog;
  aimp::IAIMPCore* FCore = nullptr;
  TAIMP2Visual* FVisual = nullptr;
  TEmbeddedVisualization* FExtension = nullptr;
};

class TEmbeddedVisualization final : public aimp::IAIMPExtensionEmbeddedVisualization {
 public:
  // Holds a reference to both for as long as the host holds the extension.
  TEmbeddedVisualization(TAIMP2Visual* visual, aimp::IAIMPCore* core);
  ~TEmbeddedVisualization();
  TEmbeddedVisualization(const TEmbeddedVisualization&) = delete;
  TEmbeddedVisualization& operator=(const TEmbeddedVisualization&) = delete;

  static TEmbeddedVisualization* FromInterface(aimp::IAIMPExtensionEmbeddedVisualization* view) {
    return static_cast<TEmbeddedVisualization*>(view);
  }

  aimp::HResult QueryInterface(const aimp::Guid* iid, void** object);
  std::uint32_t AddRef();
  std::uint32_t Release();

  aimp::HResult GetName(aimp::IAIMPString** name) const;
  aimp::HResult Initialize(std::int32_t width, std::int32_t height);
  void Finalize();
  void Click(std::int32_t x, std::int32_t y, std::int32_t button);
  void Draw(aimp::DeviceContext dc, const aimp::TAIMPCurrentVisualData* data);
  void Resize(std::int32_t width, std::int32_t height);

 private:
  std::atomic<std::uint32_t> FRefCount{0};
  TAIMP2Visual* FVisual;
  aimp::IAIMPCore* FCore;
};

// A peak of the current interface (0 .. 1) on the first-generation levels' scale (0 .. 100);
// anything outside, not-a-number included, is held to the range.
std::int32_t LevelFromPeak(float peak);

// The settings file in a host's profile folder, whether or not the folder's name ends in a
// separator.
std::u16string ProfileSettingsFilePath(std::u16string_view profileFolder);

}  // namespace vf
