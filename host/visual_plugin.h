#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "host/aimp_sdk.h"
#include "options/parametrs.h"
#include "platform/timer.h"
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

  platform::TimerId TimerID() const { return FTimerID; }

 private:
  void ApplyParametrs();
  void StopFrameClock();

  std::atomic<std::int32_t> FRefCount{0};
  platform::TimerId FTimerID = 0;
  std::unique_ptr<TFans> FFans;
  TParametrs FFanParametrs;
};

}  // namespace vf
