// klem against OpenCV on one thread: every operation through the exported
// interface on 1920 x 1080 images, beside the closest OpenCV call, in the same
// run; the cases come from the families' *_bench.cpp files. klem runs twice:
// on the kernel entry it picks for this processor and, where that is a wide
// one, on the SSE4.1 entry that processors without AVX2 get (selected through
// the test seam). Ends with a table of median times and
// the ratios OpenCV / klem (above 1: klem is faster).
//
//   build/bench/klem_bench [--entries=avx512,avx2,sse4.1] [--benchmark_filter=REGEX]
//                          [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"
#include "kernels/dispatch.h"

namespace {

// Median time per iteration of every benchmark, by name.
class MedianCollector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians[run.run_name.function_name] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> medians;  // in the benchmark's time unit (microseconds)
};

// One setup of each case for all its benchmarks, kept for the whole run: klem
// on every entry and OpenCV then work on the same memory. Images near the
// size of the cache run up to a third apart on separate allocations, as their
// pages fall on the cache's sets differently.
const klem::bench::Timed& SharedSetup(const klem::bench::Case& c) {
  static std::map<const klem::bench::Case*, klem::bench::Timed> setups;
  auto found = setups.find(&c);
  if (found == setups.end()) found = setups.emplace(&c, c.setup()).first;
  return found->second;
}

}  // namespace

using klem::kernels::KernelEntryName;

int main(int argc, char** argv) {
  cv::setNumThreads(1);
  klem::kernels::InitKernelDispatch();
  std::vector<int32_t> entries{klem::kernels::HighestRunnableKernelEntry()};
  if (entries[0] > klem::kernels::kEntrySse41) entries.push_back(klem::kernels::kEntrySse41);
  // --entries=NAME,NAME,... picks the kernel entries to time instead.
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--entries=", 0) != 0) continue;
    entries.clear();
    for (size_t at = 10; at <= arg.size();) {
      const size_t end = std::min(arg.find(',', at), arg.size());
      for (int32_t e = 0; e <= klem::kernels::HighestRunnableKernelEntry(); ++e) {
        if (arg.compare(at, end - at, KernelEntryName(e)) == 0) entries.push_back(e);
      }
      at = end + 1;
    }
  }
  std::vector<std::string> rows;
  for (const klem::bench::Case& c : klem::bench::AllCases()) {
    const std::string row = c.name + " | " + c.format;
    rows.push_back(row);
    for (int32_t entry : entries) {
      const std::string name = std::string("klem ") + KernelEntryName(entry) + " | " + row;
      benchmark::RegisterBenchmark(name.c_str(), [&c, entry](benchmark::State& state) {
        // Held for the whole case, temporaries the operations make included.
        klem::kernels::SetKernelEntryForTesting(entry);
        const klem::bench::Timed& timed = SharedSetup(c);
        bool asExpected = true;
        for (auto _ : state) asExpected &= timed.klem() == timed.expectedResult;
        if (!asExpected) state.SkipWithError("klem call failed");
      })->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark(("opencv | " + row).c_str(), [&c](benchmark::State& state) {
      const klem::bench::Timed& timed = SharedSetup(c);
      for (auto _ : state) timed.opencv();
    })->Unit(benchmark::kMicrosecond);
  }
  // Repetitions of all cases run in a random order, so that a slow spell of
  // the machine falls on klem and OpenCV alike.
  std::vector<char*> args{argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--entries=", 10) != 0) args.push_back(argv[i]);
  }
  std::string defaults[] = {"--benchmark_repetitions=9", "--benchmark_enable_random_interleaving=true"};
  for (std::string& option : defaults) {
    const std::string name = option.substr(0, option.find('='));
    bool given = false;
    for (int i = 1; i < argc; ++i) given |= std::strstr(argv[i], name.c_str()) != nullptr;
    if (!given) args.push_back(option.data());
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\n%-28s %-4s", "operation", "fmt");
  for (int32_t entry : entries) std::printf(" %9s", (std::string(KernelEntryName(entry)) + " us").c_str());
  std::printf(" %9s", "opencv us");
  for (int32_t entry : entries) std::printf(" %8s", (std::string("x ") + KernelEntryName(entry)).c_str());
  std::printf("\n");
  for (const std::string& row : rows) {
    const auto cv = reporter.medians.find("opencv | " + row);
    if (cv == reporter.medians.end()) continue;
    std::vector<double> klem;
    for (int32_t entry : entries) {
      const auto found = reporter.medians.find(std::string("klem ") + KernelEntryName(entry) + " | " + row);
      klem.push_back(found == reporter.medians.end() ? 0.0 : found->second);
    }
    const size_t bar = row.find(" | ");
    std::printf("%-28s %-4s", row.substr(0, bar).c_str(), row.substr(bar + 3).c_str());
    for (double t : klem) std::printf(" %9.1f", t);
    std::printf(" %9.1f", cv->second);
    for (double t : klem) std::printf(" %7.2fx", t > 0 ? cv->second / t : 0.0);
    std::printf("\n");
  }
  return 0;
}

namespace klem::bench {

std::vector<Case>& CaseList() {
  static std::vector<Case> cases;
  return cases;
}

bool AddCases(std::vector<Case> cases) {
  for (Case& c : cases) CaseList().push_back(std::move(c));
  return true;
}

const std::vector<Case>& AllCases() { return CaseList(); }

}  // namespace klem::bench
