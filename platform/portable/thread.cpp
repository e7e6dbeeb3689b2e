#include "platform/thread.h"

#include <unistd.h>

namespace platform {

ThreadId CurrentThreadId() { return static_cast<ThreadId>(::gettid()); }

}  // namespace platform
