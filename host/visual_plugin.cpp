#include "host/visual_plugin.h"

#include "host/animation_state.h"
#include "host/frame_clock.h"
#include "host/identity.h"
#include "host/slot_guard.h"
#include "renderer/imaging_lifetime.h"

namespace vf {

namespace {

TAIMP2Visual* Self(aimp::IVisualPlugin* view) { return TAIMP2Visual::FromInterface(view); }

// The slots: each forwards to the object inside the failure guard. The identity slots need no
// object state and answer the same in every state.
aimp::HResult VF_STDCALL SlotQueryInterface(aimp::IVisualPlugin* self, const aimp::Guid* iid,
                                            void** object) {
  return GuardSlot("QueryInterface", aimp::kNoInterface,
                   [&] { return Self(self)->QueryInterface(iid, object); });
}
std::int32_t VF_STDCALL SlotAddRef(aimp::IVisualPlugin* self) {
  return GuardSlot("AddRef", 0, [&] { return Self(self)->AddRef(); });
}
std::int32_t VF_STDCALL SlotRelease(aimp::IVisualPlugin* self) {
  return GuardSlot("Release", 0, [&] { return Self(self)->Release(); });
}
const char16_t* VF_STDCALL SlotAuthorName(aimp::IVisualPlugin*) { return kAuthorName; }
const char16_t* VF_STDCALL SlotPluginName(aimp::IVisualPlugin*) { return kPluginName; }
const char16_t* VF_STDCALL SlotPluginInfo(aimp::IVisualPlugin*) { return kPluginInfo; }
std::uint32_t VF_STDCALL SlotPluginFlags(aimp::IVisualPlugin*) { return aimp::kPluginFlags; }
aimp::Bool32 VF_STDCALL SlotInitialize(aimp::IVisualPlugin* self) {
  // The host reads this result as "started"; a contained failure still answers true, since the
  // interface has no other way to report it and the object stays usable.
  return GuardSlot("Initialize", aimp::kTrue, [&] { return Self(self)->Initialize(); });
}
void VF_STDCALL SlotDeinitialize(aimp::IVisualPlugin* self) {
  GuardSlot("Deinitialize", [&] { Self(self)->Deinitialize(); });
}
void VF_STDCALL SlotDisplayClick(aimp::IVisualPlugin* self, std::int32_t x, std::int32_t y) {
  GuardSlot("DisplayClick", [&] { Self(self)->DisplayClick(x, y); });
}
void VF_STDCALL SlotDisplayRender(aimp::IVisualPlugin* self, aimp::DeviceContext dc,
                                  aimp::PAIMPVisualData data) {
  GuardSlot("DisplayRender", [&] { Self(self)->DisplayRender(dc, data); });
}
void VF_STDCALL SlotDisplayResize(aimp::IVisualPlugin* self, std::int32_t width,
                                  std::int32_t height) {
  GuardSlot("DisplayResize", [&] { Self(self)->DisplayResize(width, height); });
}

constexpr aimp::IVisualPluginVtbl kVisualPluginSlots = {
    SlotQueryInterface, SlotAddRef,       SlotRelease,      SlotAuthorName,
    SlotPluginName,     SlotPluginInfo,   SlotPluginFlags,  SlotInitialize,
    SlotDeinitialize,   SlotDisplayClick, SlotDisplayRender, SlotDisplayResize,
};

}  // namespace

// Each plug-in object is a user of the imaging library, which therefore runs from the first image
// until the last object is gone, and is never started or stopped by the module loader.
TAIMP2Visual::TAIMP2Visual() : aimp::IVisualPlugin{&kVisualPluginSlots} { AcquireImagingUser(); }

// A host that releases the object without de-initialising it first must not leave a clock behind
// that would tick into a destroyed object or an unloaded module.
TAIMP2Visual::~TAIMP2Visual() {
  StopFrameClock();
  // Every image must be gone before the imaging library may shut down with the last user.
  FFans.reset();
  ReleaseImagingUser();
}

aimp::HResult TAIMP2Visual::QueryInterface(const aimp::Guid* iid, void** object) {
  if (object == nullptr) return aimp::kPointer;
  *object = nullptr;
  if (iid == nullptr) return aimp::kPointer;
  if (*iid == aimp::kIidUnknown || *iid == aimp::kIidVisualPlugin) {
    *object = static_cast<aimp::IVisualPlugin*>(this);
    AddRef();
    return aimp::kOk;
  }
  return aimp::kNoInterface;
}

std::int32_t TAIMP2Visual::AddRef() { return ++FRefCount; }

std::int32_t TAIMP2Visual::Release() {
  const std::int32_t count = --FRefCount;
  if (count == 0) delete this;
  return count;
}

aimp::Bool32 TAIMP2Visual::Initialize() {
  // A repeated Initialize keeps the clock and the scene it already has.
  if (FTimerID != 0 || FFans != nullptr) return aimp::kTrue;
  FTimerID = platform::SetTimer(kFrameClockIntervalMs, FrameClockTick);
  // The settings file is read here once it exists; until then the parameters are what a missing
  // file yields.
  FFanParametrs = kDefaultParametrs;
  ApplyParametrs();
  // The scene starts at 0 x 0 and is built by the first resize. When the stored fan skin has no
  // frames its creation fails; the clock then runs without a scene, which the other calls allow.
  FFans = std::make_unique<TFans>(Load(AnimationState.Fan), Load(AnimationState.Background), 0, 0, true);
  Store(AnimationState.FramesCount, FFans->FramesCount());
  return aimp::kTrue;
}

void TAIMP2Visual::Deinitialize() {
  // Storing the settings file comes first here, once the settings exist.
  StopFrameClock();
  // reset() nulls the field before it destroys the scene it held.
  FFans.reset();
}

void TAIMP2Visual::DisplayClick(std::int32_t, std::int32_t) {
  // The options window opens here once it exists; the click's coordinates are not used.
}

void TAIMP2Visual::DisplayRender(aimp::DeviceContext DC, const aimp::TAIMPVisualData* AData) {
  if (AData != nullptr) PushLevels(AnimationState, AData->LevelL, AData->LevelR);
  if (FFans == nullptr) return;
  FFans->UpdateFan(Load(AnimationState.Frame1), Load(AnimationState.Frame2));
  FFans->DrawTo(DC);
}

void TAIMP2Visual::DisplayResize(std::int32_t AWidth, std::int32_t AHeight) {
  Store(AnimationState.Frame1, 0);
  Store(AnimationState.Frame2, 0);
  if (FFans != nullptr) FFans->SetSize(AWidth, AHeight);
}

void TAIMP2Visual::ApplyParametrs() {
  Store(AnimationState.Speed, FFanParametrs.Speed);
  Store(AnimationState.Fan, FFanParametrs.Fan);
  Store(AnimationState.Background, FFanParametrs.Background);
}

void TAIMP2Visual::StopFrameClock() {
  if (FTimerID == 0) return;
  platform::KillTimer(FTimerID);
  FTimerID = 0;
}

}  // namespace vf
