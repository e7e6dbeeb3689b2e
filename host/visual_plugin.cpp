#include "host/visual_plugin.h"

#include <utility>

#include "host/animation_state.h"
#include "host/failure_report.h"
#include "host/frame_clock.h"
#include "host/identity.h"
#include "host/random_generator.h"
#include "host/settings_file.h"
#include "host/slot_guard.h"
#include "platform/window.h"
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

// A host that releases the object without de-initialising it first must not leave a clock or a
// window behind that would call into a destroyed object or an unloaded module.
// The last Release may come from any thread: what belongs to another thread is handed over to it
// and waited for, since the host may unload the module right after.
TAIMP2Visual::~TAIMP2Visual() {
  CloseOptionsWnd();
  StopFrameClock();
  RunHandedOverWork();
  if (!WaitForHandedOverWork())
    ReportContainedFailure("Release", "the window or the clock of another thread was not closed in time");
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
  if (FInitialized) return aimp::kTrue;
  RunHandedOverWork();
  FInitialized = true;
  FTimerID = platform::SetTimer(kFrameClockIntervalMs, FrameClockTick);
  FClockThread = platform::CurrentThreadId();
  // The object still works without its clock, but its fans would never turn: that is reported.
  if (FTimerID == 0)
    ReportContainedFailure("Initialize", "the frame clock cannot be started: " + LastSystemErrorText());
  ReadSettings();
  ApplyParametrs();
  // The scene starts at 0 x 0 and is built by the first resize. When the stored fan skin has no
  // frames its creation fails; the clock then runs without a scene, which the other calls allow,
  // and a valid fan picked in the options window makes one.
  const std::lock_guard scene(FSceneLock);
  FWidth = FHeight = 0;
  TryCreateScene();
  return aimp::kTrue;
}

void TAIMP2Visual::Deinitialize() {
  RunHandedOverWork();
  // Nothing to store for an object that never read its settings: it holds no user's choice.
  if (!FInitialized) return;
  FInitialized = false;
  // The clock stops, the window closes and the scene goes even when the settings cannot be stored.
  struct Teardown {
    TAIMP2Visual& self;
    ~Teardown() {
      self.CloseOptionsWnd();
      self.StopFrameClock();
      // reset() nulls the field before it destroys the scene it held.
      const std::lock_guard scene(self.FSceneLock);
      self.FFans.reset();
    }
  } teardown{*this};
  SaveSettings();
}

void TAIMP2Visual::DisplayClick(std::int32_t, std::int32_t) {
  RunHandedOverWork();
  // Before Initialize there are no parameters to show: a window would offer zeros nobody chose.
  if (!FInitialized) return;
  ShowOptionsWnd();
}

void TAIMP2Visual::DisplayRender(aimp::DeviceContext DC, const aimp::TAIMPVisualData* AData) {
  if (AData != nullptr) PushLevels(AnimationState, AData->LevelL, AData->LevelR);
  Render(DC);
}

void TAIMP2Visual::RenderLevels(aimp::DeviceContext DC, std::int32_t levelL, std::int32_t levelR) {
  PushLevels(AnimationState, levelL, levelR);
  Render(DC);
}

void TAIMP2Visual::Render(aimp::DeviceContext DC) {
  // Only work of the calling thread: a window of another thread is never touched here.
  RunHandedOverWork();
  const std::lock_guard scene(FSceneLock);
  if (FFans == nullptr) return;
  FFans->UpdateFan(Load(AnimationState.Frame1), Load(AnimationState.Frame2));
  FFans->DrawTo(DC);
}

void TAIMP2Visual::DisplayResize(std::int32_t AWidth, std::int32_t AHeight) {
  RunHandedOverWork();
  const std::lock_guard scene(FSceneLock);
  Store(AnimationState.Frame1, 0);
  Store(AnimationState.Frame2, 0);
  FWidth = AWidth;
  FHeight = AHeight;
  if (FFans != nullptr) FFans->SetSize(AWidth, AHeight);
}

void TAIMP2Visual::ShowSettings(void* owner) {
  RunHandedOverWork();
  // Shown without a visualisation running: the stored choice is what the window offers.
  if (!FInitialized && FOptionsWnd == nullptr) ReadSettings();
  ShowOptionsWnd(owner);
}

void TAIMP2Visual::ShowOptionsWnd(void* owner) {
  if (FOptionsWnd == nullptr) {
    FOptionsWnd = std::make_unique<TFormOptions>();
    FWndThread = platform::CurrentThreadId();
    // Bound before SetParametrs, whose setting of the controls already raises live changes.
    // The window's events come from the host's message loop, not through a slot, so they are
    // guarded the same way: nothing may reach the loop.
    FOptionsWnd->SetOnTerminate(
        [this](TObject* Sender) { GuardSlot("OptionWndClose", [&] { OptionWndClose(Sender); }); });
    FOptionsWnd->SetOnChangeParametrs([this](TObject* Sender) {
      GuardSlot("DynamickParametrs", [&] { DynamickParametrs(Sender); });
    });
    FOptionsWnd->SetParametrs(FFanParametrs);
  }
  if (owner != nullptr) FOptionsWnd->SetOwner(owner);
  static constexpr std::u16string_view kSkinNames[] = {
      u"Deep (internal)", u"DarkGlass (internal)", u"MacOS (internal)", u"Cold (internal)",
      u"TV-b (internal)"};
  FOptionsWnd->sSkinManager1.SetSkinName(kSkinNames[ModuleRandom().Random(5)]);
  const platform::Point cursor = platform::CursorPos();
  // Division truncates toward zero, as the window's placement has always done.
  FOptionsWnd->MoveTo(cursor.X - FOptionsWnd->Width() / 2, cursor.Y + 5);
  FOptionsWnd->Show();
  FOptionsWnd->BringToFront();
}

void TAIMP2Visual::DynamickParametrs(TObject*) {
  if (FOptionsWnd == nullptr) return;
  FFanParametrs = FOptionsWnd->GetParametrs();
  const std::lock_guard scene(FSceneLock);
  if (FFans == nullptr) {
    // Only a running visualisation has a scene; the host's settings dialog changes none.
    if (FInitialized) TryCreateScene();
  } else {
    FFans->SetSkinFanIndex(FFanParametrs.Fan);
    TakeFramesCount();
    FFans->SetSkinBackgroundIndex(FFanParametrs.Background);
  }
  ApplyParametrs();
}

void TAIMP2Visual::OptionWndClose(TObject*) {
  if (FOptionsWnd == nullptr) return;
  // The window is destroyed only after its own close handling has returned, on its own thread.
  std::shared_ptr<TFormOptions> closed = std::move(FOptionsWnd);
  FHandedOver.push_back(HandOver(FWndThread, [closed]() mutable { closed.reset(); }));
  if (closed->ModalResult() != 1) return;
  FFanParametrs = closed->GetParametrs();
  // Applied before the file is written: what the user chose holds even when the file refuses it.
  ApplyParametrs();
  SaveSettings();
}

void TAIMP2Visual::ApplyParametrs() {
  Store(AnimationState.Speed, FFanParametrs.Speed);
  Store(AnimationState.Fan, FFanParametrs.Fan);
  Store(AnimationState.Background, FFanParametrs.Background);
}

void TAIMP2Visual::ReadSettings() {
  FFanParametrs = vf::ReadSettings(FSettingsPlaces ? *FSettingsPlaces : SettingsPlaces());
}

void TAIMP2Visual::SaveSettings() {
  vf::SaveSettings(FSettingsPlaces ? *FSettingsPlaces : SettingsPlaces(), FFanParametrs);
}

void TAIMP2Visual::TryCreateScene() {
  FFans = std::make_unique<TFans>(FFanParametrs.Fan, FFanParametrs.Background, FWidth, FHeight, true);
  TakeFramesCount();
}

void TAIMP2Visual::TakeFramesCount() {
  const std::int32_t count = FFans->FramesCount();
  Store(AnimationState.FramesCount, count);
  if (count <= 0) return;
  Store(AnimationState.Frame1, Load(AnimationState.Frame1) % count);
  Store(AnimationState.Frame2, Load(AnimationState.Frame2) % count);
}

void TAIMP2Visual::StopFrameClock() {
  if (FTimerID == 0) return;
  const platform::TimerId timer = std::exchange(FTimerID, 0);
  FHandedOver.push_back(RunOnOwner(FClockThread, [timer] {
    if (!platform::KillTimer(timer))
      ReportContainedFailure("KillTimer", "the frame clock cannot be stopped: " + LastSystemErrorText());
  }));
}

void TAIMP2Visual::CloseOptionsWnd() {
  if (FOptionsWnd == nullptr) return;
  std::shared_ptr<TFormOptions> window = std::move(FOptionsWnd);
  FHandedOver.push_back(RunOnOwner(FWndThread, [window]() mutable {
    // Its events must not reach a scene or an object that is going away.
    window->SetOnTerminate({});
    window->SetOnChangeParametrs({});
    window.reset();
  }));
}

bool TAIMP2Visual::WaitForHandedOverWork() {
  // The owner's clock ticks every few dozen milliseconds; a loaded machine gets plenty of time.
  constexpr auto kPatience = std::chrono::seconds(10);
  bool allRan = true;
  for (const auto& ticket : FHandedOver) allRan = ticket->WaitDone(kPatience) && allRan;
  FHandedOver.clear();
  return allRan;
}

}  // namespace vf
