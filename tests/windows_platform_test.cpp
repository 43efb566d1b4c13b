// The Windows platform layer: pixel memory from the global heap, the system's
// text for a refused request, and the screen's logical resolution.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "frame/error_text.h"
#include "frame/image_buffer.h"
#include "frame/pelora.h"
#include "platform/heap.h"

namespace {

using klem::CErrorText;
using klem::CPelora;
using klem::CMemoryBlock;
namespace platform = klem::platform;

TEST(WindowsPlatform, PixelMemoryIsZeroedAlignedAndOwnedByTheGlobalHeap) {
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{63}, std::size_t{64},
                           std::size_t{1000}, std::size_t{1} << 20}) {
    auto* block = static_cast<uint8_t*>(platform::AllocateZeroed(size));
    ASSERT_NE(block, nullptr) << size;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % platform::kPixelAlignment, 0u) << size;
    std::size_t nonZero = 0;
    for (std::size_t i = 0; i < (size == 0 ? 1 : size); ++i) nonZero += block[i] != 0;
    EXPECT_EQ(nonZero, 0u) << size;
    // The global heap knows the block it handed out, just in front.
    HGLOBAL raw = reinterpret_cast<void**>(block)[-1];
    EXPECT_GE(GlobalSize(raw), size + platform::kPixelAlignment) << size;
    platform::Release(block);
  }
}

TEST(WindowsPlatform, ARefusedRequestCarriesTheSystemsMessage) {
  char system[256];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                ERROR_NOT_ENOUGH_MEMORY, 0, system, sizeof system, nullptr);
  ASSERT_GT(length, 2u);
  ASSERT_EQ(std::string(system + length - 2), "\r\n");
  const std::size_t huge = SIZE_MAX / 2;
  CMemoryBlock block;
  CErrorText failure;
  EXPECT_FALSE(block.Allocate(huge, &failure));
  EXPECT_EQ(failure.View(), "Out of memory error allocating " + std::to_string(huge) + " bytes! " +
                                std::string(system, length - 2));
}

TEST(WindowsPlatform, ImagesRecordTheScreensLogicalResolution) {
  int expectedX = 96, expectedY = 96;
  if (HDC screen = GetDC(nullptr)) {
    expectedX = GetDeviceCaps(screen, LOGPIXELSX);
    expectedY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  CPelora image;
  ASSERT_TRUE(image.Create(4, 2, 8));
  EXPECT_EQ(image.GetResolution().dotsPerInchX, expectedX);
  EXPECT_EQ(image.GetResolution().dotsPerInchY, expectedY);
}

}  // namespace
