#pragma once

// The player's visual plug-in interface and its per-frame data record, as they cross the module
// boundary: a table of twelve stdcall slots behind an interface pointer, and a packed 1544-byte
// record. The layout is the player's, so it is pinned here by static assertions.

#include <cstddef>
#include <cstdint>

#include "platform/api.h"

namespace aimp {

using HResult = std::int32_t;
using Bool32 = std::int32_t;  // a 32-bit boolean: 0 false, -1 (all bits set) true
using DeviceContext = void*;  // HDC

inline constexpr HResult kOk = 0;
inline constexpr HResult kNoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult kPointer = static_cast<HResult>(0x80004003u);
inline constexpr Bool32 kTrue = -1;

// Bit 1 of the plug-in flags; the player defines what it means.
inline constexpr std::uint32_t kPluginFlags = 2;

struct Guid {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];
};
static_assert(sizeof(Guid) == 16);

constexpr bool operator==(const Guid& a, const Guid& b) {
  if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.data4[i] != b.data4[i]) return false;
  return true;
}

// {00000000-0000-0000-C000-000000000046}
inline constexpr Guid kIidUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// The visual plug-in interface has no identifier of its own: sixteen zero bytes stand for it.
inline constexpr Guid kIidVisualPlugin{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

#pragma pack(push, 1)
struct TAIMPVisualData {
  std::int32_t LevelR;
  std::int32_t LevelL;
  std::uint8_t Spectrum[2][256];
  std::int8_t WaveForm[2][512];
};
#pragma pack(pop)
using PAIMPVisualData = TAIMPVisualData*;

static_assert(sizeof(TAIMPVisualData) == 1544);
static_assert(offsetof(TAIMPVisualData, LevelR) == 0);
static_assert(offsetof(TAIMPVisualData, LevelL) == 4);
static_assert(offsetof(TAIMPVisualData, Spectrum) == 8);
static_assert(offsetof(TAIMPVisualData, WaveForm) == 520);

struct IVisualPlugin;

// The interface's slot table, in the player's order. Every slot takes the interface pointer first.
struct IVisualPluginVtbl {
  HResult(VF_STDCALL* QueryInterface)(IVisualPlugin* self, const Guid* iid, void** object);
  std::int32_t(VF_STDCALL* AddRef)(IVisualPlugin* self);
  std::int32_t(VF_STDCALL* Release)(IVisualPlugin* self);
  const char16_t*(VF_STDCALL* AuthorName)(IVisualPlugin* self);
  const char16_t*(VF_STDCALL* PluginName)(IVisualPlugin* self);
  const char16_t*(VF_STDCALL* PluginInfo)(IVisualPlugin* self);
  std::uint32_t(VF_STDCALL* PluginFlags)(IVisualPlugin* self);
  Bool32(VF_STDCALL* Initialize)(IVisualPlugin* self);
  void(VF_STDCALL* Deinitialize)(IVisualPlugin* self);
  void(VF_STDCALL* DisplayClick)(IVisualPlugin* self, std::int32_t X, std::int32_t Y);
  void(VF_STDCALL* DisplayRender)(IVisualPlugin* self, DeviceContext DC, PAIMPVisualData AData);
  void(VF_STDCALL* DisplayResize)(IVisualPlugin* self, std::int32_t AWidth, std::int32_t AHeight);
};

inline constexpr std::size_t kSlotCount = 12;
static_assert(sizeof(IVisualPluginVtbl) == kSlotCount * sizeof(void*));
static_assert(offsetof(IVisualPluginVtbl, QueryInterface) == 0 * sizeof(void*));
static_assert(offsetof(IVisualPluginVtbl, AddRef) == 1 * sizeof(void*));
static_assert(offsetof(IVisualPluginVtbl, Release) == 2 * sizeof(void*));
static_assert(offsetof(IVisualPluginVtbl, AuthorName) == 3 * sizeof(void*));
static_assert(offsetof(IVisualPluginVtbl, PluginName) == 4 * sizeof(void*));
static_assert(offsetof(IVisualPluginVtbl, PluginInfo) == 5 * sizeof(void*));
static_assert(offsetof(IVisualPluginVtbl, PluginFlags) == 6 * sizeof(void*));
static_assert(offsetof(IVisualPluginVtbl, Initialize) == 7 * sizeof(void*));
static_assert(offsetof(IVisualPluginVtbl, Deinitialize) == 8 * sizeof(void*));
static_assert(offsetof(IVisualPluginVtbl, DisplayClick) == 9 * sizeof(void*));
static_assert(offsetof(IVisualPluginVtbl, DisplayRender) == 10 * sizeof(void*));
static_assert(offsetof(IVisualPluginVtbl, DisplayResize) == 11 * sizeof(void*));

// The shipping module is 32-bit: every slot, pointer and handle crossing the boundary is 4 bytes.
#if defined(_WIN32) && defined(__i386__)
static_assert(sizeof(void*) == 4);
static_assert(sizeof(IVisualPluginVtbl) == 48);
static_assert(offsetof(IVisualPluginVtbl, DisplayResize) == 44);
#endif

// What the player holds: a pointer to an object whose first field is the slot table.
struct IVisualPlugin {
  const IVisualPluginVtbl* Vtbl;
};
static_assert(sizeof(IVisualPlugin) == sizeof(void*));

// The module's one export, looked up by this exact name.
inline constexpr const char* kQueryVisualName = "AIMP_QueryVisual";
using QueryVisualProc = void(VF_STDCALL*)(IVisualPlugin** plugin);

}  // namespace aimp
