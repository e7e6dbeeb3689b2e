#include "host/thread_handoff.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <utility>
#include <vector>

#include "host/failure_report.h"

namespace vf {
namespace {

class Ticket final : public THandoffTicket {
 public:
  bool WaitDone(std::chrono::milliseconds limit) override {
    std::unique_lock lock(FLock);
    return FDone.wait_for(lock, limit, [this] { return FRan; });
  }
  void MarkDone() {
    {
      std::lock_guard guard(FLock);
      FRan = true;
    }
    FDone.notify_all();
  }

 private:
  std::mutex FLock;
  std::condition_variable FDone;
  bool FRan = false;
};

struct Entry {
  platform::ThreadId owner;
  std::function<void()> work;
  std::shared_ptr<Ticket> ticket;
};

std::mutex& QueueLock() {
  static std::mutex lock;
  return lock;
}

std::vector<Entry>& Queue() {
  static std::vector<Entry> queue;
  return queue;
}

void Run(Entry& entry) {
  // Nothing may reach the host's message loop from here.
  try {
    entry.work();
  } catch (const std::exception& error) {
    ReportContainedFailure("handed-over work", error.what());
  } catch (...) {
    ReportContainedFailure("handed-over work", "unknown failure");
  }
  entry.work = nullptr;  // what the work held goes on the owner thread too
  entry.ticket->MarkDone();
}

}  // namespace

std::shared_ptr<THandoffTicket> HandOver(platform::ThreadId owner, std::function<void()> work) {
  auto ticket = std::make_shared<Ticket>();
  std::lock_guard guard(QueueLock());
  Queue().push_back({owner, std::move(work), ticket});
  return ticket;
}

std::shared_ptr<THandoffTicket> RunOnOwner(platform::ThreadId owner, std::function<void()> work) {
  if (owner != platform::CurrentThreadId()) return HandOver(owner, std::move(work));
  Entry entry{owner, std::move(work), std::make_shared<Ticket>()};
  Run(entry);
  return entry.ticket;
}

void RunHandedOverWork() {
  const platform::ThreadId self = platform::CurrentThreadId();
  // Work may hand over more work, so the queue is never held while it runs.
  for (;;) {
    Entry entry;
    {
      std::lock_guard guard(QueueLock());
      auto& queue = Queue();
      auto it = std::find_if(queue.begin(), queue.end(), [self](const Entry& e) { return e.owner == self; });
      if (it == queue.end()) return;
      entry = std::move(*it);
      queue.erase(it);
    }
    Run(entry);
  }
}

}  // namespace vf
