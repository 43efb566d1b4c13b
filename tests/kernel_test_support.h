// The one harness that proves every kernel entry equal to the generic one.
//
// A kernel joins it with a PathCase row: the planes its call takes (bytes per
// pixel, sample alignment, how to fill them), how many variants it has (scale
// factors, counts, constants) and a lambda that calls one entry on the planes.
// The harness runs every row on every layout (every width 1 to 49, the widths
// around the unrolled vector blocks of every width, one large odd width, packed
// rows that join into one and padded rows, several base offsets), with sentinel
// bytes around every row's samples, on each entry this processor can run, and
// expects the generic entry's status and every byte of its planes (in planes of
// doubles, any NaN where the generic one has a NaN).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <numeric>
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

  uint8_t* data() { return storage_.data() + offset_; }
  template <typename T>
  T* As() { return reinterpret_cast<T*>(data()); }
  int32_t step() const { return step_; }
  int32_t rowBytes() const { return rowBytes_; }
  int32_t height() const { return height_; }
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

using Planes = std::vector<Plane>;
using Filler = std::function<void(Plane&, std::mt19937&)>;

inline Filler RandomBytes(int32_t maxValue = 255) {
  return [maxValue](Plane& p, std::mt19937& rng) {
    std::uniform_int_distribution<int32_t> dist(0, maxValue);
    for (int32_t y = 0; y < p.height(); ++y) {
      for (int32_t x = 0; x < p.rowBytes(); ++x) p.data()[size_t(y) * p.step() + x] = uint8_t(dist(rng));
    }
  };
}

struct PlaneSpec {
  int32_t bytesPerPixel = 1;
  int32_t alignment = 1;  // samples wider than a byte stay aligned to their size
  Filler fill = RandomBytes();
  int32_t fixedWidth = 0;  // pixels of an operand whose size does not follow the region
  bool doubles = false;    // samples are doubles (see FirstDifference)
  // Pixels beyond the region (a neighbourhood's reach): the call places the
  // region inside the plane itself.
  int32_t extraWidth = 0, extraHeight = 0;
};

struct Layout { int32_t width, height, padding, offset; };

// Small widths for every tail, the widths around the blocks of one to four
// 64-byte vectors, and a large odd width; packed (rows join into one) and padded.
inline std::vector<Layout> TestLayouts() {
  std::vector<int32_t> widths(49);
  std::iota(widths.begin(), widths.end(), 1);
  widths.insert(widths.end(), {63, 64, 65, 127, 128, 129, 191, 192, 193, 255, 256, 257, 320, 385});
  std::vector<Layout> layouts;
  for (int32_t width : widths) {
    layouts.push_back({width, 2, 0, width % 4});
    layouts.push_back({width, 3, 7, 5 + width % 3});
  }
  layouts.insert(layouts.end(), {{1001, 5, 0, 3}, {1001, 4, 13, 11}});
  return layouts;
}

// For the neighbourhood kernels: widths around one to four vectors of each
// width and one long odd row, each one, two and seven rows high (regions one
// pixel wide or high, and heights past the rings of rows that some keep).
inline std::vector<Layout> NeighbourhoodLayouts() {
  std::vector<Layout> layouts;
  for (int32_t w : {1, 2, 3, 5, 7, 15, 16, 17, 31, 32, 33, 47, 63, 64, 65, 97, 127, 129, 257, 1001}) {
    for (int32_t h : {1, 2, 7}) layouts.push_back({w, h, (w * h) % 3 == 0 ? 0 : 5, w % 4});
  }
  return layouts;
}

inline std::string EntryName(int32_t entry) { return kernels::KernelEntryName(entry); }

// Runs body(entry) for every kernel entry this processor can run.
template <typename Body>
void ForEachEntry(Body body) {
  for (int32_t entry = kernels::kEntryGeneric; entry <= kernels::HighestRunnableKernelEntry(); ++entry) {
    body(entry);
  }
}

// The runnable entries of a table with an implementation of their own, generic
// first: the SSE paths that reuse the SSE2 kernels are run once.
template <typename Fn>
std::vector<int32_t> DistinctEntries(const kernels::KernelDispatchTable<Fn>& table) {
  std::vector<int32_t> entries;
  ForEachEntry([&](int32_t entry) {
    if (std::ranges::none_of(entries, [&](int32_t e) { return table.Entry(e) == table.Entry(entry); })) {
      entries.push_back(entry);
    }
  });
  return entries;
}

// Runs body(entry, fn) for each distinct runnable entry of a table.
template <typename Fn, typename Body>
void ForEachImplementation(const kernels::KernelDispatchTable<Fn>& table, Body body) {
  for (int32_t entry : DistinctEntries(table)) body(entry, table.Entry(entry));
}

struct PathCase {
  std::string name;
  std::vector<PlaneSpec> planes;
  int32_t variants = 1;  // the call runs with each variant 0 .. variants - 1
  // Calls kernel entry `entry` on the planes over a region of roi pixels.
  std::function<kernels::KernelStatus(int32_t entry, Planes& planes, kernels::ROI roi, int32_t variant)> call;
  std::vector<int32_t> entries;  // DistinctEntries of the table
  std::vector<Layout> layouts = TestLayouts();
};

// A row for one dispatch table; call(fn, planes, roi, variant) calls one entry.
template <typename Fn, typename Call>
PathCase MakePathCase(std::string name, const kernels::KernelDispatchTable<Fn>& table,
                      std::vector<PlaneSpec> planes, int32_t variants, Call call) {
  return {std::move(name), std::move(planes), variants,
          [&table, call](int32_t entry, Planes& p, kernels::ROI roi, int32_t variant) {
            return call(table.Entry(entry), p, roi, variant);
          },
          DistinctEntries(table)};
}

// The offset of the first byte in which two planes differ, or -1. In planes of
// doubles two NaNs match whatever their sign and payload: an operation on two
// NaNs may give either operand's, as the compiler commutes it.
inline int64_t FirstDifference(const Plane& a, const Plane& b, bool doubles) {
  if (a.bytes() == b.bytes()) return -1;
  for (size_t k = 0; k < a.bytes().size(); k += doubles ? 8 : 1) {
    const size_t n = std::min<size_t>(doubles ? 8 : 1, a.bytes().size() - k);
    if (std::memcmp(&a.bytes()[k], &b.bytes()[k], n) == 0) continue;
    double x = 0, y = 0;
    if (n == 8) std::memcpy(&x, &a.bytes()[k], 8), std::memcpy(&y, &b.bytes()[k], 8);
    if (!std::isnan(x) || !std::isnan(y)) return static_cast<int64_t>(k);
  }
  return -1;
}

inline void ExpectEntriesMatchGeneric(const PathCase& c, uint32_t seed = 1) {
  std::mt19937 rng(seed);
  for (const Layout& l : c.layouts) {
    Planes planes;
    for (size_t i = 0; i < c.planes.size(); ++i) {
      const PlaneSpec& shape = c.planes[i];
      const int32_t width = (shape.fixedWidth ? shape.fixedWidth : l.width) + shape.extraWidth;
      // Each plane is padded and misaligned differently from the others.
      const int32_t padding = l.padding == 0 ? 0 : l.padding + 3 * static_cast<int32_t>(i);
      planes.emplace_back(width * shape.bytesPerPixel, l.height + shape.extraHeight, padding * shape.alignment,
                          (l.offset + static_cast<int32_t>(i)) * shape.alignment);
      shape.fill(planes.back(), rng);
    }
    for (int32_t variant = 0; variant < c.variants; ++variant) {
      const std::string where = c.name + " variant " + std::to_string(variant) + " " +
                                std::to_string(l.width) + "x" + std::to_string(l.height) + " padding " +
                                std::to_string(l.padding) + " offset " + std::to_string(l.offset);
      Planes expected = planes;
      const auto expectedStatus = c.call(kernels::kEntryGeneric, expected, {l.width, l.height}, variant);
      for (const Plane& p : expected) ASSERT_TRUE(p.SentinelsIntact()) << "generic " << where;
      for (size_t k = 1; k < c.entries.size(); ++k) {  // entries[0], the generic one, is the reference
        Planes actual = planes;
        const std::string entry = EntryName(c.entries[k]) + " " + where;
        ASSERT_EQ(c.call(c.entries[k], actual, {l.width, l.height}, variant), expectedStatus) << entry;
        for (size_t i = 0; i < planes.size(); ++i) {
          ASSERT_EQ(FirstDifference(actual[i], expected[i], c.planes[i].doubles), -1)
              << entry << " plane " << i;
        }
      }
    }
  }
}

// Argument checks: each row's call gives its status on every entry.
struct StatusCase {
  std::string what;
  kernels::KernelStatus expected;
  std::function<kernels::KernelStatus(int32_t entry)> call;
};

// A row that calls each entry of `table` with `args`.
template <typename Fn, typename... Args>
StatusCase Refusal(std::string what, kernels::KernelStatus expected,
                   const kernels::KernelDispatchTable<Fn>& table, Args... args) {
  return {std::move(what), expected,
          [&table, args...](int32_t entry) { return table.Entry(entry)(args...); }};
}

inline void ExpectStatusesOnEveryEntry(const std::vector<StatusCase>& cases) {
  ForEachEntry([&](int32_t entry) {
    for (const StatusCase& c : cases) {
      EXPECT_EQ(c.call(entry), c.expected) << EntryName(entry) << " " << c.what;
    }
  });
}

}  // namespace klem::test
