#include "host/current_plugin.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "host/identity.h"
#include "host/slot_guard.h"

namespace vf {

namespace {

TCurrentPlugin* Plugin(aimp::IUnknown* view) {
  return TCurrentPlugin::FromInterface(reinterpret_cast<aimp::IAIMPPlugin*>(view));
}
TCurrentPlugin* Plugin(aimp::IAIMPPlugin* view) { return TCurrentPlugin::FromInterface(view); }
TCurrentPlugin* Plugin(aimp::IAIMPExternalSettingsDialog* view) {
  return static_cast<TCurrentPlugin::TSettingsDialog*>(view)->Owner;
}
TEmbeddedVisualization* Extension(aimp::IUnknown* view) {
  return TEmbeddedVisualization::FromInterface(
      reinterpret_cast<aimp::IAIMPExtensionEmbeddedVisualization*>(view));
}
TEmbeddedVisualization* Extension(aimp::IAIMPExtensionEmbeddedVisualization* view) {
  return TEmbeddedVisualization::FromInterface(view);
}

// The plug-in header's slots, each inside the failure guard like the first-generation ones.
aimp::HResult VF_STDCALL PluginQueryInterface(aimp::IUnknown* self, const aimp::Guid* iid, void** object) {
  return GuardSlot("IAIMPPlugin.QueryInterface", aimp::kNoInterface,
                   [&] { return Plugin(self)->QueryInterface(iid, object); });
}
std::uint32_t VF_STDCALL PluginAddRef(aimp::IUnknown* self) {
  return GuardSlot("IAIMPPlugin.AddRef", 0u, [&] { return Plugin(self)->AddRef(); });
}
std::uint32_t VF_STDCALL PluginRelease(aimp::IUnknown* self) {
  return GuardSlot("IAIMPPlugin.Release", 0u, [&] { return Plugin(self)->Release(); });
}
const char16_t* VF_STDCALL PluginInfoGet(aimp::IAIMPPlugin* self, std::int32_t index) {
  return Plugin(self)->InfoGet(index);
}
std::uint32_t VF_STDCALL PluginInfoGetCategories(aimp::IAIMPPlugin*) { return aimp::kPluginCategoryVisuals; }
aimp::HResult VF_STDCALL PluginInitialize(aimp::IAIMPPlugin* self, aimp::IAIMPCore* core) {
  return GuardSlot("IAIMPPlugin.Initialize", aimp::kFail, [&] { return Plugin(self)->Initialize(core); });
}
aimp::HResult VF_STDCALL PluginFinalize(aimp::IAIMPPlugin* self) {
  return GuardSlot("IAIMPPlugin.Finalize", aimp::kFail, [&] { return Plugin(self)->Finalize(); });
}
void VF_STDCALL PluginSystemNotification(aimp::IAIMPPlugin*, std::int32_t, aimp::IUnknown*) {}

constexpr aimp::IAIMPPluginVtbl kPluginSlots = {
    {PluginQueryInterface, PluginAddRef, PluginRelease},
    PluginInfoGet,
    PluginInfoGetCategories,
    PluginInitialize,
    PluginFinalize,
    PluginSystemNotification,
};

// The settings dialog view: its unknown slots are the plug-in's, reached through the owner.
aimp::HResult VF_STDCALL DialogQueryInterface(aimp::IUnknown* self, const aimp::Guid* iid, void** object) {
  return GuardSlot("IAIMPExternalSettingsDialog.QueryInterface", aimp::kNoInterface, [&] {
    return Plugin(reinterpret_cast<aimp::IAIMPExternalSettingsDialog*>(self))->QueryInterface(iid, object);
  });
}
std::uint32_t VF_STDCALL DialogAddRef(aimp::IUnknown* self) {
  return GuardSlot("IAIMPExternalSettingsDialog.AddRef", 0u, [&] {
    return Plugin(reinterpret_cast<aimp::IAIMPExternalSettingsDialog*>(self))->AddRef();
  });
}
std::uint32_t VF_STDCALL DialogRelease(aimp::IUnknown* self) {
  return GuardSlot("IAIMPExternalSettingsDialog.Release", 0u, [&] {
    return Plugin(reinterpret_cast<aimp::IAIMPExternalSettingsDialog*>(self))->Release();
  });
}
void VF_STDCALL DialogShow(aimp::IAIMPExternalSettingsDialog* self, aimp::WindowHandle parent) {
  GuardSlot("IAIMPExternalSettingsDialog.Show", [&] { Plugin(self)->ShowSettings(parent); });
}

constexpr aimp::IAIMPExternalSettingsDialogVtbl kSettingsDialogSlots = {
    {DialogQueryInterface, DialogAddRef, DialogRelease},
    DialogShow,
};

// The embedded visualisation's slots.
aimp::HResult VF_STDCALL ExtensionQueryInterface(aimp::IUnknown* self, const aimp::Guid* iid, void** object) {
  return GuardSlot("IAIMPExtensionEmbeddedVisualization.QueryInterface", aimp::kNoInterface,
                   [&] { return Extension(self)->QueryInterface(iid, object); });
}
std::uint32_t VF_STDCALL ExtensionAddRef(aimp::IUnknown* self) {
  return GuardSlot("IAIMPExtensionEmbeddedVisualization.AddRef", 0u, [&] { return Extension(self)->AddRef(); });
}
std::uint32_t VF_STDCALL ExtensionRelease(aimp::IUnknown* self) {
  return GuardSlot("IAIMPExtensionEmbeddedVisualization.Release", 0u,
                   [&] { return Extension(self)->Release(); });
}
// Only the peaks are needed, and the scene has no size limit of its own.
std::uint32_t VF_STDCALL ExtensionGetFlags(aimp::IAIMPExtensionEmbeddedVisualization*) { return 0; }
aimp::HResult VF_STDCALL ExtensionGetMaxDisplaySize(aimp::IAIMPExtensionEmbeddedVisualization*, std::int32_t*,
                                                    std::int32_t*) {
  return aimp::kFail;
}
aimp::HResult VF_STDCALL ExtensionGetName(aimp::IAIMPExtensionEmbeddedVisualization* self, aimp::IAIMPString** name) {
  return GuardSlot("IAIMPExtensionEmbeddedVisualization.GetName", aimp::kFail,
                   [&] { return Extension(self)->GetName(name); });
}
aimp::HResult VF_STDCALL ExtensionInitialize(aimp::IAIMPExtensionEmbeddedVisualization* self, std::int32_t width,
                                             std::int32_t height) {
  return GuardSlot("IAIMPExtensionEmbeddedVisualization.Initialize", aimp::kFail,
                   [&] { return Extension(self)->Initialize(width, height); });
}
void VF_STDCALL ExtensionFinalize(aimp::IAIMPExtensionEmbeddedVisualization* self) {
  GuardSlot("IAIMPExtensionEmbeddedVisualization.Finalize", [&] { Extension(self)->Finalize(); });
}
void VF_STDCALL ExtensionClick(aimp::IAIMPExtensionEmbeddedVisualization* self, std::int32_t x, std::int32_t y,
                               std::int32_t button) {
  GuardSlot("IAIMPExtensionEmbeddedVisualization.Click", [&] { Extension(self)->Click(x, y, button); });
}
void VF_STDCALL ExtensionDraw(aimp::IAIMPExtensionEmbeddedVisualization* self, aimp::DeviceContext dc,
                              aimp::TAIMPCurrentVisualData* data) {
  GuardSlot("IAIMPExtensionEmbeddedVisualization.Draw", [&] { Extension(self)->Draw(dc, data); });
}
void VF_STDCALL ExtensionResize(aimp::IAIMPExtensionEmbeddedVisualization* self, std::int32_t width,
                                std::int32_t height) {
  GuardSlot("IAIMPExtensionEmbeddedVisualization.Resize", [&] { Extension(self)->Resize(width, height); });
}

constexpr aimp::IAIMPExtensionEmbeddedVisualizationVtbl kExtensionSlots = {
    {ExtensionQueryInterface, ExtensionAddRef, ExtensionRelease},
    ExtensionGetFlags,
    ExtensionGetMaxDisplaySize,
    ExtensionGetName,
    ExtensionInitialize,
    ExtensionFinalize,
    ExtensionClick,
    ExtensionDraw,
    ExtensionResize,
};

void ReleaseUnknown(aimp::IUnknown* object) { object->Vtbl->Release(object); }

// The host's text, copied; empty when it has none.
std::u16string TakeText(aimp::IAIMPString* text) {
  if (text == nullptr) return {};
  std::u16string copy;
  const char16_t* data = text->Vtbl->GetData(text);
  const std::int32_t length = text->Vtbl->GetLength(text);
  if (data != nullptr && length > 0) copy.assign(data, static_cast<std::size_t>(length));
  ReleaseUnknown(aimp::AsUnknown(text));
  return copy;
}

// The profile folder's file first, this user's own file for the saves the folder refuses; a host
// that names no profile folder gets the places a first-generation host has.
TSettingsPlaces PlacesFromProfile(aimp::IAIMPCore* core) {
  aimp::IAIMPString* folder = nullptr;
  if (core->Vtbl->GetPath(core, aimp::kCorePathProfile, &folder) != aimp::kOk || folder == nullptr)
    return SettingsPlaces();
  const std::u16string profile = TakeText(folder);
  if (profile.empty()) return SettingsPlaces();
  return {ProfileSettingsFilePath(profile), UserSettingsFilePath()};
}

}  // namespace

std::int32_t LevelFromPeak(float peak) {
  if (!(peak > 0.0f)) return 0;
  return static_cast<std::int32_t>(std::lround(std::min(peak, 1.0f) * 100.0f));
}

std::u16string ProfileSettingsFilePath(std::u16string_view profileFolder) {
#ifdef _WIN32
  constexpr std::u16string_view kSeparators = u"\\/";
#else
  constexpr std::u16string_view kSeparators = u"/";
#endif
  std::u16string path(profileFolder);
  if (!path.empty() && kSeparators.find(path.back()) == std::u16string_view::npos) path += kSeparators.front();
  return path + u"Vindelux Fan.ini";
}

// Each header is a user of the imaging library through the object it leads to, made at the
// host's Initialize; the header itself holds nothing until then.
TCurrentPlugin::TCurrentPlugin()
    : aimp::IAIMPPlugin{&kPluginSlots}, FSettingsDialog{{&kSettingsDialogSlots}, this} {}

// A host that releases the header without finalising it must not leave the extension behind.
TCurrentPlugin::~TCurrentPlugin() { Finalize(); }

aimp::HResult TCurrentPlugin::QueryInterface(const aimp::Guid* iid, void** object) {
  if (object == nullptr) return aimp::kPointer;
  *object = nullptr;
  if (iid == nullptr) return aimp::kPointer;
  if (*iid == aimp::kIidUnknown) {
    *object = static_cast<aimp::IAIMPPlugin*>(this);
  } else if (*iid == aimp::kIidAIMPExternalSettingsDialog) {
    *object = static_cast<aimp::IAIMPExternalSettingsDialog*>(&FSettingsDialog);
  } else {
    return aimp::kNoInterface;
  }
  AddRef();
  return aimp::kOk;
}

std::uint32_t TCurrentPlugin::AddRef() { return ++FRefCount; }

std::uint32_t TCurrentPlugin::Release() {
  const std::uint32_t count = --FRefCount;
  if (count == 0) delete this;
  return count;
}

const char16_t* TCurrentPlugin::InfoGet(std::int32_t index) const {
  switch (index) {
    case aimp::kPluginInfoName: return kPluginName;
    case aimp::kPluginInfoAuthor: return kAuthorName;
    case aimp::kPluginInfoShortDescription: return kPluginShortDescription;
    case aimp::kPluginInfoFullDescription: return kPluginFullDescription;
    default: return u"";
  }
}

aimp::HResult TCurrentPlugin::Initialize(aimp::IAIMPCore* core) {
  if (core == nullptr) return aimp::kPointer;
  // A repeated Initialize keeps what the first one registered.
  if (FCore != nullptr) return aimp::kOk;
  FCore = core;
  FCore->Vtbl->Unknown.AddRef(aimp::AsUnknown(FCore));
  FVisual = new TAIMP2Visual();
  FVisual->AddRef();
  FVisual->SetSettingsPlaces(PlacesFromProfile(core));
  FExtension = new TEmbeddedVisualization(FVisual, FCore);
  FExtension->AddRef();
  return core->Vtbl->RegisterExtension(core, &aimp::kIidAIMPServiceVisualizations, aimp::AsUnknown(FExtension));
}

aimp::HResult TCurrentPlugin::Finalize() {
  if (FCore == nullptr) return aimp::kOk;
  if (FExtension != nullptr) {
    // The host may have let go of it already; then it says so, which changes nothing here.
    FCore->Vtbl->UnregisterExtension(FCore, aimp::AsUnknown(FExtension));
    FExtension->Release();
    FExtension = nullptr;
  }
  // A visualisation the host never finalised stores its settings and stops its clock now.
  FVisual->Deinitialize();
  FVisual->Release();
  FVisual = nullptr;
  ReleaseUnknown(aimp::AsUnknown(std::exchange(FCore, nullptr)));
  return aimp::kOk;
}

void TCurrentPlugin::ShowSettings(aimp::WindowHandle parent) {
  // Before Initialize there is no place to keep the settings in.
  if (FVisual == nullptr) return;
  FVisual->ShowSettings(parent);
}

TEmbeddedVisualization::TEmbeddedVisualization(TAIMP2Visual* visual, aimp::IAIMPCore* core)
    : aimp::IAIMPExtensionEmbeddedVisualization{&kExtensionSlots}, FVisual(visual), FCore(core) {
  FVisual->AddRef();
  FCore->Vtbl->Unknown.AddRef(aimp::AsUnknown(FCore));
}

TEmbeddedVisualization::~TEmbeddedVisualization() {
  FVisual->Release();
  ReleaseUnknown(aimp::AsUnknown(FCore));
}

aimp::HResult TEmbeddedVisualization::QueryInterface(const aimp::Guid* iid, void** object) {
  if (object == nullptr) return aimp::kPointer;
  *object = nullptr;
  if (iid == nullptr) return aimp::kPointer;
  if (*iid != aimp::kIidUnknown && *iid != aimp::kIidAIMPExtensionEmbeddedVisualization)
    return aimp::kNoInterface;
  *object = static_cast<aimp::IAIMPExtensionEmbeddedVisualization*>(this);
  AddRef();
  return aimp::kOk;
}

std::uint32_t TEmbeddedVisualization::AddRef() { return ++FRefCount; }

std::uint32_t TEmbeddedVisualization::Release() {
  const std::uint32_t count = --FRefCount;
  if (count == 0) delete this;
  return count;
}

aimp::HResult TEmbeddedVisualization::GetName(aimp::IAIMPString** name) const {
  if (name == nullptr) return aimp::kPointer;
  *name = nullptr;
  void* object = nullptr;
  const aimp::HResult made = FCore->Vtbl->CreateObject(FCore, &aimp::kIidAIMPString, &object);
  if (made != aimp::kOk) return made;
  if (object == nullptr) return aimp::kFail;
  auto* text = static_cast<aimp::IAIMPString*>(object);
  const std::u16string_view plugin = kPluginName;
  const aimp::HResult set = text->Vtbl->SetData(text, plugin.data(), static_cast<std::int32_t>(plugin.size()));
  if (set != aimp::kOk) {
    ReleaseUnknown(aimp::AsUnknown(text));
    return set;
  }
  *name = text;
  return aimp::kOk;
}

aimp::HResult TEmbeddedVisualization::Initialize(std::int32_t width, std::int32_t height) {
  FVisual->Initialize();
  FVisual->DisplayResize(width, height);
  return aimp::kOk;
}

void TEmbeddedVisualization::Finalize() { FVisual->Deinitialize(); }

void TEmbeddedVisualization::Click(std::int32_t x, std::int32_t y, std::int32_t button) {
  if (button == aimp::kVisualClickButtonLeft) FVisual->DisplayClick(x, y);
}

void TEmbeddedVisualization::Draw(aimp::DeviceContext dc, const aimp::TAIMPCurrentVisualData* data) {
  if (data == nullptr) {
    FVisual->DisplayRender(dc, nullptr);
    return;
  }
  FVisual->RenderLevels(dc, LevelFromPeak(data->Peaks[0]), LevelFromPeak(data->Peaks[1]));
}

void TEmbeddedVisualization::Resize(std::int32_t width, std::int32_t height) {
  FVisual->DisplayResize(width, height);
}

}  // namespace vf
