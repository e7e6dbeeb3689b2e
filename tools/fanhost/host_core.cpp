#include "fanhost/host_core.h"

#include <functional>
#include <utility>

namespace fanhost {

namespace {

struct HostString final : aimp::IAIMPString {
  explicit HostString(std::u16string value);
  std::atomic<std::uint32_t> refs{1};
  std::u16string text;
};

HostString& Self(aimp::IAIMPString* view) { return *static_cast<HostString*>(view); }
HostString& Self(aimp::IUnknown* view) { return Self(reinterpret_cast<aimp::IAIMPString*>(view)); }

bool InRange(const HostString& s, std::int32_t index, std::int32_t count = 1) {
  return index >= 0 && count >= 0 &&
         static_cast<std::size_t>(index) + static_cast<std::size_t>(count) <= s.text.size();
}

// Texts given as a pointer and a count, a count below zero meaning up to the terminating zero.
std::u16string_view Items(const char16_t* items, std::int32_t count) {
  if (items == nullptr) return {};
  return count < 0 ? std::u16string_view(items)
                   : std::u16string_view(items, static_cast<std::size_t>(count));
}

aimp::HResult VF_STDCALL StringQueryInterface(aimp::IUnknown* self, const aimp::Guid* iid,
                                              void** object) {
  if (object == nullptr) return aimp::kPointer;
  *object = nullptr;
  if (iid == nullptr || (*iid != aimp::kIidUnknown && *iid != aimp::kIidAIMPString))
    return aimp::kNoInterface;
  ++Self(self).refs;
  *object = self;
  return aimp::kOk;
}
std::uint32_t VF_STDCALL StringAddRef(aimp::IUnknown* self) { return ++Self(self).refs; }
std::uint32_t VF_STDCALL StringRelease(aimp::IUnknown* self) {
  const std::uint32_t left = --Self(self).refs;
  if (left == 0) delete &Self(self);
  return left;
}
aimp::HResult VF_STDCALL StringGet(aimp::IAIMPString* self, std::int32_t index, char16_t* item) {
  if (item == nullptr) return aimp::kPointer;
  if (!InRange(Self(self), index)) return aimp::kInvalidArgument;
  *item = Self(self).text[static_cast<std::size_t>(index)];
  return aimp::kOk;
}
char16_t* VF_STDCALL StringGetData(aimp::IAIMPString* self) { return Self(self).text.data(); }
std::int32_t VF_STDCALL StringGetLength(aimp::IAIMPString* self) {
  return static_cast<std::int32_t>(Self(self).text.size());
}
std::int32_t VF_STDCALL StringGetHashCode(aimp::IAIMPString* self) {
  return static_cast<std::int32_t>(std::hash<std::u16string>{}(Self(self).text));
}
aimp::HResult VF_STDCALL StringSet(aimp::IAIMPString* self, std::int32_t index, char16_t item) {
  if (!InRange(Self(self), index)) return aimp::kInvalidArgument;
  Self(self).text[static_cast<std::size_t>(index)] = item;
  return aimp::kOk;
}
aimp::HResult VF_STDCALL StringSetData(aimp::IAIMPString* self, const char16_t* items,
                                       std::int32_t count) {
  Self(self).text = Items(items, count);
  return aimp::kOk;
}
aimp::HResult VF_STDCALL StringAdd(aimp::IAIMPString* self, aimp::IAIMPString* s) {
  if (s == nullptr) return aimp::kPointer;
  Self(self).text += Self(s).text;
  return aimp::kOk;
}
aimp::HResult VF_STDCALL StringAdd2(aimp::IAIMPString* self, const char16_t* items,
                                    std::int32_t count) {
  Self(self).text += Items(items, count);
  return aimp::kOk;
}
aimp::HResult VF_STDCALL StringClone(aimp::IAIMPString* self, aimp::IAIMPString** s) {
  if (s == nullptr) return aimp::kPointer;
  *s = NewHostString(Self(self).text);
  return aimp::kOk;
}
aimp::HResult VF_STDCALL StringDelete(aimp::IAIMPString* self, std::int32_t index,
                                      std::int32_t count) {
  if (!InRange(Self(self), index, count)) return aimp::kInvalidArgument;
  Self(self).text.erase(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
  return aimp::kOk;
}
aimp::HResult VF_STDCALL StringInsert2(aimp::IAIMPString* self, std::int32_t index,
                                       const char16_t* items, std::int32_t count) {
  if (!InRange(Self(self), index, 0)) return aimp::kInvalidArgument;
  Self(self).text.insert(static_cast<std::size_t>(index), Items(items, count));
  return aimp::kOk;
}
aimp::HResult VF_STDCALL StringInsert(aimp::IAIMPString* self, std::int32_t index,
                                      aimp::IAIMPString* s) {
  if (s == nullptr) return aimp::kPointer;
  const std::u16string copy = Self(s).text;
  return StringInsert2(self, index, copy.data(), static_cast<std::int32_t>(copy.size()));
}
aimp::HResult VF_STDCALL StringSubString(aimp::IAIMPString* self, std::int32_t index,
                                         std::int32_t count, aimp::IAIMPString** s) {
  if (s == nullptr) return aimp::kPointer;
  if (!InRange(Self(self), index, count)) return aimp::kInvalidArgument;
  *s = NewHostString(
      Self(self).text.substr(static_cast<std::size_t>(index), static_cast<std::size_t>(count)));
  return aimp::kOk;
}
// What a visualisation has no use for: searching, comparing and case changes.
aimp::HResult VF_STDCALL StringChangeCase(aimp::IAIMPString*, std::int32_t) {
  return aimp::kNotImplemented;
}
aimp::HResult VF_STDCALL StringCompare(aimp::IAIMPString*, aimp::IAIMPString*, std::int32_t*,
                                       aimp::Bool32) {
  return aimp::kNotImplemented;
}
aimp::HResult VF_STDCALL StringCompare2(aimp::IAIMPString*, const char16_t*, std::int32_t,
                                        std::int32_t*, aimp::Bool32) {
  return aimp::kNotImplemented;
}
aimp::HResult VF_STDCALL StringFind(aimp::IAIMPString*, aimp::IAIMPString*, std::int32_t*,
                                    std::int32_t, std::int32_t) {
  return aimp::kNotImplemented;
}
aimp::HResult VF_STDCALL StringFind2(aimp::IAIMPString*, const char16_t*, std::int32_t,
                                     std::int32_t*, std::int32_t, std::int32_t) {
  return aimp::kNotImplemented;
}
aimp::HResult VF_STDCALL StringReplace(aimp::IAIMPString*, aimp::IAIMPString*, aimp::IAIMPString*,
                                       std::int32_t) {
  return aimp::kNotImplemented;
}
aimp::HResult VF_STDCALL StringReplace2(aimp::IAIMPString*, const char16_t*, std::int32_t,
                                        const char16_t*, std::int32_t, std::int32_t) {
  return aimp::kNotImplemented;
}

constexpr aimp::IAIMPStringVtbl kStringSlots = {
    {StringQueryInterface, StringAddRef, StringRelease},
    StringGet,
    StringGetData,
    StringGetLength,
    StringGetHashCode,
    StringSet,
    StringSetData,
    StringAdd,
    StringAdd2,
    StringChangeCase,
    StringClone,
    StringCompare,
    StringCompare2,
    StringDelete,
    StringFind,
    StringFind2,
    StringInsert,
    StringInsert2,
    StringReplace,
    StringReplace2,
    StringSubString,
};

HostString::HostString(std::u16string value)
    : aimp::IAIMPString{&kStringSlots}, text(std::move(value)) {}

HostCore& Core(aimp::IUnknown* view) {
  return *static_cast<HostCore*>(reinterpret_cast<aimp::IAIMPCore*>(view));
}
HostCore& Core(aimp::IAIMPCore* view) { return *static_cast<HostCore*>(view); }

aimp::HResult VF_STDCALL CoreQueryInterface(aimp::IUnknown* self, const aimp::Guid* iid,
                                            void** object) {
  if (object == nullptr) return aimp::kPointer;
  *object = nullptr;
  if (iid == nullptr || (*iid != aimp::kIidUnknown && *iid != aimp::kIidAIMPCore))
    return aimp::kNoInterface;
  Core(self).AddRef();
  *object = self;
  return aimp::kOk;
}
std::uint32_t VF_STDCALL CoreAddRef(aimp::IUnknown* self) { return Core(self).AddRef(); }
std::uint32_t VF_STDCALL CoreRelease(aimp::IUnknown* self) { return Core(self).Release(); }
aimp::HResult VF_STDCALL CoreCreateObject(aimp::IAIMPCore* self, const aimp::Guid* iid,
                                          void** object) {
  return Core(self).CreateObject(iid, object);
}
aimp::HResult VF_STDCALL CoreGetPath(aimp::IAIMPCore* self, std::int32_t pathId,
                                     aimp::IAIMPString** value) {
  return Core(self).GetPath(pathId, value);
}
aimp::HResult VF_STDCALL CoreRegisterExtension(aimp::IAIMPCore* self, const aimp::Guid* serviceIid,
                                               aimp::IUnknown* extension) {
  return Core(self).RegisterExtension(serviceIid, extension);
}
aimp::HResult VF_STDCALL CoreRegisterService(aimp::IAIMPCore*, aimp::IUnknown*) {
  return aimp::kNotImplemented;
}
aimp::HResult VF_STDCALL CoreUnregisterExtension(aimp::IAIMPCore* self, aimp::IUnknown* extension) {
  return Core(self).UnregisterExtension(extension);
}

constexpr aimp::IAIMPCoreVtbl kCoreSlots = {
    {CoreQueryInterface, CoreAddRef, CoreRelease},
    CoreCreateObject,
    CoreGetPath,
    CoreRegisterExtension,
    CoreRegisterService,
    CoreUnregisterExtension,
};

}  // namespace

aimp::IAIMPString* NewHostString(std::u16string_view text) {
  return new HostString(std::u16string(text));
}

std::u16string TextOf(aimp::IAIMPString* text) {
  if (text == nullptr) return {};
  const char16_t* data = text->Vtbl->GetData(text);
  const std::int32_t length = text->Vtbl->GetLength(text);
  if (data == nullptr || length <= 0) return {};
  return {data, static_cast<std::size_t>(length)};
}

HostCore::HostCore(std::u16string profileFolder)
    : aimp::IAIMPCore{&kCoreSlots}, FProfileFolder(std::move(profileFolder)) {}

HostCore::~HostCore() {
  // A plug-in that never unregistered: the core lets go of it with the player.
  if (FVisualization != nullptr)
    FVisualization->Vtbl->Unknown.Release(aimp::AsUnknown(FVisualization));
}

aimp::HResult HostCore::CreateObject(const aimp::Guid* iid, void** object) {
  if (object == nullptr) return aimp::kPointer;
  *object = nullptr;
  if (iid == nullptr || *iid != aimp::kIidAIMPString) return aimp::kNoInterface;
  *object = NewHostString({});
  return aimp::kOk;
}

aimp::HResult HostCore::GetPath(std::int32_t pathId, aimp::IAIMPString** value) {
  if (value == nullptr) return aimp::kPointer;
  *value = nullptr;
  if (pathId != aimp::kCorePathProfile) return aimp::kInvalidArgument;
  *value = NewHostString(FProfileFolder);
  return aimp::kOk;
}

aimp::HResult HostCore::RegisterExtension(const aimp::Guid* serviceIid, aimp::IUnknown* extension) {
  if (serviceIid == nullptr || extension == nullptr) return aimp::kPointer;
  if (*serviceIid != aimp::kIidAIMPServiceVisualizations) return aimp::kNoInterface;
  // This player shows one visualisation at a time.
  if (FVisualization != nullptr) return aimp::kFail;
  void* visualization = nullptr;
  const aimp::HResult found = extension->Vtbl->QueryInterface(
      extension, &aimp::kIidAIMPExtensionEmbeddedVisualization, &visualization);
  if (found != aimp::kOk || visualization == nullptr) return aimp::kNoInterface;
  FVisualization = static_cast<aimp::IAIMPExtensionEmbeddedVisualization*>(visualization);
  return aimp::kOk;
}

aimp::HResult HostCore::UnregisterExtension(aimp::IUnknown* extension) {
  if (extension == nullptr) return aimp::kPointer;
  if (FVisualization == nullptr || aimp::AsUnknown(FVisualization) != extension)
    return aimp::kInvalidArgument;
  FVisualization->Vtbl->Unknown.Release(aimp::AsUnknown(std::exchange(FVisualization, nullptr)));
  return aimp::kOk;
}

}  // namespace fanhost
