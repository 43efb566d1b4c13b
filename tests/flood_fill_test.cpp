// Flood fill: the exported call's checks in order and its edge cases, the
// kernels' statuses and buffer sizes, and every fill against a breadth-first
// reference on random images of few values.
#include <algorithm>
#include <deque>
#include <random>

#include "frame/library_texts.h"
#include "handle_test_support.h"
#include "kernel_test_support.h"
#include "kernels/flood_fill.h"

namespace klem::test {
namespace {

using namespace kernels;
const std::string kFailed = "Can't apply floodfill!";

TEST(FloodFill, ChecksComeInTheirOrderAndLeaveTheImage) {
  const struct { uint32_t format; int32_t x, y, lower; std::string text; } cases[] = {
      {0, 0, 0, 2, ComposeKernelErrorText(kFailed, kStsSizeErr)},
      {16, 9, 0, 0, ""}, {24, 0, 0, 3, ""}, {48, 0, 0, 1, ""},
      {8, 3, 0, 0, ComposeKernelErrorText(kFailed, kStsOutOfRangeErr)},
      {8, -1, 1, 4, ComposeKernelErrorText(kFailed, kStsOutOfRangeErr)},
      {8, 0, 2, 0, ComposeKernelErrorText(kFailed, kStsOutOfRangeErr)},
      {8, 2, -1, 1, ComposeKernelErrorText(kFailed, kStsOutOfRangeErr)}};
  for (const auto& c : cases) {
    HostImage image;
    if (c.format != 0) KLEM_Create(image.h(), 3, 2, c.format);
    std::vector<uint8_t> bytes = image.Bytes();
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i % 3);
    if (!bytes.empty()) image.SetBytes(bytes);
    KLEM_SetError(image.h(), "stale");
    EXPECT_EQ(KLEM_FloodFill(image.h(), c.x, c.y, 7, c.lower, 0, 0), KLEM_FAILED) << c.format;
    EXPECT_EQ(image.Error(), c.text.empty() ? "Colorformat not supported by the function!" : c.text);
    EXPECT_EQ(image.Bytes(), bytes) << c.format;
  }
}

TEST(FloodFill, EdgeCases) {
  const std::vector<uint8_t> corners = {10, 10, 0, 0, 10, 10, 0, 0, 0, 0, 10, 10, 0, 0, 10, 10};
  const struct { const char* name; int32_t width; std::vector<uint8_t> bytes;
                 int32_t value, lower, upper, connectivity; std::vector<uint8_t> expected; } cases[] = {
      {"seed has the new value", 2, {5, 5, 5, 4}, 5, 0, 0, 0, {5, 5, 5, 4}},
      {"corners connect", 4, corners, 99, 0, 0, 0,
       {99, 99, 0, 0, 99, 99, 0, 0, 0, 0, 99, 99, 0, 0, 99, 99}},
      {"corners do not connect", 4, corners, 99, 0, 0, 1,
       {99, 99, 0, 0, 99, 99, 0, 0, 0, 0, 10, 10, 0, 0, 10, 10}},
      {"rising by one", 4, {10, 11, 12, 13}, 99, 0, 1, 1, {99, 99, 99, 99}},
      {"falling tolerance only", 4, {10, 11, 12, 13}, 99, 1, 0, 1, {99, 11, 12, 13}},
      {"low byte of the value", 3, {1, 1, 2}, 300, 0, 0, 0, {44, 44, 2}},
      {"tolerances of 256 are 0", 3, {1, 1, 2}, 7, 256, -256, 0, {7, 7, 2}},
      {"tolerance 257 is 1", 3, {1, 2, 4}, 7, 0, 257, 0, {7, 7, 4}}};
  for (const auto& c : cases) {
    HostImage image(c.width, int32_t(c.bytes.size()) / c.width, 8, c.bytes);
    EXPECT_EQ(KLEM_FloodFill(image.h(), 0, 0, c.value, c.lower, c.upper, c.connectivity), KLEM_OK);
    EXPECT_EQ(image.Error(), "") << c.name;
    EXPECT_EQ(image.Bytes(), c.expected) << c.name;
  }
}

TEST(FloodFill, KernelStatusesAndBufferSizes) {
  uint8_t px[8] = {}, buffer[1024];
  FloodFillRegion r;
  std::vector<StatusCase> cases;
  for (const auto* table : {&kFloodFill8uC1, &kFloodFill4Con8uC1}) {
    cases.insert(cases.end(), {Refusal("pixels", -8, *table, nullptr, 4, ROI{4, 2}, 0, 0, 1, &r, buffer),
        Refusal("region", -8, *table, px, 4, ROI{0, 2}, 0, 0, 1, nullptr, buffer),
        Refusal("buffer", -8, *table, px, 4, ROI{4, 2}, 0, 0, 1, &r, nullptr),
        Refusal("width", -6, *table, px, 2, ROI{0, 2}, 0, 0, 1, &r, buffer),
        Refusal("height", -6, *table, px, 3, ROI{4, 0}, 9, 0, 1, &r, buffer),
        Refusal("step", -14, *table, px, 3, ROI{4, 2}, 9, 0, 1, &r, buffer),
        Refusal("x", -11, *table, px, 4, ROI{4, 2}, 4, 0, 1, &r, buffer),
        Refusal("y", -11, *table, px, 4, ROI{4, 2}, 0, -1, 1, &r, buffer)});
  }
  for (const auto* table : {&kFloodFillRange8uC1, &kFloodFillRange4Con8uC1}) {
    cases.insert(cases.end(), {Refusal("range step", -14, *table, px, 3, ROI{4, 2}, 0, 5, 1, 1, 1, &r, buffer),
        Refusal("range seed", -11, *table, px, 4, ROI{4, 2}, -1, 0, 1, 1, 1, &r, buffer),
        Refusal("range buffer", -8, *table, px, 4, ROI{-1, 2}, 0, 0, 1, 1, 1, &r, nullptr)});
  }
  int64_t size = 0;
  for (const auto* table : {&kFloodFillBufferSize8u, &kFloodFillRangeBufferSize8u}) {
    cases.insert(cases.end(), {Refusal("size out", -8, *table, ROI{1, 1}, nullptr),
        Refusal("size width", -6, *table, ROI{0, 1}, &size), Refusal("size height", -6, *table, ROI{1, -1}, &size),
        Refusal("size beyond 64 bits", -4, *table, ROI{INT32_MAX, INT32_MAX}, &size)});
  }
  ExpectStatusesOnEveryEntry(cases);
  // Six int32 a segment for every segment an exact fill can push; beyond 32 bits.
  EXPECT_EQ(kFloodFillBufferSize8u(ROI{65535, 32768}, &size), 0);
  EXPECT_EQ(size, 24 * 32768 * int64_t{32768} + 32);
  EXPECT_EQ(kFloodFillRangeBufferSize8u(ROI{65536, 32768}, &size), 0);
  EXPECT_EQ(size, 65538 * int64_t{32770} + 6 * int64_t{65536} * 32768 + 32);
}

// The pixels reachable from the seed, a neighbour q of a member p joining when
// p - lower <= q <= p + upper (exact: q equals the seed's value).
std::vector<bool> Reference(const Plane& p, int32_t w, int32_t h, int32_t sx, int32_t sy, bool exact,
                            int32_t lower, int32_t upper, bool eight) {
  const auto at = [&](int32_t x, int32_t y) { return int32_t(p.bytes()[size_t(y) * p.step() + x]); };
  std::vector<bool> in(size_t(w) * h);
  std::deque<std::pair<int32_t, int32_t>> queue{{sx, sy}};
  in[size_t(sy) * w + sx] = true;
  for (; !queue.empty(); queue.pop_front()) {
    const auto [x, y] = queue.front();
    const int32_t base = exact ? at(sx, sy) : at(x, y);
    for (int32_t dy = -1; dy <= 1; ++dy) {
      for (int32_t dx = -1; dx <= 1; ++dx) {
        const int32_t nx = x + dx, ny = y + dy;
        if ((!eight && dx != 0 && dy != 0) || nx < 0 || ny < 0 || nx >= w || ny >= h || in[size_t(ny) * w + nx]) continue;
        if (at(nx, ny) < base - lower || at(nx, ny) > base + upper) continue;
        in[size_t(ny) * w + nx] = true;
        queue.emplace_back(nx, ny);
      }
    }
  }
  return in;
}

TEST(FloodFill, MatchesTheBreadthFirstReference) {
  std::mt19937 rng(7);
  const std::pair<int32_t, int32_t> tolerances[] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {0, 3}, {255, 255}};
  for (int round = 0; round < 1500; ++round) {
    const int32_t w = 1 + int32_t(rng() % (round < 1400 ? 24 : 230));
    const int32_t h = round % 5 == 0 ? 3 : 1 + int32_t(rng() % (round < 1400 ? 20 : 150));
    const int32_t levels = 2 + int32_t(rng() % 3), spacing = 1 + int32_t(rng() % 3);
    Plane image(w, h, int32_t(rng() % 3), 0);  // padding keeps its sentinels
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        // Every fifth image is a comb: full rows between rows of every other
        // column, which pushes more segments at once than a small stack holds.
        const bool comb = round % 5 == 0, tooth = y % 2 == 1 || x % 2 == 0;
        image.data()[size_t(y) * image.step() + x] = uint8_t(comb ? 20 + 90 * !tooth : 20 + spacing * (rng() % levels));
      }
    }
    const auto [lower, upper] = tolerances[round % std::size(tolerances)];
    const bool exact = lower == 0 && upper == 0, eight = round % 2 == 0;
    const int32_t sx = int32_t(rng() % w), sy = round % 5 == 0 ? std::min(h / 2 | 1, h - 1) : int32_t(rng() % h);
    const std::vector<bool> in = Reference(image, w, h, sx, sy, exact, lower, upper, eight);
    FloodFillRegion expected{0, w, h, -1, -1};
    std::vector<uint8_t> filled = image.bytes();
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        if (!in[size_t(y) * w + x]) continue;
        filled[size_t(y) * image.step() + x] = 200;
        expected = {expected.area + 1, std::min(expected.left, x), std::min(expected.top, y),
                    std::max(expected.right, x), std::max(expected.bottom, y)};
      }
    }
    int64_t bytes = 0;
    ASSERT_EQ((exact ? kFloodFillBufferSize8u : kFloodFillRangeBufferSize8u)(ROI{w, h}, &bytes), 0);
    const int32_t misalign = round % 8;  // the buffer ends where its size says
    const auto run = [&](auto fn, auto... tolerance) {
      Plane copy = image;
      std::vector<uint8_t> buffer(size_t(bytes) + misalign);
      FloodFillRegion region{};
      ASSERT_EQ(fn(copy.data(), copy.step(), ROI{w, h}, sx, sy, 200, tolerance..., &region, buffer.data() + misalign), 0);
      EXPECT_EQ(copy.bytes(), filled) << w << "x" << h << " seed " << sx << "," << sy << " round " << round;
      EXPECT_EQ(std::tie(region.area, region.left, region.top, region.right, region.bottom),
                std::tie(expected.area, expected.left, expected.top, expected.right, expected.bottom)) << round;
    };
    if (exact) {
      ForEachImplementation(eight ? kFloodFill8uC1 : kFloodFill4Con8uC1, [&](int32_t, auto fn) { run(fn); });
    } else {
      ForEachImplementation(eight ? kFloodFillRange8uC1 : kFloodFillRange4Con8uC1,
                            [&](int32_t, auto fn) { run(fn, uint8_t(lower), uint8_t(upper)); });
    }
  }
}

}  // namespace
}  // namespace klem::test
