// Rows that follow each other without a gap are joined into one row, which can
// be nearly 2^31 samples long: a 65538 x 32767 8-bit image is one row of
// 2147483646 bytes. A loop bound kept in 32 bits ("x + 64 <= samples") wraps
// near the end of such a row and runs past it. The row here ends right at a
// page that may not be touched, so any byte written or read past it crashes
// the test; each row-loop shape runs once on every vector entry.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "kernel_test_support.h"
#include "kernels/arith.h"
#include "kernels/channels.h"
#include "kernels/logic.h"

namespace klem::kernels {
namespace {

constexpr int32_t kWidth = 65538;
constexpr int32_t kHeight = 32767;
constexpr size_t kBytes = size_t{kWidth} * kHeight;

// kBytes of zeros that end where an inaccessible page begins.
class GuardedRow {
 public:
  GuardedRow() {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t pages = (kBytes + page - 1) / page;
    mapping_ = mmap(nullptr, (pages + 1) * page, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapping_ == MAP_FAILED) return;
    length_ = (pages + 1) * page;
    uint8_t* guard = static_cast<uint8_t*>(mapping_) + pages * page;
    mprotect(guard, page, PROT_NONE);
    row_ = guard - kBytes;
  }
  ~GuardedRow() { if (length_) munmap(mapping_, length_); }
  uint8_t* data() const { return row_; }

 private:
  void* mapping_ = nullptr;
  size_t length_ = 0;
  uint8_t* row_ = nullptr;
};

TEST(LargeRows, JoinedRowsNearTwoToTheThirtyOneStayInsideTheirRow) {
#ifdef __SANITIZE_ADDRESS__
  // The guard page finds an overrun without the sanitizer, whose unoptimised
  // build needs two minutes for these 2 GiB passes.
  GTEST_SKIP() << "run in the optimised build";
#endif
  const GuardedRow image;
  uint8_t* p = image.data();
  ASSERT_NE(p, nullptr) << "cannot map " << kBytes << " bytes";
  const ROI pixels{kWidth, kHeight};
  const ROI colour{kWidth / 3, kHeight};  // 3 * 21846 bytes a row, rows still packed
  const uint8_t three[3] = {1, 2, 3};
  test::ForEachEntry([&](int32_t entry) {
    if (entry == kEntryGeneric) return;  // plain loops that count up to the region's width
    // Every loop shape: in place with a source, constants of one and three
    // channels (with and without the scale rule), two sources, one source.
    ASSERT_EQ(kAddConstant8u.Entry(entry)(p, kWidth, pixels, 5, 0), kStsNoErr);
    ASSERT_EQ(kAddImages8u.Entry(entry)(p, kWidth, p, kWidth, pixels, 1), kStsNoErr);  // 2d/2 = d
    ASSERT_EQ(kXorConstant8u.Entry(entry)(p, kWidth, pixels, 0), kStsNoErr);
    ASSERT_EQ(kAddConstant8uC3.Entry(entry)(p, 3 * colour.width, colour, three, 0), kStsNoErr);
    ASSERT_EQ(kSubtractConstant8uC3.Entry(entry)(p, 3 * colour.width, colour, three, 0), kStsNoErr);
    ASSERT_EQ(kAbsDiffImages8u.Entry(entry)(p, kWidth, p, kWidth, p, kWidth, pixels), kStsNoErr);
    ASSERT_EQ(kAbsDiffConstant8u.Entry(entry)(p, kWidth, p, kWidth, pixels, 7), kStsNoErr);
    for (size_t i : {size_t{0}, kBytes / 2, kBytes - 64, kBytes - 1}) {
      ASSERT_EQ(p[i], 7) << test::EntryName(entry) << " byte " << i;
    }
    ASSERT_EQ(kXorConstant8u.Entry(entry)(p, kWidth, pixels, 7), kStsNoErr);  // back to zeros
  });
}

// The channel kernels on one row of nearly 2^31 bytes. The image is zeros, so
// planes that overlap read and write only zeros: every plane of a call lies
// in the same memory and ends at the guard page.
TEST(LargeRows, ChannelRowsNearTwoToTheThirtyOneStayInsideTheirRow) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "run in the optimised build";
#endif
  const GuardedRow image;
  ASSERT_NE(image.data(), nullptr) << "cannot map " << kBytes << " bytes";
  uint8_t* end = image.data() + kBytes;
  // Pixels: whole numbers of every path's blocks, so a loop that takes one
  // block too many reaches the guard.
  constexpr int32_t k3 = kBytes / 3 / 160 * 160, k4 = kBytes / 4 / 64 * 64;
  uint8_t* const three[3] = {end - k3, end - k3, end - k3};
  uint8_t* const four[4] = {end - k4, end - k4, end - k4, end - k4};
  const uint8_t* const threeIn[3] = {three[0], three[1], three[2]};
  const uint8_t* const fourIn[4] = {four[0], four[1], four[2], four[3]};
  const int32_t order[3] = {2, 0, 1};
  for (const int32_t entry : test::DistinctEntries(kPermuteChannels8uC3)) {
    if (entry == kEntryGeneric) continue;
    ASSERT_EQ(kSplitChannels8uC3.Entry(entry)(end - 3 * k3, 3 * k3, three, k3, ROI{k3, 1}), kStsNoErr);
    ASSERT_EQ(kSplitChannels8uC4.Entry(entry)(end - 4 * k4, 4 * k4, four, k4, ROI{k4, 1}), kStsNoErr);
    ASSERT_EQ(kMergeChannels8uC3.Entry(entry)(threeIn, k3, end - 3 * k3, 3 * k3, ROI{k3, 1}), kStsNoErr);
    ASSERT_EQ(kMergeChannels8uC4.Entry(entry)(fourIn, k4, end - 4 * k4, 4 * k4, ROI{k4, 1}), kStsNoErr);
    ASSERT_EQ(kPermuteChannels8uC3.Entry(entry)(end - 3 * k3, 3 * k3, end - 3 * k3, 3 * k3, ROI{k3, 1}, order),
              kStsNoErr);
    ASSERT_EQ(kPermuteChannels8uAC4.Entry(entry)(end - 4 * k4, 4 * k4, end - 4 * k4, 4 * k4, ROI{k4, 1}, order),
              kStsNoErr);
  }
}

}  // namespace
}  // namespace klem::kernels
