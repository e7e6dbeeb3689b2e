#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "platform/thread.h"

// Work that only one thread may do: destroying the windows it made and stopping its timers, which
// the window system refuses to any other thread. The host may call into the module from any
// thread, so such work is handed over to its owner, and runs when the owner next enters the
// module: at its next slot call or its next clock tick, which its message loop delivers.
namespace vf {

// Tells when a piece of handed-over work has run.
class THandoffTicket {
 public:
  virtual ~THandoffTicket() = default;
  // True once the work ran, waiting at most the given time for it.
  virtual bool WaitDone(std::chrono::milliseconds limit) = 0;
};

// Queues the work for the owner thread, also when the caller is the owner: it then runs after
// what the caller is doing now, such as the window's own close handling.
std::shared_ptr<THandoffTicket> HandOver(platform::ThreadId owner, std::function<void()> work);

// Runs the work at once when the caller is the owner, and hands it over otherwise.
std::shared_ptr<THandoffTicket> RunOnOwner(platform::ThreadId owner, std::function<void()> work);

// Runs the work handed over to the calling thread, in the order it came.
void RunHandedOverWork();

}  // namespace vf
