#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "renderer/errors.h"

// Failures that a slot contains are reported on the platform's debug channel, so that they stay
// visible to whoever looks, while the host sees nothing. Each pair of slot and message is reported
// once per module load, so a render loop that fails every frame cannot flood the channel.
namespace vf {

void ReportContainedFailure(std::string_view slot, std::string_view message) noexcept;

// The system's reason for the failure the platform reported last, for a report.
std::string LastSystemErrorText();

// A failure whose report says more than its message: the message stays the one users and callers
// know, and the report adds what only whoever looks into it needs, such as the system's reason.
class EReportedFailure : public Exception {
 public:
  EReportedFailure(const std::string& message, std::string report)
      : Exception(message), FReport(std::move(report)) {}
  const std::string& Report() const noexcept { return FReport; }

 private:
  std::string FReport;
};

// Where reports go instead of the debug channel, for tests; an empty function restores the channel.
// Also forgets what was reported so far.
using FailureReportSink = std::function<void(std::u16string_view line)>;
void SetFailureReportSink(FailureReportSink sink);

}  // namespace vf
