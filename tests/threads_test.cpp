// Handles are independent across threads, but every construction writes the
// process-wide kernel choice that kernels on other threads read, and kernels
// keep work memory of their own. The CI runs these under ThreadSanitizer,
// which reports any access that is not safe.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <latch>
#include <random>
#include <thread>
#include <vector>

#include "handle_test_support.h"

namespace klem::test {
namespace {

// The handles one worker owns: a colour image and an 8-bit image that the
// operations keep changing, a second colour image, three channel images, a
// smaller destination and an array of vectors.
struct Workspace {
  explicit Workspace(uint32_t seed)
      : colour(97, 61, 24), other(97, 61, 24), gray(97, 61, 8), small(53, 40, 24), vectors(3 * 257) {
    colour.SetBytes(Pattern(colour.Shape().size, seed));
    gray.SetBytes(Pattern(gray.Shape().size, seed + 1));
    for (HostImage& channel : channels) EXPECT_EQ(KLEM_Create(channel.h(), 97, 61, 8), KLEM_OK);
    std::mt19937 rng(seed);
    for (double& v : vectors) v = std::uniform_real_distribution<double>(-100, 100)(rng);
  }

  // Every image's geometry and pixels and every vector, folded into one word.
  uint64_t Hash() const {
    Fingerprint f;
    for (const HostImage* image : {&colour, &other, &gray, &small, &channels[0], &channels[1], &channels[2]})
      f.Add(*image);
    f.Add(vectors.data(), vectors.size() * sizeof(double));
    return f.value();
  }

  HostImage colour, other, gray, small;
  std::array<HostImage, 3> channels;
  HostMath math;
  std::vector<double> vectors;
};

using Step = uint32_t (*)(Workspace&, int32_t k);

// One operation of each family, with arguments that follow k.
constexpr Step kSteps[] = {
    [](Workspace& w, int32_t k) { return KLEM_AddConstant(w.colour.h(), 0x010203u * (k % 7)); },
    [](Workspace& w, int32_t) { return KLEM_Invert(w.gray.h()); },
    [](Workspace& w, int32_t) { return KLEM_Multiply(w.other.h(), w.colour.h()); },
    [](Workspace& w, int32_t k) { return KLEM_Filter(w.gray.h(), 1 + k % 27, w.gray.h()); },
    [](Workspace& w, int32_t k) { return KLEM_Filter(w.other.h(), 1 + k % 27, w.colour.h()); },
    [](Workspace& w, int32_t) { return KLEM_Grayscale8Bit(w.gray.h(), w.colour.h()); },
    [](Workspace& w, int32_t k) { return k % 2 ? KLEM_RGBtoYUV(w.other.h(), w.colour.h()) : KLEM_YCCtoRGB(w.colour.h(), w.other.h()); },
    [](Workspace& w, int32_t k) { return KLEM_Resize(w.small.h(), w.colour.h(), 97, 61, k % 5); },
    [](Workspace& w, int32_t k) { return KLEM_Resize(w.colour.h(), w.small.h(), 53, 40, k % 5); },
    [](Workspace& w, int32_t k) { return KLEM_RotateCenter(w.other.h(), w.colour.h(), 7.5 * k, 48, 30, k % 4); },
    [](Workspace& w, int32_t k) { return KLEM_Shear(w.other.h(), w.colour.h(), 0.1 * (k % 3), -0.05, k % 4); },
    [](Workspace& w, int32_t k) {
      const double c[9] = {1, 0.01 * (k % 5), 2, 0.02, 1, -1, 0.0001, 0.0002 * (k % 3), 1};
      return KLEM_WarpPerspective(w.other.h(), w.colour.h(), c, 9, k % 4);
    },
    [](Workspace& w, int32_t k) { return k % 2 ? KLEM_MirrorHorizontal(w.colour.h()) : KLEM_MirrorVertical(w.gray.h()); },
    [](Workspace& w, int32_t k) { return k % 2 ? KLEM_Erode(w.gray.h()) : KLEM_Dilate(w.gray.h()); },
    [](Workspace& w, int32_t k) {
      const int32_t values[3] = {0, 200, 255}, levels[3] = {0, 100 + k % 50, 255};
      return KLEM_LookUpTable8Bit(w.gray.h(), w.gray.h(), values, levels, 3, k % 3);
    },
    [](Workspace& w, int32_t k) { return KLEM_ThresholdLTValGTVal(w.colour.h(), 0x303030 + k, 0, 0xc0c0c0, 0xffffff); },
    [](Workspace& w, int32_t k) { return KLEM_FloodFill(w.gray.h(), k % 97, k % 61, k, k % 9, k % 5, k % 2); },
    [](Workspace& w, int32_t) { return KLEM_SplitChannels(w.colour.h(), w.channels[0].h(), w.channels[1].h(), w.channels[2].h()); },
    [](Workspace& w, int32_t) { return KLEM_FromChannels(w.other.h(), w.channels[2].h(), w.channels[0].h(), w.channels[1].h()); },
    [](Workspace& w, int32_t k) { return KLEM_CropTo(w.other.h(), w.colour.h(), k % 40, k % 30, k % 40 + 50, k % 30 + 30, 3, 4); },
    [](Workspace& w, int32_t k) {
      const double v[3] = {0.5 * k, -1, 2};
      return ZEV_Add(w.math.h(), w.vectors.data(), 257, v, w.vectors.data(), 257);
    },
    [](Workspace& w, int32_t k) {
      const double m[9] = {0.5, 0.25 * (k % 3), 0, 0, 1, 0.125, 0.1, 0, 0.9};
      return ZEV_MulMatrix(w.math.h(), m, 3, 3, w.vectors.data(), 257, w.vectors.data(), 257);
    },
};

// The status of each step of a worker's fixed random sequence and the hash of
// its handles after it. The handles are made here, so workers started together
// also construct their objects together.
std::vector<uint64_t> RunSequence(uint32_t seed) {
  Workspace w(seed);
  std::mt19937 rng(seed);
  std::vector<uint64_t> trace;
  for (int32_t i = 0; i < 60; ++i) {
    const size_t step = rng() % std::size(kSteps);
    const uint32_t status = kSteps[step](w, static_cast<int32_t>(rng() % 1000));
    trace.push_back(w.Hash() ^ (uint64_t{status} << 32) ^ step);
  }
  return trace;
}

TEST(Threads, EightWorkersGiveTheResultsOfOneThread) {
  constexpr uint32_t kWorkers = 8;
  // The workers run first, so the process's first objects are made on eight
  // threads at once.
  std::vector<std::vector<uint64_t>> traces(kWorkers);
  {
    std::latch start(kWorkers);
    std::vector<std::jthread> workers;
    for (uint32_t t = 0; t < kWorkers; ++t) {
      workers.emplace_back([&, t] {
        start.arrive_and_wait();
        traces[t] = RunSequence(1000 + t);
      });
    }
  }
  for (uint32_t t = 0; t < kWorkers; ++t) EXPECT_EQ(traces[t], RunSequence(1000 + t)) << "worker " << t;
}

TEST(Threads, ObjectsMadeWhileKernelsRunOnOtherHandles) {
  std::atomic<bool> stop{false};
  std::jthread maker([&] {
    while (!stop.load()) {
      KLEM_FreeCKorPelora(KLEM_CreateCKorPelora());
      ZEV_FreeCFastMath(ZEV_CreateCFastMath());
    }
  });
  HostImage image(64, 8, 8, std::vector<uint8_t>(64 * 8, 0));
  HostMath math;
  const double source[3] = {1, 2, 3};
  double destination[3] = {};
  for (int i = 0; i < 2000; ++i) {
    ASSERT_EQ(KLEM_AddConstant(image.h(), 1), KLEM_OK);
    ASSERT_EQ(ZEV_Add(math.h(), source, 1, source, destination, 1), KLEM_OK);
  }
  stop.store(true);
  EXPECT_EQ(destination[2], 6.0);
  EXPECT_EQ(image.Memory()[0], 255);  // 2000 additions of 1, saturated
}

}  // namespace
}  // namespace klem::test
