#include "platform/thread.h"

#include <windows.h>

namespace platform {

ThreadId CurrentThreadId() { return ::GetCurrentThreadId(); }

}  // namespace platform
