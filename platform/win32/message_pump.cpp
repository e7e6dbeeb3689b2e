#include "platform/message_pump.h"

#include <windows.h>

namespace platform {

PumpResult PumpMessages() {
  PumpResult result;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      result.quit = true;
      break;
    }
    if (msg.message == WM_TIMER) ++result.timerMessages;
    ++result.messages;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return result;
}

void WaitForMessages(std::uint32_t timeoutMs) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_ALLINPUT);
}

}  // namespace platform
