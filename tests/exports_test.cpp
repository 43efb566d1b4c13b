#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "kernels/cpu_detect.h"
#include "kernels/dispatch.h"
#include "klem/klem.h"
#include "platform/heap.h"

namespace {

std::string ErrorOf(KLEM_HANDLE h) {
  char buffer[KLEM_ERROR_BUFFER_SIZE];
  EXPECT_EQ(KLEM_GetError(h, buffer), KLEM_OK);
  return buffer;
}

struct Handle {
  Handle() : h(KLEM_CreateCKorPelora()) {}
  ~Handle() { KLEM_FreeCKorPelora(h); }
  KLEM_HANDLE h;
};

TEST(ExportedFrame, NullHandleIsRefusedEverywhere) {
  int32_t i32 = 5;
  uint32_t u32 = 5;
  void* memory = &i32;
  const char* text = "untouched";
  char buffer[KLEM_ERROR_BUFFER_SIZE] = "untouched";
  uint8_t pixels[3] = {};
  const uint32_t results[] = {
      KLEM_FreeCKorPelora(nullptr),
      KLEM_GetError(nullptr, buffer),
      KLEM_SetError(nullptr, "x"),
      KLEM_GetVersion(nullptr, &text),
      KLEM_GetProcessorDetected(nullptr, &text),
      KLEM_GetProcessorCodeUsed(nullptr, &text),
      KLEM_GetProcessorDetails(nullptr, &text),
      KLEM_GetScaleFactor(nullptr, &i32),
      KLEM_SetScaleFactor(nullptr, 3),
      KLEM_Create(nullptr, 1, 1, 8),
      KLEM_AttachNoFree(nullptr, pixels, 3, 1, 1, 24),
      KLEM_AttachNoFreeEx(nullptr, pixels, 3, 1, 1, 3, 25),
      KLEM_Clear(nullptr),
      KLEM_GetWidth(nullptr, &i32),
      KLEM_GetHeight(nullptr, &i32),
      KLEM_GetBitsPerPixel(nullptr, &u32),
      KLEM_GetWidthBytes(nullptr, &i32),
      KLEM_GetImageMemory(nullptr, &memory),
      KLEM_GetImageSizeInBytes(nullptr, &u32),
  };
  for (uint32_t result : results) EXPECT_EQ(result, KLEM_INVALID_ARG);
  EXPECT_EQ(i32, 5);
  EXPECT_EQ(u32, 5u);
  EXPECT_EQ(memory, &i32);
  EXPECT_STREQ(text, "untouched");
  EXPECT_STREQ(buffer, "untouched");
}

TEST(ExportedFrame, NullOutPointersAreRefused) {
  Handle o;
  EXPECT_EQ(KLEM_GetError(o.h, nullptr), KLEM_INVALID_ARG);
  EXPECT_EQ(KLEM_GetVersion(o.h, nullptr), KLEM_INVALID_ARG);
  EXPECT_EQ(KLEM_GetProcessorDetected(o.h, nullptr), KLEM_INVALID_ARG);
  EXPECT_EQ(KLEM_GetScaleFactor(o.h, nullptr), KLEM_INVALID_ARG);
  EXPECT_EQ(KLEM_GetWidth(o.h, nullptr), KLEM_INVALID_ARG);
  EXPECT_EQ(KLEM_GetImageMemory(o.h, nullptr), KLEM_INVALID_ARG);
}

TEST(ExportedFrame, GeometryThroughTheInterface) {
  Handle o;
  ASSERT_EQ(KLEM_Create(o.h, 7, 3, 24), KLEM_OK);
  int32_t width = 0, height = 0, widthBytes = 0;
  uint32_t bpp = 0, size = 0;
  void* memory = nullptr;
  KLEM_GetWidth(o.h, &width);
  KLEM_GetHeight(o.h, &height);
  KLEM_GetWidthBytes(o.h, &widthBytes);
  KLEM_GetBitsPerPixel(o.h, &bpp);
  KLEM_GetImageSizeInBytes(o.h, &size);
  KLEM_GetImageMemory(o.h, &memory);
  EXPECT_EQ((std::array{width, height, widthBytes}), (std::array{7, 3, 21}));
  EXPECT_EQ(bpp, 24u);
  EXPECT_EQ(size, 63u);
  EXPECT_NE(memory, nullptr);
  EXPECT_EQ(KLEM_Clear(o.h), KLEM_OK);
  KLEM_GetImageMemory(o.h, &memory);
  KLEM_GetWidth(o.h, &width);
  EXPECT_EQ(memory, nullptr);
  EXPECT_EQ(width, 0);
}

TEST(ExportedFrame, FailuresReturnOneWithTheirText) {
  Handle o;
  EXPECT_EQ(KLEM_Create(o.h, 0, 3, 8), KLEM_FAILED);
  EXPECT_EQ(ErrorOf(o.h), "Invalid Size!");
  EXPECT_EQ(KLEM_Create(o.h, 3, 3, 8), KLEM_OK);
  EXPECT_EQ(ErrorOf(o.h), "");
  // Exceptions of the image become result 1 with their text.
  std::vector<uint8_t> host(29 * 4);
  EXPECT_EQ(KLEM_AttachNoFreeEx(o.h, host.data(), 29 * 4, 10, 4, 29, 25), KLEM_FAILED);
  EXPECT_EQ(ErrorOf(o.h), "Invalid width in bytes specified!");
  klem::platform::FailNextAllocationsForTesting(2);
  EXPECT_EQ(KLEM_Create(o.h, 30, 30, 8), KLEM_FAILED);
  EXPECT_EQ(ErrorOf(o.h), "Can't allocate image! Out of memory!");
  uint32_t bpp = 99;
  KLEM_GetBitsPerPixel(o.h, &bpp);
  EXPECT_EQ(bpp, 0u);
}

TEST(ExportedFrame, ErrorTextIsTheHostsToSetAndIsCutToTheBuffer) {
  Handle o;
  EXPECT_EQ(KLEM_SetError(o.h, "abc"), KLEM_OK);
  EXPECT_EQ(ErrorOf(o.h), "abc");
  EXPECT_EQ(KLEM_SetError(o.h, nullptr), KLEM_OK);
  EXPECT_EQ(ErrorOf(o.h), "");
  const std::string longText(5000, 'x');
  KLEM_SetError(o.h, longText.c_str());
  std::vector<char> buffer(KLEM_ERROR_BUFFER_SIZE + 16, '#');
  EXPECT_EQ(KLEM_GetError(o.h, buffer.data()), KLEM_OK);
  EXPECT_EQ(std::string(buffer.data()), std::string(1023, 'x'));
  EXPECT_EQ(buffer[KLEM_ERROR_BUFFER_SIZE], '#');  // nothing written past the 1024 bytes
  KLEM_SetError(o.h, "abc");
  EXPECT_EQ(KLEM_Create(o.h, 2, 2, 8), KLEM_OK);  // the next operation empties it
  EXPECT_EQ(ErrorOf(o.h), "");
}

TEST(ExportedFrame, ScaleFactorBelongsToTheObjectAndSurvivesClear) {
  Handle a, b;
  int32_t value = -1;
  EXPECT_EQ(KLEM_GetScaleFactor(a.h, &value), KLEM_OK);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(KLEM_SetScaleFactor(a.h, 3), KLEM_OK);
  KLEM_Clear(a.h);
  KLEM_Create(a.h, 2, 2, 8);
  KLEM_GetScaleFactor(a.h, &value);
  EXPECT_EQ(value, 3);
  KLEM_GetScaleFactor(b.h, &value);
  EXPECT_EQ(value, 0);
}

TEST(ExportedFrame, TextsOfThisProcessor) {
  Handle o;
  const char* version = nullptr;
  ASSERT_EQ(KLEM_GetVersion(o.h, &version), KLEM_OK);
  klem::kernels::CpuFeatureMask mask = 0;
  klem::kernels::GetCpuFeatures(&mask);
  const int32_t path = klem::kernels::HighestRunnableCodePath();
  const char* codes[] = {"g0", "s2", "s3", "ss3", "s41"};
  std::string name = std::string("krnimg_") + codes[path] + ".lib";
  if (path == klem::kernels::kPathSse41 && (mask & klem::kernels::kCpuSSE42)) name += "+";
  EXPECT_EQ(std::string(version),
            "5.0.5.6 3.2.58.411 '" + name + "', '3.2 Release 4 build 58.11', 'Jun 02 2010'");

  const char* codeUsed = nullptr;
  ASSERT_EQ(KLEM_GetProcessorCodeUsed(o.h, &codeUsed), KLEM_OK);
  EXPECT_EQ(std::string(codeUsed), std::string(codes[path]) + " " + codes[path]);

  const char* detected = nullptr;
  ASSERT_EQ(KLEM_GetProcessorDetected(o.h, &detected), KLEM_OK);
  EXPECT_STREQ(detected, klem::kernels::CpuTypeText(klem::kernels::GetCpuType()));

  // The one real frequency measurement of the suite (two to three seconds).
  const char* details = nullptr;
  ASSERT_EQ(KLEM_GetProcessorDetails(o.h, &details), KLEM_OK);
  int32_t cache = 0;
  const bool cacheKnown = klem::kernels::GetMaxCacheSize(&cache) == klem::kernels::kStsNoErr;
  const std::string cachePiece =
      cacheKnown ? "CPU Memory: " + std::to_string(cache) + " Bytes; " : "";
  EXPECT_TRUE(std::regex_match(
      details, std::regex("CPU Frequence: [1-9][0-9]*Mhz; " + cachePiece + "Cores on Die: " +
                          std::to_string(klem::kernels::GetCoresOnDie()) + "; ")))
      << details;
}

TEST(ExportedFrame, ReturnedTextStaysUntilTheNextTextCall) {
  Handle o;
  const char* version = nullptr;
  const char* codeUsed = nullptr;
  KLEM_GetVersion(o.h, &version);
  const std::string copy = version;
  KLEM_Create(o.h, 4, 4, 8);  // operations leave the returned text alone
  EXPECT_EQ(std::string(version), copy);
  KLEM_GetProcessorCodeUsed(o.h, &codeUsed);
  EXPECT_NE(std::string(codeUsed), copy);
}

}  // namespace
