// Flood fill beside cv::floodFill (no mask; floating range where the
// tolerances are not 0) on one large winding region: a maze of corridors three
// pixels wide between walls of one pixel, every corridor pixel reachable from
// the seed. Both timed calls copy the unfilled image back first, so each fills
// the same region of the same image; the setup checks that both paint the same
// pixels.
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

constexpr int kPitch = 4;  // a cell's corridor and one wall
constexpr uint8_t kWall = 0, kNewValue = 200;

// A perfect maze carved by a depth-first walk; corridor pixels take
// 100 + noise with noise in [0, noise].
std::vector<uint8_t> Maze(int noise) {
  const int cellsX = kWidth / kPitch, cellsY = kHeight / kPitch;
  std::vector<uint8_t> image(size_t(kWidth) * kHeight, kWall);
  std::mt19937 rng(11);
  const auto open = [&](int x, int y) { image[size_t(y) * kWidth + x] = uint8_t(100 + rng() % (noise + 1)); };
  const auto openCell = [&](int cx, int cy) {
    for (int y = 1; y < kPitch; ++y) {
      for (int x = 1; x < kPitch; ++x) open(cx * kPitch + x, cy * kPitch + y);
    }
  };
  std::vector<bool> seen(size_t(cellsX) * cellsY);
  std::vector<std::pair<int, int>> path{{0, 0}};
  seen[0] = true;
  openCell(0, 0);
  while (!path.empty()) {
    const auto [cx, cy] = path.back();
    std::pair<int, int> next[4];
    int count = 0;
    for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
      const int nx = cx + dx, ny = cy + dy;
      if (nx >= 0 && ny >= 0 && nx < cellsX && ny < cellsY && !seen[size_t(ny) * cellsX + nx]) next[count++] = {nx, ny};
    }
    if (count == 0) {
      path.pop_back();
      continue;
    }
    const auto [nx, ny] = next[rng() % count];
    seen[size_t(ny) * cellsX + nx] = true;
    openCell(nx, ny);
    for (int i = 1; i < kPitch; ++i) {  // the wall between the two cells
      if (nx != cx) open(std::max(cx, nx) * kPitch, cy * kPitch + i);
      else open(cx * kPitch + i, std::max(cy, ny) * kPitch);
    }
    path.push_back({nx, ny});
  }
  return image;
}

struct Fill {
  explicit Fill(int noise) : image(8, CV_8UC1, 1), unfilled(Maze(noise)) {}
  void Restore() { std::memcpy(image.mat.data, unfilled.data(), unfilled.size()); }
  SharedImage image;
  std::vector<uint8_t> unfilled;
};

void AddFillCase(std::vector<Case>& cases, const char* name, int lower, int upper, int neighbours) {
  cases.push_back({name, "8", [=] {
    auto f = std::make_shared<Fill>(lower + upper == 0 ? 0 : 2);
    const int32_t connectivity = neighbours == 8 ? 0 : 1;
    const auto klem = [=] {
      f->Restore();
      return KLEM_FloodFill(f->image.handle, 1, 1, kNewValue, lower, upper, connectivity);
    };
    const auto opencv = [=] {
      f->Restore();
      cv::floodFill(f->image.mat, cv::Point(1, 1), cv::Scalar(kNewValue), nullptr, cv::Scalar(lower),
                    cv::Scalar(upper), neighbours);
    };
    klem();
    const cv::Mat byKlem = f->image.mat.clone();
    opencv();
    if (cv::countNonZero(byKlem != f->image.mat) != 0) std::fprintf(stderr, "%s: the fills differ\n", name);
    return Timed{klem, opencv};
  }});
}

std::vector<Case> FloodFillCases() {
  std::vector<Case> cases;
  AddFillCase(cases, "flood fill exact 4", 0, 0, 4);
  AddFillCase(cases, "flood fill exact 8", 0, 0, 8);
  AddFillCase(cases, "flood fill range 2,3 4", 2, 3, 4);
  AddFillCase(cases, "flood fill range 2,3 8", 2, 3, 8);
  return cases;
}

const bool kRegistered = AddCases(FloodFillCases());

}  // namespace
}  // namespace klem::bench
