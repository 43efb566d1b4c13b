#include "kernels/dispatch.h"

#include <algorithm>

namespace klem::kernels {

namespace detail {
int32_t g_codePathIndex = kPathGeneric;
}  // namespace detail

int32_t HighestRunnableCodePath() {
  CpuFeatureMask mask = 0;
  const bool available = GetCpuFeatures(&mask) == kStsNoErr;
  return CodePathForFeatures(available, mask);
}

void InitKernelDispatch() { detail::g_codePathIndex = HighestRunnableCodePath(); }

void SetCodePathIndexForTesting(int32_t index) {
  detail::g_codePathIndex = std::clamp(index, int32_t{kPathGeneric}, HighestRunnableCodePath());
}

namespace {

constexpr const char* kKernelVersionText = "3.2 Release 4 build 58.11";
constexpr const char* kKernelBuildDate = "Jun 02 2010";
constexpr int32_t kImageBuild = 411;
constexpr int32_t kSignalBuild = 413;

constexpr KernelLibraryVersion Record(int32_t build, const char (&code)[4], const char* name) {
  return {3, 2, 58, build, {code[0], code[1], code[2], code[3]}, name, kKernelVersionText,
          kKernelBuildDate};
}

constexpr KernelLibraryVersion kImageRecords[] = {
    Record(kImageBuild, "g0\0", "krnimg_g0.lib"),    Record(kImageBuild, "s2\0", "krnimg_s2.lib"),
    Record(kImageBuild, "s3\0", "krnimg_s3.lib"),    Record(kImageBuild, "ss3", "krnimg_ss3.lib"),
    Record(kImageBuild, "s41", "krnimg_s41.lib"),    Record(kImageBuild, "s41", "krnimg_s41.lib+"),
};
constexpr KernelLibraryVersion kSignalRecords[] = {
    Record(kSignalBuild, "g0\0", "krnsig_g0.lib"),   Record(kSignalBuild, "s2\0", "krnsig_s2.lib"),
    Record(kSignalBuild, "s3\0", "krnsig_s3.lib"),   Record(kSignalBuild, "ss3", "krnsig_ss3.lib"),
    Record(kSignalBuild, "s41", "krnsig_s41.lib"),   Record(kSignalBuild, "s41", "krnsig_s41.lib+"),
};

// The SSE4.1 path names itself with a trailing '+' when the processor also has SSE4.2.
template <const KernelLibraryVersion (&kRecords)[6], int32_t kPath>
const KernelLibraryVersion* RecordOf() {
  if constexpr (kPath == kPathSse41) {
    CpuFeatureMask mask = 0;
    const bool hasSse42 = GetCpuFeatures(&mask) == kStsNoErr && (mask & kCpuSSE42) != 0;
    return &kRecords[hasSse42 ? 5 : 4];
  }
  return &kRecords[kPath];
}

}  // namespace

const KernelDispatchTable<VersionQueryFn> kImageLibraryVersion{
    RecordOf<kImageRecords, kPathGeneric>, RecordOf<kImageRecords, kPathSse2>,
    RecordOf<kImageRecords, kPathSse3>, RecordOf<kImageRecords, kPathSsse3>,
    RecordOf<kImageRecords, kPathSse41>};
const KernelDispatchTable<VersionQueryFn> kSignalLibraryVersion{
    RecordOf<kSignalRecords, kPathGeneric>, RecordOf<kSignalRecords, kPathSse2>,
    RecordOf<kSignalRecords, kPathSse3>, RecordOf<kSignalRecords, kPathSsse3>,
    RecordOf<kSignalRecords, kPathSse41>};

}  // namespace klem::kernels
