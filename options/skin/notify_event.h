#pragma once

#include <functional>

// The event shape the window and its controls share: a single subscriber that receives the object
// that raised the event. An event is raised only when a subscriber is bound.
namespace vf {

class TObject {
 public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

inline void Raise(const TNotifyEvent& event, TObject* sender) {
  if (event) event(sender);
}

}  // namespace vf
