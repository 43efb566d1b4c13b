// klem against OpenCV on one thread: every operation through the exported
// interface on 1920 x 1080 images, beside the closest OpenCV call, in the same
// run. klem runs twice: on the kernel entry it picks for this processor and,
// where that is a wide one, on the SSE4.1 entry that processors without AVX2
// get (selected through the test seam). Ends with a table of median times and
// the ratios OpenCV / klem (above 1: klem is faster).
//
//   build/bench/klem_bench [--entries=avx512,avx2,sse4.1] [--benchmark_filter=REGEX]
//                          [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "kernels/dispatch.h"
#include "klem/klem.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// An image that klem and OpenCV share: the Mat views the handle's own memory.
struct SharedImage {
  SharedImage(uint32_t bpp, int cvType, uint32_t seed, int minValue = 0) : handle(KLEM_CreateCKorPelora()) {
    KLEM_Create(handle, kWidth, kHeight, bpp);
    void* memory = nullptr;
    KLEM_GetImageMemory(handle, &memory);
    int32_t step = 0;
    KLEM_GetWidthBytes(handle, &step);
    mat = cv::Mat(kHeight, kWidth, cvType, memory, static_cast<size_t>(step));
    const int maxValue = CV_MAT_DEPTH(cvType) == CV_16U ? 65535 : 255;
    cv::RNG rng(seed);
    rng.fill(mat, cv::RNG::UNIFORM, cv::Scalar::all(minValue), cv::Scalar::all(maxValue + 1));
  }
  ~SharedImage() { KLEM_FreeCKorPelora(handle); }
  KLEM_HANDLE handle;
  cv::Mat mat;
};

struct Format {
  const char* name;
  uint32_t bpp;
  int type8;
  int type16;
  uint32_t hdrBpp;
  bool vectors = false;  // the vector-math cases, on as many 3-vectors as a 24-bit image has pixels / 20
};
const Format kFormats[] = {{"8", 8, CV_8UC1, CV_16UC1, 16},
                           {"24", 24, CV_8UC3, CV_16UC3, 48},
                           {"vec", 8, CV_8UC1, CV_16UC1, 16, true}};
constexpr int kVectors = kWidth * kHeight / 20;

// Operands of one case: dst is written, a and b are read; the vector cases
// write `result` from `vectors`, which OpenCV sees as one row of 3-channel doubles.
struct Operands {
  explicit Operands(const Format& f)
      : dst(f.bpp, f.type8, 1), a(f.bpp, f.type8, 2, 1), b(f.bpp, f.type8, 3, 1),
        hdr(f.hdrBpp, f.type16, 4), math(ZEV_CreateCFastMath()), vectors(3 * kVectors),
        result(3 * kVectors), vectorMat(1, kVectors, CV_64FC3, vectors.data()),
        resultMat(1, kVectors, CV_64FC3, result.data()) {
    cv::RNG(5).fill(vectorMat, cv::RNG::UNIFORM, cv::Scalar::all(-1000), cv::Scalar::all(1000));
  }
  ~Operands() { ZEV_FreeCFastMath(math); }
  SharedImage dst, a, b, hdr;
  ZEV_HANDLE math;
  std::vector<double> vectors, result;
  cv::Mat vectorMat, resultMat;
};

struct Case {
  std::string name;
  int32_t scaleFactor;
  std::function<uint32_t(Operands&)> klem;
  std::function<void(Operands&)> opencv;
  bool vectors = false;
};

const double kVector[3] = {1.5, -2.25, 3.0};
const double kMatrix[9] = {0.5, 1.5, -2, 3, 0.25, 1, -1, 2, 0.75};

std::vector<Case> Cases() {
  const cv::Scalar c3(3, 5, 7);
  const uint32_t k3 = 0x070503;
  return {
      {"add", 0, [](Operands& o) { return KLEM_Add(o.dst.handle, o.a.handle); },
       [](Operands& o) { cv::add(o.dst.mat, o.a.mat, o.dst.mat); }},
      {"add /2", 1, [](Operands& o) { return KLEM_Add(o.dst.handle, o.a.handle); },
       [](Operands& o) { cv::addWeighted(o.dst.mat, 0.5, o.a.mat, 0.5, 0, o.dst.mat); }},
      {"add constant", 0, [=](Operands& o) { return KLEM_AddConstant(o.dst.handle, k3); },
       [=](Operands& o) { cv::add(o.dst.mat, c3, o.dst.mat); }},
      {"subtract", 0, [](Operands& o) { return KLEM_Subtract(o.dst.handle, o.a.handle); },
       [](Operands& o) { cv::subtract(o.dst.mat, o.a.mat, o.dst.mat); }},
      {"subtract constant", 0, [=](Operands& o) { return KLEM_SubtractConstant(o.dst.handle, k3); },
       [=](Operands& o) { cv::subtract(o.dst.mat, c3, o.dst.mat); }},
      {"multiply /256", 8, [](Operands& o) { return KLEM_Multiply(o.dst.handle, o.a.handle); },
       [](Operands& o) { cv::multiply(o.dst.mat, o.a.mat, o.dst.mat, 1.0 / 256); }},
      {"multiply constant", 0, [=](Operands& o) { return KLEM_MultiplyConstant(o.dst.handle, k3); },
       [=](Operands& o) { cv::multiply(o.dst.mat, c3, o.dst.mat); }},
      {"divide", 0, [](Operands& o) { return KLEM_Divide(o.dst.handle, o.a.handle); },
       [](Operands& o) { cv::divide(o.dst.mat, o.a.mat, o.dst.mat); }},
      {"divide constant", 0, [=](Operands& o) { return KLEM_DivideConstant(o.dst.handle, k3); },
       [=](Operands& o) { cv::divide(o.dst.mat, c3, o.dst.mat); }},
      {"difference", 0, [](Operands& o) { return KLEM_Difference(o.dst.handle, o.a.handle, o.b.handle); },
       [](Operands& o) { cv::absdiff(o.a.mat, o.b.mat, o.dst.mat); }},
      {"difference constant", 0,
       [](Operands& o) { return KLEM_DifferenceConstant(o.dst.handle, o.a.handle, 9); },
       [](Operands& o) { cv::absdiff(o.a.mat, cv::Scalar::all(9), o.dst.mat); }},
      {"and", 0, [](Operands& o) { return KLEM_And(o.dst.handle, o.a.handle); },
       [](Operands& o) { cv::bitwise_and(o.dst.mat, o.a.mat, o.dst.mat); }},
      {"and constant", 0, [=](Operands& o) { return KLEM_AndConstant(o.dst.handle, k3); },
       [=](Operands& o) { cv::bitwise_and(o.dst.mat, c3, o.dst.mat); }},
      {"or", 0, [](Operands& o) { return KLEM_Or(o.dst.handle, o.a.handle); },
       [](Operands& o) { cv::bitwise_or(o.dst.mat, o.a.mat, o.dst.mat); }},
      {"or constant", 0, [=](Operands& o) { return KLEM_OrConstant(o.dst.handle, k3); },
       [=](Operands& o) { cv::bitwise_or(o.dst.mat, c3, o.dst.mat); }},
      {"xor", 0, [](Operands& o) { return KLEM_Xor(o.dst.handle, o.a.handle); },
       [](Operands& o) { cv::bitwise_xor(o.dst.mat, o.a.mat, o.dst.mat); }},
      {"xor constant", 0, [=](Operands& o) { return KLEM_XorConstant(o.dst.handle, k3); },
       [=](Operands& o) { cv::bitwise_xor(o.dst.mat, c3, o.dst.mat); }},
      {"invert", 0, [](Operands& o) { return KLEM_Invert(o.dst.handle); },
       [](Operands& o) { cv::bitwise_not(o.dst.mat, o.dst.mat); }},
      {"scale right 1", 0, [](Operands& o) { return KLEM_Scale(o.dst.handle, 1, 1, 1, 0); },
       [](Operands& o) { o.dst.mat.convertTo(o.dst.mat, -1, 0.5); }},
      {"hdr scale down", 0, [](Operands& o) { return KLEM_HDRScaleDown(o.dst.handle, o.hdr.handle); },
       [](Operands& o) { o.hdr.mat.convertTo(o.dst.mat, o.dst.mat.type(), 1.0 / 257); }},
      {"vector add", 0,
       [](Operands& o) { return ZEV_Add(o.math, o.vectors.data(), kVectors, kVector, o.result.data(), kVectors); },
       [](Operands& o) { cv::add(o.vectorMat, cv::Scalar(kVector[0], kVector[1], kVector[2]), o.resultMat); },
       true},
      {"vector mul", 0,
       [](Operands& o) { return ZEV_Mul(o.math, o.vectors.data(), kVectors, kVector, o.result.data(), kVectors); },
       [](Operands& o) { cv::multiply(o.vectorMat, cv::Scalar(kVector[0], kVector[1], kVector[2]), o.resultMat); },
       true},
      {"vector matrix", 0,
       [](Operands& o) {
         return ZEV_MulMatrix(o.math, kMatrix, 3, 3, o.vectors.data(), kVectors, o.result.data(), kVectors);
       },
       [](Operands& o) { cv::transform(o.vectorMat, o.resultMat, cv::Mat(3, 3, CV_64F, const_cast<double*>(kMatrix))); },
       true},
  };
}

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
  for (const Format& format : kFormats) {
    for (const Case& c : Cases()) {
      if (c.vectors != format.vectors) continue;
      const std::string row = c.name + " | " + format.name;
      rows.push_back(row);
      for (int32_t entry : entries) {
        const std::string name = std::string("klem ") + KernelEntryName(entry) + " | " + row;
        benchmark::RegisterBenchmark(name.c_str(), [c, &format, entry](benchmark::State& state) {
          Operands operands(format);
          // Every new handle picks the processor's entry again.
          klem::kernels::SetKernelEntryForTesting(entry);
          KLEM_SetScaleFactor(operands.dst.handle, c.scaleFactor);
          uint32_t result = 0;
          for (auto _ : state) result |= c.klem(operands);
          // Division by a zero sample only warns; anything else is a broken benchmark.
          if (result != KLEM_OK && c.name != "divide") state.SkipWithError("klem call failed");
        })->Unit(benchmark::kMicrosecond);
      }
      benchmark::RegisterBenchmark(("opencv | " + row).c_str(), [c, &format](benchmark::State& state) {
        Operands operands(format);
        for (auto _ : state) c.opencv(operands);
      })->Unit(benchmark::kMicrosecond);
    }
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

  std::printf("\n%-20s %-4s", "operation", "fmt");
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
    std::printf("%-20s %-4s", row.substr(0, bar).c_str(), row.substr(bar + 3).c_str());
    for (double t : klem) std::printf(" %9.1f", t);
    std::printf(" %9.1f", cv->second);
    for (double t : klem) std::printf(" %7.2fx", t > 0 ? cv->second / t : 0.0);
    std::printf("\n");
  }
  return 0;
}
