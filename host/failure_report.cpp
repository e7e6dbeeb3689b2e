#include "host/failure_report.h"

#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "platform/debug_channel.h"
#include "platform/resources.h"
#include "platform/text.h"

namespace vf {

namespace {

// A bound on what is remembered: messages that carry changing numbers would otherwise grow the set
// without end. Past it, one last line says that reports stop.
constexpr std::size_t kMaxDistinctReports = 64;

struct ReportState {
  std::mutex lock;
  std::set<std::pair<std::string, std::string>> reported;
  bool silenced = false;
  FailureReportSink sink;
};

ReportState& State() {
  static ReportState state;
  return state;
}

}  // namespace

void ReportContainedFailure(std::string_view slot, std::string_view message) noexcept {
  try {
    ReportState& state = State();
    std::lock_guard guard(state.lock);
    if (state.silenced) return;
    std::string text = "Vindelux Fan: " + std::string(slot) + ": " + std::string(message);
    if (state.reported.size() >= kMaxDistinctReports) {
      state.silenced = true;
      text = "Vindelux Fan: further contained failures are not reported";
    } else if (!state.reported.emplace(slot, message).second) {
      return;
    }
    const std::u16string line = platform::Utf8ToUtf16(text);
    if (state.sink) {
      state.sink(line);
    } else {
      platform::OutputDebugLine(line);
    }
  } catch (...) {
    // Reporting is a courtesy: when even that fails there is nothing left to tell.
  }
}

void SetFailureReportSink(FailureReportSink sink) {
  ReportState& state = State();
  std::lock_guard guard(state.lock);
  state.sink = std::move(sink);
  state.reported.clear();
  state.silenced = false;
}

std::string LastSystemErrorText() {
  return platform::Utf16ToUtf8(platform::SysErrorMessage(platform::GetLastError()));
}

}  // namespace vf
