#pragma once

// The player's current plug-in interface (its versions 4 to 6), as it crosses the module boundary:
// COM-style objects whose first field is a table of stdcall slots, the interfaces' identifiers,
// and the packed per-frame record of float data. The player defines the layouts, so they are
// pinned here by static assertions. Texts are UTF-16 throughout, as in the player's Windows builds.

#include <cstddef>
#include <cstdint>

#include "host/aimp_sdk.h"

namespace aimp {

inline constexpr HResult kFail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kNotImplemented = static_cast<HResult>(0x80004001u);
inline constexpr HResult kInvalidArgument = static_cast<HResult>(0x80070057u);

using WindowHandle = void*;  // HWND

// IAIMPPlugin.InfoGet
inline constexpr std::int32_t kPluginInfoName = 0;
inline constexpr std::int32_t kPluginInfoAuthor = 1;
inline constexpr std::int32_t kPluginInfoShortDescription = 2;
inline constexpr std::int32_t kPluginInfoFullDescription = 3;
// IAIMPPlugin.InfoGetCategories
inline constexpr std::uint32_t kPluginCategoryVisuals = 4;
// IAIMPCore.GetPath: the profile folder, where plug-ins keep their settings.
inline constexpr std::int32_t kCorePathProfile = 0;
// IAIMPExtensionEmbeddedVisualization.Click
inline constexpr std::int32_t kVisualClickButtonLeft = 0;
inline constexpr std::int32_t kVisualClickButtonMiddle = 1;
// IAIMPExtensionEmbeddedVisualization.GetFlags: the data a visualisation needs besides the peaks.
inline constexpr std::uint32_t kVisualFlagsNeedWaveform = 1;
inline constexpr std::uint32_t kVisualFlagsNeedSpectrum = 2;
inline constexpr std::uint32_t kVisualFlagsNotSuspend = 4;

// The identifiers spell "AIMP" and the interface's name in ASCII.
inline constexpr Guid kIidAIMPCore{0x41494D50, 0x436F, 0x7265, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr Guid kIidAIMPString{0x41494D50, 0x5374, 0x7269, {0x6E, 0x67, 0, 0, 0, 0, 0, 0}};
inline constexpr Guid kIidAIMPServiceVisualizations{
    0x41494D50, 0x5372, 0x7656, {0x69, 0x73, 0x75, 0x61, 0x6C, 0, 0, 0}};
inline constexpr Guid kIidAIMPExtensionEmbeddedVisualization{
    0x41494D50, 0x4578, 0x7445, {0x6D, 0x62, 0x64, 0x56, 0x69, 0x73, 0, 0}};
inline constexpr Guid kIidAIMPExternalSettingsDialog{
    0x41494D50, 0x4578, 0x7472, {0x6E, 0x4F, 0x70, 0x74, 0x44, 0x6C, 0x67, 0}};

inline constexpr int kVisualSpectrumMax = 256;
inline constexpr int kVisualWaveformMax = 512;

#pragma pack(push, 1)
// Peaks run from 0 to 1, [0] the left channel and [1] the right.
struct TAIMPCurrentVisualData {
  float Peaks[2];
  float Spectrum[3][kVisualSpectrumMax];
  float WaveForm[2][kVisualWaveformMax];
  std::int32_t Reserved;
};
#pragma pack(pop)
static_assert(sizeof(TAIMPCurrentVisualData) == 7180);
static_assert(offsetof(TAIMPCurrentVisualData, Peaks) == 0);
static_assert(offsetof(TAIMPCurrentVisualData, Spectrum) == 8);
static_assert(offsetof(TAIMPCurrentVisualData, WaveForm) == 3080);
static_assert(offsetof(TAIMPCurrentVisualData, Reserved) == 7176);

struct IUnknown;
struct IAIMPString;
struct IAIMPCore;
struct IAIMPPlugin;
struct IAIMPExtensionEmbeddedVisualization;
struct IAIMPExternalSettingsDialog;

// The three slots every interface begins with. Each interface's own slots take its own pointer;
// these take the object's pointer as the plain unknown.
struct IUnknownSlots {
  HResult(VF_STDCALL* QueryInterface)(IUnknown* self, const Guid* iid, void** object);
  std::uint32_t(VF_STDCALL* AddRef)(IUnknown* self);
  std::uint32_t(VF_STDCALL* Release)(IUnknown* self);
};

struct IUnknown {
  const IUnknownSlots* Vtbl;
};

struct IAIMPStringVtbl {
  IUnknownSlots Unknown;
  HResult(VF_STDCALL* Get)(IAIMPString* self, std::int32_t index, char16_t* item);
  char16_t*(VF_STDCALL* GetData)(IAIMPString* self);
  std::int32_t(VF_STDCALL* GetLength)(IAIMPString* self);
  std::int32_t(VF_STDCALL* GetHashCode)(IAIMPString* self);
  HResult(VF_STDCALL* Set)(IAIMPString* self, std::int32_t index, char16_t item);
  HResult(VF_STDCALL* SetData)(IAIMPString* self, const char16_t* items, std::int32_t count);
  HResult(VF_STDCALL* Add)(IAIMPString* self, IAIMPString* s);
  HResult(VF_STDCALL* Add2)(IAIMPString* self, const char16_t* items, std::int32_t count);
  HResult(VF_STDCALL* ChangeCase)(IAIMPString* self, std::int32_t mode);
  HResult(VF_STDCALL* Clone)(IAIMPString* self, IAIMPString** s);
  HResult(VF_STDCALL* Compare)(IAIMPString* self, IAIMPString* s, std::int32_t* result, Bool32 ignoreCase);
  HResult(VF_STDCALL* Compare2)(IAIMPString* self, const char16_t* items, std::int32_t count,
                                std::int32_t* result, Bool32 ignoreCase);
  HResult(VF_STDCALL* Delete)(IAIMPString* self, std::int32_t index, std::int32_t count);
  HResult(VF_STDCALL* Find)(IAIMPString* self, IAIMPString* s, std::int32_t* index, std::int32_t flags,
                            std::int32_t startFrom);
  HResult(VF_STDCALL* Find2)(IAIMPString* self, const char16_t* items, std::int32_t count,
                             std::int32_t* index, std::int32_t flags, std::int32_t startFrom);
  HResult(VF_STDCALL* Insert)(IAIMPString* self, std::int32_t index, IAIMPString* s);
  HResult(VF_STDCALL* Insert2)(IAIMPString* self, std::int32_t index, const char16_t* items,
                               std::int32_t count);
  HResult(VF_STDCALL* Replace)(IAIMPString* self, IAIMPString* oldPattern, IAIMPString* newPattern,
                               std::int32_t flags);
  HResult(VF_STDCALL* Replace2)(IAIMPString* self, const char16_t* oldItems, std::int32_t oldCount,
                                const char16_t* newItems, std::int32_t newCount, std::int32_t flags);
  HResult(VF_STDCALL* SubString)(IAIMPString* self, std::int32_t index, std::int32_t count,
                                 IAIMPString** s);
};
struct IAIMPString {
  const IAIMPStringVtbl* Vtbl;
};

struct IAIMPCoreVtbl {
  IUnknownSlots Unknown;
  HResult(VF_STDCALL* CreateObject)(IAIMPCore* self, const Guid* iid, void** object);
  HResult(VF_STDCALL* GetPath)(IAIMPCore* self, std::int32_t pathId, IAIMPString** value);
  HResult(VF_STDCALL* RegisterExtension)(IAIMPCore* self, const Guid* serviceIid, IUnknown* extension);
  HResult(VF_STDCALL* RegisterService)(IAIMPCore* self, IUnknown* service);
  HResult(VF_STDCALL* UnregisterExtension)(IAIMPCore* self, IUnknown* extension);
};
struct IAIMPCore {
  const IAIMPCoreVtbl* Vtbl;
};

struct IAIMPPluginVtbl {
  IUnknownSlots Unknown;
  const char16_t*(VF_STDCALL* InfoGet)(IAIMPPlugin* self, std::int32_t index);
  std::uint32_t(VF_STDCALL* InfoGetCategories)(IAIMPPlugin* self);
  HResult(VF_STDCALL* Initialize)(IAIMPPlugin* self, IAIMPCore* core);
  HResult(VF_STDCALL* Finalize)(IAIMPPlugin* self);
  void(VF_STDCALL* SystemNotification)(IAIMPPlugin* self, std::int32_t notifyId, IUnknown* data);
};
struct IAIMPPlugin {
  const IAIMPPluginVtbl* Vtbl;
};

// Draw's first argument is the device context (HDC) to paint into; the 6.0 header calls it a
// canvas, which on Windows is the same handle.
struct IAIMPExtensionEmbeddedVisualizationVtbl {
  IUnknownSlots Unknown;
  std::uint32_t(VF_STDCALL* GetFlags)(IAIMPExtensionEmbeddedVisualization* self);
  HResult(VF_STDCALL* GetMaxDisplaySize)(IAIMPExtensionEmbeddedVisualization* self, std::int32_t* width,
                                         std::int32_t* height);
  HResult(VF_STDCALL* GetName)(IAIMPExtensionEmbeddedVisualization* self, IAIMPString** name);
  HResult(VF_STDCALL* Initialize)(IAIMPExtensionEmbeddedVisualization* self, std::int32_t width,
                                  std::int32_t height);
  void(VF_STDCALL* Finalize)(IAIMPExtensionEmbeddedVisualization* self);
  void(VF_STDCALL* Click)(IAIMPExtensionEmbeddedVisualization* self, std::int32_t x, std::int32_t y,
                          std::int32_t button);
  void(VF_STDCALL* Draw)(IAIMPExtensionEmbeddedVisualization* self, DeviceContext dc,
                         TAIMPCurrentVisualData* data);
  void(VF_STDCALL* Resize)(IAIMPExtensionEmbeddedVisualization* self, std::int32_t width,
                           std::int32_t height);
};
struct IAIMPExtensionEmbeddedVisualization {
  const IAIMPExtensionEmbeddedVisualizationVtbl* Vtbl;
};

struct IAIMPExternalSettingsDialogVtbl {
  IUnknownSlots Unknown;
  void(VF_STDCALL* Show)(IAIMPExternalSettingsDialog* self, WindowHandle parent);
};
struct IAIMPExternalSettingsDialog {
  const IAIMPExternalSettingsDialogVtbl* Vtbl;
};

// The slot counts, three of them IUnknown's, and the place of the last slot of each.
static_assert(sizeof(IUnknownSlots) == 3 * sizeof(void*));
static_assert(sizeof(IAIMPStringVtbl) == 23 * sizeof(void*));
static_assert(offsetof(IAIMPStringVtbl, GetData) == 4 * sizeof(void*));
static_assert(offsetof(IAIMPStringVtbl, SetData) == 8 * sizeof(void*));
static_assert(offsetof(IAIMPStringVtbl, SubString) == 22 * sizeof(void*));
static_assert(sizeof(IAIMPCoreVtbl) == 8 * sizeof(void*));
static_assert(offsetof(IAIMPCoreVtbl, GetPath) == 4 * sizeof(void*));
static_assert(offsetof(IAIMPCoreVtbl, UnregisterExtension) == 7 * sizeof(void*));
static_assert(sizeof(IAIMPPluginVtbl) == 8 * sizeof(void*));
static_assert(offsetof(IAIMPPluginVtbl, InfoGet) == 3 * sizeof(void*));
static_assert(offsetof(IAIMPPluginVtbl, SystemNotification) == 7 * sizeof(void*));
static_assert(sizeof(IAIMPExtensionEmbeddedVisualizationVtbl) == 11 * sizeof(void*));
static_assert(offsetof(IAIMPExtensionEmbeddedVisualizationVtbl, GetFlags) == 3 * sizeof(void*));
static_assert(offsetof(IAIMPExtensionEmbeddedVisualizationVtbl, Draw) == 9 * sizeof(void*));
static_assert(offsetof(IAIMPExtensionEmbeddedVisualizationVtbl, Resize) == 10 * sizeof(void*));
static_assert(sizeof(IAIMPExternalSettingsDialogVtbl) == 4 * sizeof(void*));
#if defined(_WIN32) && defined(__i386__)
static_assert(sizeof(IAIMPExtensionEmbeddedVisualizationVtbl) == 44);
static_assert(sizeof(IAIMPPluginVtbl) == 32);
#endif

// The object's unknown view: every interface pointer is one.
template <typename Interface>
IUnknown* AsUnknown(Interface* object) {
  return reinterpret_cast<IUnknown*>(object);
}

// The export a current player looks up.
inline constexpr const char* kPluginGetHeaderName = "AIMPPluginGetHeader";
using PluginGetHeaderProc = HResult(VF_STDCALL*)(IAIMPPlugin** header);

}  // namespace aimp
