// Handles are independent across threads, but every construction writes the
// process-wide kernel choice that kernels on other threads read. The CI runs
// this under ThreadSanitizer, which reports any such access that is not atomic.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "klem/klem.h"

namespace {

TEST(Threads, ObjectsMadeWhileKernelsRunOnOtherHandles) {
  std::atomic<bool> stop{false};
  std::thread maker([&] {
    while (!stop.load()) {
      KLEM_FreeCKorPelora(KLEM_CreateCKorPelora());
      ZEV_FreeCFastMath(ZEV_CreateCFastMath());
    }
  });
  KLEM_HANDLE image = KLEM_CreateCKorPelora();
  ZEV_HANDLE math = ZEV_CreateCFastMath();
  ASSERT_EQ(KLEM_Create(image, 64, 8, 8), KLEM_OK);
  const double source[3] = {1, 2, 3};
  double destination[3] = {};
  for (int i = 0; i < 2000; ++i) {
    ASSERT_EQ(KLEM_AddConstant(image, 1), KLEM_OK);
    ASSERT_EQ(ZEV_Add(math, source, 1, source, destination, 1), KLEM_OK);
  }
  EXPECT_EQ(destination[2], 6.0);
  ZEV_FreeCFastMath(math);
  stop.store(true);
  maker.join();
  uint8_t* pixels = nullptr;
  KLEM_GetImageMemory(image, reinterpret_cast<void**>(&pixels));
  EXPECT_EQ(pixels[0], 255);  // 2000 additions of 1, saturated
  KLEM_FreeCKorPelora(image);
}

}  // namespace
