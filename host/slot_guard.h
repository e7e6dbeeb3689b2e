#pragma once

#include <exception>
#include <utility>

#include "host/failure_report.h"

// The host has no channel for failures, and an exception crossing a C boundary would end the
// player. Every slot therefore runs its work inside this guard, which contains any failure, reports
// it on the debug channel, and answers the slot's neutral result.
namespace vf {

namespace detail {

inline void ReportCurrentFailure(const char* slot) noexcept {
  try {
    throw;
  } catch (const EReportedFailure& error) {
    ReportContainedFailure(slot, error.Report());
  } catch (const std::exception& error) {
    ReportContainedFailure(slot, error.what());
  } catch (...) {
    ReportContainedFailure(slot, "unknown failure");
  }
}

}  // namespace detail

template <typename Result, typename Work>
Result GuardSlot(const char* slot, Result onFailure, Work&& work) noexcept {
  try {
    return std::forward<Work>(work)();
  } catch (...) {
    detail::ReportCurrentFailure(slot);
    return onFailure;
  }
}

template <typename Work>
void GuardSlot(const char* slot, Work&& work) noexcept {
  try {
    std::forward<Work>(work)();
  } catch (...) {
    detail::ReportCurrentFailure(slot);
  }
}

}  // namespace vf
