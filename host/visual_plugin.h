#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "host/aimp_sdk.h"
#include "options/form_options.h"
#include "host/thread_handoff.h"
#include "options/parametrs.h"
#include "platform/thread.h"
#include "platform/timer.h"
#include "host/settings_file.h"
#include "renderer/fans.h"

// The plug-in object the host drives. Its first base is the interface view the host holds, so the
// pointer the slots receive is the object itself.
namespace vf {

class TAIMP2Visual final : public aimp::IVisualPlugin {
 public:
  TAIMP2Visual();
  ~TAIMP2Visual();
  TAIMP2Visual(const TAIMP2Visual&) = delete;
  TAIMP2Visual& operator=(const TAIMP2Visual&) = delete;

  static TAIMP2Visual* FromInterface(aimp::IVisualPlugin* view) {
    return static_cast<TAIMP2Visual*>(view);
  }

  aimp::HResult QueryInterface(const aimp::Guid* iid, void** object);
  std::int32_t AddRef();
  std::int32_t Release();

  aimp::Bool32 Initialize();
  void Deinitialize();
  void DisplayClick(std::int32_t X, std::int32_t Y);
  void DisplayRender(aimp::DeviceContext DC, const aimp::TAIMPVisualData* AData);
  void DisplayResize(std::int32_t AWidth, std::int32_t AHeight);

  // The render path for a host that reports its levels another way (0 .. 100 each).
  void RenderLevels(aimp::DeviceContext DC, std::int32_t levelL, std::int32_t levelR);
  // The host's plug-in settings: the options window even while nothing is shown, its choice
  // stored at "Ok". The window is owned by the given native window where the platform has owners.
  void ShowSettings(void* owner);
  // The files this object keeps its settings in, instead of the places beside the host.
  void SetSettingsPlaces(TSettingsPlaces places) { FSettingsPlaces = std::move(places); }

  platform::TimerId TimerID() const { return FTimerID; }
  const TFans* Fans() const { return FFans.get(); }
  TFormOptions* OptionsWnd() const { return FOptionsWnd.get(); }
  TParametrs FanParametrs() const { return FFanParametrs; }

  // The handlers of the options window's two events.
  void DynamickParametrs(TObject* Sender);
  void OptionWndClose(TObject* Sender);

 private:
  void ShowOptionsWnd(void* owner = nullptr);
  void Render(aimp::DeviceContext DC);
  void ApplyParametrs();
  void ReadSettings();
  void SaveSettings();
  // A scene for the current parameters when there is none (a stored fan skin without frames).
  void TryCreateScene();
  // The clock's frame count follows the scene's skin, and the shown indices stay inside it.
  void TakeFramesCount();
  // The clock and the window belong to the threads that made them, and go on those threads:
  // at once when the caller is the owner, else handed over to it.
  void StopFrameClock();
  void CloseOptionsWnd();
  // Waits for what was handed over to other threads; true when all of it ran.
  bool WaitForHandedOverWork();

  std::atomic<std::int32_t> FRefCount{0};
  platform::TimerId FTimerID = 0;
  platform::ThreadId FClockThread = 0;
  std::unique_ptr<TFans> FFans;
  TParametrs FFanParametrs;
  std::unique_ptr<TFormOptions> FOptionsWnd;
  platform::ThreadId FWndThread = 0;
  std::vector<std::shared_ptr<THandoffTicket>> FHandedOver;
  bool FInitialized = false;
  std::optional<TSettingsPlaces> FSettingsPlaces;
  // The scene is drawn from the host's render thread while the options window's events change it
  // on the window's thread: one at a time.
  std::mutex FSceneLock;
  std::int32_t FWidth = 0;  // the area's size from the last resize, for a scene made later
  std::int32_t FHeight = 0;
};

}  // namespace vf
