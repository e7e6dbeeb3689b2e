// A slot contains whatever its work raises: the host gets the slot's neutral answer, and the failure
// is reported on the debug channel once per slot and message, however often it repeats.
#include "host/slot_guard.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace vf {
namespace {

struct ReportSink : ::testing::Test {
  std::vector<std::u16string> lines;
  void SetUp() override {
    SetFailureReportSink([this](std::u16string_view line) { lines.emplace_back(line); });
  }
  void TearDown() override { SetFailureReportSink({}); }
};

TEST_F(ReportSink, FailuresAreContainedAndReportedOncePerSlotAndMessage) {
  for (int frame = 0; frame < 3; ++frame) {
    GuardSlot("DisplayRender", [] { throw std::runtime_error("Argument out of range"); });
    EXPECT_EQ(GuardSlot("Initialize", -1, []() -> int { throw std::bad_alloc(); }), -1);
  }
  GuardSlot("DisplayRender", [] { throw std::runtime_error("Error Message"); });
  GuardSlot("DisplayResize", [] { throw 7; });
  EXPECT_EQ(GuardSlot("PluginFlags", 0u, [] { return 2u; }), 2u);

  const std::vector<std::u16string> expected = {
      u"Vindelux Fan: DisplayRender: Argument out of range",
      u"Vindelux Fan: Initialize: std::bad_alloc",
      u"Vindelux Fan: DisplayRender: Error Message",
      u"Vindelux Fan: DisplayResize: unknown failure",
  };
  EXPECT_EQ(lines, expected);
}

TEST_F(ReportSink, MessagesThatNeverRepeatStopAfterABound) {
  for (int i = 0; i < 1000; ++i)
    GuardSlot("DisplayResize", [i] { throw std::runtime_error("size " + std::to_string(i)); });
  ASSERT_FALSE(lines.empty());
  EXPECT_LT(lines.size(), 100u);
  EXPECT_EQ(lines.back(), u"Vindelux Fan: further contained failures are not reported");
}

}  // namespace
}  // namespace vf
