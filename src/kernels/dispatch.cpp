#include "kernels/dispatch.h"

#include <algorithm>

namespace klem::kernels {

namespace detail {
std::atomic<int32_t> g_kernelEntry{kEntryGeneric};
}  // namespace detail

namespace {
// The entry the test seam holds, or -1 when the processor decides.
std::atomic<int32_t> g_pinnedEntry{-1};
}  // namespace

int32_t KernelEntryFor(int32_t codePath, WideVectors wide) {
  if (codePath != kPathSse41) return codePath;
  switch (wide) {
    case WideVectors::kAvx512: return kEntryAvx512;
    case WideVectors::kAvx2: return kEntryAvx2;
    case WideVectors::kNone: break;
  }
  return kEntrySse41;
}

const char* KernelEntryName(int32_t entry) {
  static const char* const kNames[kKernelEntryCount] = {"generic", "sse2",  "sse3",  "ssse3",
                                                        "sse4.1",  "avx2", "avx512"};
  return entry >= 0 && entry < kKernelEntryCount ? kNames[entry] : "unknown";
}

int32_t HighestRunnableCodePath() {
  CpuFeatureMask mask = 0;
  const bool available = GetCpuFeatures(&mask) == kStsNoErr;
  return CodePathForFeatures(available, mask);
}

int32_t HighestRunnableKernelEntry() {
  return KernelEntryFor(HighestRunnableCodePath(), WideVectorsOf(ThisProcessor()));
}

void InitKernelDispatch() {
  const int32_t pinned = g_pinnedEntry.load(std::memory_order_relaxed);
  detail::g_kernelEntry.store(pinned >= 0 ? pinned : HighestRunnableKernelEntry(),
                              std::memory_order_relaxed);
}

void SetKernelEntryForTesting(int32_t entry) {
  g_pinnedEntry.store(std::clamp(entry, int32_t{kEntryGeneric}, HighestRunnableKernelEntry()),
                      std::memory_order_relaxed);
  InitKernelDispatch();
}

void ReleaseKernelEntryForTesting() {
  g_pinnedEntry.store(-1, std::memory_order_relaxed);
  InitKernelDispatch();
}

namespace {
std::atomic<int64_t> g_pinnedLargeResultBytes{0};  // 0: the processor's cache decides
}  // namespace

int64_t LargeResultBytes() {
  const int64_t pinned = g_pinnedLargeResultBytes.load(std::memory_order_relaxed);
  if (pinned > 0) return pinned;
  static const int64_t bytes = [] {
    const int64_t cache = GetLastLevelCacheBytes();
    return cache > 0 ? cache / 4 : int64_t{8} << 20;
  }();
  return bytes;
}

void SetLargeResultBytesForTesting(int64_t bytes) {
  g_pinnedLargeResultBytes.store(bytes, std::memory_order_relaxed);
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

template <const KernelLibraryVersion (&kRecords)[6]>
constexpr KernelDispatchTable<VersionQueryFn> RecordTable() {
  return Dispatch(RecordOf<kRecords, kPathGeneric>)
      .Sse2(RecordOf<kRecords, kPathSse2>)
      .Sse3(RecordOf<kRecords, kPathSse3>)
      .Ssse3(RecordOf<kRecords, kPathSsse3>)
      .Sse41(RecordOf<kRecords, kPathSse41>);
}

}  // namespace

// The wide entries run path 4 and report its record.
constinit const KernelDispatchTable<VersionQueryFn> kImageLibraryVersion = RecordTable<kImageRecords>();
constinit const KernelDispatchTable<VersionQueryFn> kSignalLibraryVersion = RecordTable<kSignalRecords>();

}  // namespace klem::kernels
