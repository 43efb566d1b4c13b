#include <gtest/gtest.h>

#include "frame/library_texts.h"
#include "kernels/dispatch.h"

namespace klem::kernels {
namespace {

// Restores the processor's own path after a test switched it.
class CodePathTest : public ::testing::Test {
 protected:
  void TearDown() override { InitKernelDispatch(); }
};

int32_t TagOf(int32_t path) { return 100 + path; }
int32_t Path0(int32_t x) { return x + TagOf(0); }
int32_t Path1(int32_t x) { return x + TagOf(1); }
int32_t Path3(int32_t x) { return x + TagOf(3); }
int32_t Path4(int32_t x) { return x + TagOf(4); }

TEST_F(CodePathTest, CallsGoThroughTheEntryOfTheCurrentPath) {
  const KernelDispatchTable<int32_t(int32_t)> table{Path0, Path1, Path1, Path3, Path4};
  EXPECT_EQ(table.Entry(kPathSse3)(1), 1 + TagOf(1));  // an entry may reuse the lower path
  for (int32_t path = kPathGeneric; path <= HighestRunnableCodePath(); ++path) {
    SetCodePathIndexForTesting(path);
    ASSERT_EQ(CodePathIndex(), path);
    EXPECT_EQ(table(5), table.Entry(path)(5)) << "path " << path;
  }
  const KernelDispatchTable<int32_t(int32_t)> single{Path0};
  for (int32_t path = 0; path < kCodePathCount; ++path) EXPECT_EQ(single.Entry(path), &Path0);
}

TEST_F(CodePathTest, TestSeamNeverSelectsAPathTheProcessorCannotRun) {
  SetCodePathIndexForTesting(99);
  EXPECT_EQ(CodePathIndex(), HighestRunnableCodePath());
  SetCodePathIndexForTesting(-3);
  EXPECT_EQ(CodePathIndex(), kPathGeneric);
}

TEST_F(CodePathTest, InitialisationPicksTheHighestPathTheFeaturesAllow) {
  SetCodePathIndexForTesting(kPathGeneric);
  InitKernelDispatch();
  CpuFeatureMask mask = 0;
  ASSERT_EQ(GetCpuFeatures(&mask), kStsNoErr);
  EXPECT_EQ(CodePathIndex(), CodePathForFeatures(true, mask));
}

TEST_F(CodePathTest, VersionRecordsNameTheirPath) {
  CpuFeatureMask mask = 0;
  GetCpuFeatures(&mask);
  const bool hasSse42 = (mask & kCpuSSE42) != 0;
  struct Expected {
    const char* code;
    const char* imageName;
    const char* signalName;
  };
  const Expected expected[] = {
      {"g0", "krnimg_g0.lib", "krnsig_g0.lib"},
      {"s2", "krnimg_s2.lib", "krnsig_s2.lib"},
      {"s3", "krnimg_s3.lib", "krnsig_s3.lib"},
      {"ss3", "krnimg_ss3.lib", "krnsig_ss3.lib"},
      {"s41", hasSse42 ? "krnimg_s41.lib+" : "krnimg_s41.lib",
       hasSse42 ? "krnsig_s41.lib+" : "krnsig_s41.lib"},
  };
  for (int32_t path = 0; path < kCodePathCount; ++path) {
    const KernelLibraryVersion& image = *kImageLibraryVersion.Entry(path)();
    const KernelLibraryVersion& signal = *kSignalLibraryVersion.Entry(path)();
    EXPECT_STREQ(image.targetCode, expected[path].code);
    EXPECT_STREQ(signal.targetCode, expected[path].code);
    EXPECT_STREQ(image.name, expected[path].imageName);
    EXPECT_STREQ(signal.name, expected[path].signalName);
    EXPECT_EQ(image.build, 411);
    EXPECT_EQ(signal.build, 413);
    EXPECT_EQ((std::array{image.major, image.minor, image.majorBuild}), (std::array{3, 2, 58}));
    EXPECT_STREQ(image.version, "3.2 Release 4 build 58.11");
    EXPECT_STREQ(signal.buildDate, "Jun 02 2010");
  }
}

TEST_F(CodePathTest, VersionAndCodeUsedTextsFollowThePath) {
  SetCodePathIndexForTesting(kPathGeneric);
  EXPECT_EQ(ComposeVersionText(),
            "5.0.5.6 3.2.58.411 'krnimg_g0.lib', '3.2 Release 4 build 58.11', 'Jun 02 2010'");
  EXPECT_EQ(ComposeProcessorCodeUsedText(), "g0 g0");
  const char* codes[] = {"g0 g0", "s2 s2", "s3 s3", "ss3 ss3", "s41 s41"};
  for (int32_t path = 0; path <= HighestRunnableCodePath(); ++path) {
    SetCodePathIndexForTesting(path);
    EXPECT_EQ(ComposeProcessorCodeUsedText(), codes[path]);
    EXPECT_EQ(ComposeVersionText().rfind("5.0.5.6 3.2.58.411 'krnimg_", 0), 0u);
  }
}

}  // namespace
}  // namespace klem::kernels
