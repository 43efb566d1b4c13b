// Helpers for proving every code path of a kernel equal to its generic path:
// planes with padded rows, odd base offsets and sentinel bytes around every
// row's samples, and a runner that calls each entry this processor can run on
// fresh copies of the same planes and compares every byte and the status.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "kernels/dispatch.h"

namespace klem::test {

inline constexpr uint8_t kSentinel = 0xA5;

class Plane {
 public:
  // rowBytes: bytes of samples per row; padding: extra bytes per row step;
  // offset: bytes before the first row (misaligns the data).
  Plane(int32_t rowBytes, int32_t height, int32_t padding, int32_t offset)
      : rowBytes_(rowBytes), height_(height), step_(rowBytes + padding), offset_(offset),
        storage_(static_cast<size_t>(offset) + static_cast<size_t>(step_) * height + 16, kSentinel) {}

  // Fills the samples (not the sentinels) with values from `draw`.
  template <typename Draw>
  Plane& Fill(Draw draw) {
    for (int32_t y = 0; y < height_; ++y) {
      for (int32_t x = 0; x < rowBytes_; ++x) Row(y)[x] = static_cast<uint8_t>(draw());
    }
    return *this;
  }
  Plane& FillRandom(std::mt19937& rng, int32_t maxValue = 255) {
    std::uniform_int_distribution<int32_t> dist(0, maxValue);
    return Fill([&] { return dist(rng); });
  }

  uint8_t* data() { return storage_.data() + offset_; }
  uint8_t* Row(int32_t y) { return data() + static_cast<size_t>(y) * step_; }
  int32_t step() const { return step_; }
  const std::vector<uint8_t>& bytes() const { return storage_; }

  // Every byte outside the samples still holds the sentinel.
  bool SentinelsIntact() const {
    for (size_t i = 0; i < storage_.size(); ++i) {
      const bool inside = i >= static_cast<size_t>(offset_) &&
                          (i - offset_) / step_ < static_cast<size_t>(height_) &&
                          (i - offset_) % step_ < static_cast<size_t>(rowBytes_);
      if (!inside && storage_[i] != kSentinel) return false;
    }
    return true;
  }

 private:
  int32_t rowBytes_, height_, step_, offset_;
  std::vector<uint8_t> storage_;
};

inline std::string PathName(int32_t path) {
  static const char* const kNames[] = {"g0", "s2", "s3", "ss3", "s41"};
  return kNames[path];
}

// Calls `call(entry, planes)` for the generic entry and for every other entry
// this processor can run, each on its own copy of `planes`, and expects the
// same status, the same bytes (sentinels included) and intact sentinels.
template <typename Fn, typename Call>
void ExpectPathsMatchGeneric(const kernels::KernelDispatchTable<Fn>& table,
                             const std::vector<Plane>& planes, Call call,
                             const std::string& context) {
  std::vector<Plane> expected = planes;
  const auto expectedStatus = call(table.Entry(kernels::kPathGeneric), expected);
  for (const Plane& p : expected) ASSERT_TRUE(p.SentinelsIntact()) << "g0 " << context;
  for (int32_t path = 1; path <= kernels::HighestRunnableCodePath(); ++path) {
    std::vector<Plane> actual = planes;
    const auto status = call(table.Entry(path), actual);
    ASSERT_EQ(status, expectedStatus) << PathName(path) << " " << context;
    for (size_t i = 0; i < planes.size(); ++i) {
      ASSERT_EQ(actual[i].bytes(), expected[i].bytes())
          << PathName(path) << " plane " << i << " " << context;
    }
  }
}

// Widths 1 to 49 (every tail length around the vector sizes), then one large
// odd width; each with packed and padded rows at two base offsets.
struct Layout {
  int32_t width, height, padding, offset;
};

inline std::vector<Layout> TestLayouts() {
  std::vector<Layout> layouts;
  for (int32_t width = 1; width <= 49; ++width) {
    layouts.push_back({width, 2, 0, 0});
    layouts.push_back({width, 3, 7, 5});
  }
  layouts.push_back({1001, 5, 0, 3});
  layouts.push_back({1001, 4, 13, 11});
  return layouts;
}

// Padding of the plane-th plane of a kernel call: a packed layout keeps every
// plane packed (so that rows join into one), a padded one pads each differently.
inline int32_t PaddingOf(const Layout& l, int32_t plane) {
  return l.padding == 0 ? 0 : l.padding + 3 * plane;
}

inline std::string Describe(const Layout& l, int32_t channels, const std::string& extra = "") {
  return std::to_string(l.width) + "x" + std::to_string(l.height) + " c" +
         std::to_string(channels) + " pad " + std::to_string(l.padding) + " offset " +
         std::to_string(l.offset) + (extra.empty() ? "" : " " + extra);
}

}  // namespace klem::test
