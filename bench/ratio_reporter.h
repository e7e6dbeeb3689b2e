#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

// Benchmarks here are judged by ratios within one run: ours against a reference doing the same
// work on the same machine at the same time.
namespace vf::bench {

// The console output, plus each benchmark's real time per iteration in seconds: the median when
// the run has repetitions (--benchmark_repetitions=5 steadies the ratios on a busy machine).
// Where a program measures CPU time instead, the same with each benchmark's CPU time.
enum class TimeBase { Real, Cpu };

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(TimeBase base = TimeBase::Real) : FBase(base) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const double time =
          FBase == TimeBase::Cpu ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime();
      const double seconds = time / benchmark::GetTimeUnitMultiplier(run.time_unit);
      const std::string name = run.run_name.str();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        FSeconds[name] = seconds;
        FMedians.insert(name);
      } else if (run.run_type == Run::RT_Iteration && FMedians.count(name) == 0) {
        FSeconds[name] = seconds;
      }
    }
  }

  const std::map<std::string, double>& Seconds() const { return FSeconds; }

 private:
  TimeBase FBase;
  std::map<std::string, double> FSeconds;
  std::set<std::string> FMedians;
};

struct Comparison {
  const char* what;
  const char* ours;
  const char* reference;
  const char* target;  // how the ratio ours / reference should look
};

inline void PrintComparisons(std::span<const Comparison> comparisons,
                             const std::map<std::string, double>& seconds) {
  std::printf("\n%-40s %12s %12s %14s %8s\n", "operation", "ours (ms)", "ref (ms)", "ours / ref",
              "target");
  for (const Comparison& c : comparisons) {
    const auto ours = seconds.find(c.ours);
    if (ours == seconds.end()) continue;
    const auto reference = seconds.find(c.reference);
    if (reference == seconds.end()) {
      std::printf("%-40s %12.4f %12s %14s %8s\n", c.what, ours->second * 1e3, "-", "-", c.target);
      continue;
    }
    const double ratio = ours->second / reference->second;
    std::printf("%-40s %12.4f %12.4f %8.2f (%4.1fx) %8s\n", c.what, ours->second * 1e3,
                reference->second * 1e3, ratio, 1.0 / ratio, c.target);
  }
}

// The body of a benchmark program's main: runs the benchmarks the command line selects, then hands
// each one's time to the program's own ratio printer.
template <typename PrintRatios>
int RunAndPrintRatios(int argc, char** argv, PrintRatios&& printRatios,
                      TimeBase base = TimeBase::Real) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter(base);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  printRatios(reporter.Seconds());
  return 0;
}

}  // namespace vf::bench
