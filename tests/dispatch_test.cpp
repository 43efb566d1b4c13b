#include <gtest/gtest.h>

#include <array>

#include "frame/library_texts.h"
#include "kernels/dispatch.h"

namespace klem::kernels {
namespace {

// Restores the processor's own entry after a test switched it.
class DispatchTest : public ::testing::Test {
 protected:
  void TearDown() override { InitKernelDispatch(); }
};

int32_t Generic(int32_t x) { return x + 100; }
int32_t Sse2(int32_t x) { return x + 101; }
int32_t Ssse3(int32_t x) { return x + 103; }
int32_t Avx2(int32_t x) { return x + 105; }

TEST_F(DispatchTest, EachPathRunsItsOwnEntryOrTheOneBelow) {
  constexpr auto table = Dispatch(Generic).Sse2(Sse2).Ssse3(Ssse3).Avx2(Avx2);
  const std::array<int32_t (*)(int32_t), kKernelEntryCount> expected = {Generic, Sse2, Sse2, Ssse3,
                                                                        Ssse3,   Avx2, Avx2};
  for (int32_t entry = 0; entry < kKernelEntryCount; ++entry) EXPECT_EQ(table.Entry(entry), expected[entry]);
  for (int32_t entry = kEntryGeneric; entry <= HighestRunnableKernelEntry(); ++entry) {
    SetKernelEntryForTesting(entry);
    ASSERT_EQ(KernelEntryIndex(), entry);
    EXPECT_EQ(CodePathIndex(), entry < kEntryAvx2 ? entry : kPathSse41);  // wide entries are path 4
    EXPECT_EQ(table(5), expected[entry](5)) << KernelEntryName(entry);
  }
}

TEST_F(DispatchTest, TestSeamNeverSelectsAnEntryTheProcessorCannotRun) {
  SetKernelEntryForTesting(99);
  EXPECT_EQ(KernelEntryIndex(), HighestRunnableKernelEntry());
  SetKernelEntryForTesting(-3);
  EXPECT_EQ(KernelEntryIndex(), kEntryGeneric);
  InitKernelDispatch();
  EXPECT_EQ(KernelEntryIndex(), HighestRunnableKernelEntry());
  EXPECT_EQ(CodePathIndex(), HighestRunnableCodePath());
}

TEST_F(DispatchTest, OnlyPathFourTakesTheWideEntries) {
  for (int32_t path = kPathGeneric; path < kPathSse41; ++path) {
    EXPECT_EQ(KernelEntryFor(path, WideVectors::kAvx512), path);
  }
  EXPECT_EQ(KernelEntryFor(kPathSse41, WideVectors::kNone), kEntrySse41);
  EXPECT_EQ(KernelEntryFor(kPathSse41, WideVectors::kAvx2), kEntryAvx2);
  EXPECT_EQ(KernelEntryFor(kPathSse41, WideVectors::kAvx512), kEntryAvx512);
  EXPECT_STREQ(KernelEntryName(kEntryAvx2), "avx2");
  EXPECT_STREQ(KernelEntryName(kEntryAvx512), "avx512");
}

TEST_F(DispatchTest, VersionRecordsAndTextsNameTheCodePathNotTheEntry) {
  CpuFeatureMask mask = 0;
  GetCpuFeatures(&mask);
  const std::string plus = (mask & kCpuSSE42) != 0 ? "+" : "";
  const char* codes[] = {"g0", "s2", "s3", "ss3", "s41", "s41", "s41"};
  for (int32_t entry = 0; entry < kKernelEntryCount; ++entry) {
    const KernelLibraryVersion& image = *kImageLibraryVersion.Entry(entry)();
    const KernelLibraryVersion& signal = *kSignalLibraryVersion.Entry(entry)();
    const std::string suffix = entry >= kEntrySse41 ? ".lib" + plus : ".lib";
    EXPECT_STREQ(image.targetCode, codes[entry]);
    EXPECT_STREQ(signal.targetCode, codes[entry]);
    EXPECT_EQ(image.name, "krnimg_" + std::string(codes[entry]) + suffix);
    EXPECT_EQ(signal.name, "krnsig_" + std::string(codes[entry]) + suffix);
    EXPECT_EQ((std::array{image.major, image.minor, image.majorBuild, image.build, signal.build}),
              (std::array{3, 2, 58, 411, 413}));
    EXPECT_STREQ(image.version, "3.2 Release 4 build 58.11");
    EXPECT_STREQ(signal.buildDate, "Jun 02 2010");
  }
  SetKernelEntryForTesting(kEntryGeneric);
  EXPECT_EQ(ComposeVersionText(),
            "5.0.5.6 3.2.58.411 'krnimg_g0.lib', '3.2 Release 4 build 58.11', 'Jun 02 2010'");
  for (int32_t entry = kEntryGeneric; entry <= HighestRunnableKernelEntry(); ++entry) {
    SetKernelEntryForTesting(entry);
    EXPECT_EQ(ComposeProcessorCodeUsedText(), std::string(codes[entry]) + " " + codes[entry]);
  }
}

}  // namespace
}  // namespace klem::kernels
