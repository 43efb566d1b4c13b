// One code path for the whole process, chosen from the processor's features,
// and the tables through which every kernel call reaches that path.
//
// A table has one entry per code path and two wide entries (AVX2, AVX-512)
// that path 4 uses when the processor has them and the operating system saves
// their registers. The wide entries change nothing but speed: the code path
// index, its codes, the version records and the texts stay those of path 4.
//
// A kernel family declares one table per kernel:
//   extern const KernelDispatchTable<AddImages8uFn> kAddImages8u;
// and defines it from the generic kernel, naming each path's own version in
// path order; a path without a version of its own runs the one below it:
//   constinit const KernelDispatchTable<AddImages8uFn> kAddImages8u =
//       Dispatch(generic::AddImages8u).Sse2(sse2::AddImages8u).Avx2(avx2::AddImages8u);
// An operation calls it in one line: kAddImages8u(src, srcStep, ...).
// Tests reach any entry directly with kAddImages8u.Entry(entry).
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>

#include "kernels/cpu_detect.h"

namespace klem::kernels {

enum CodePath : int32_t {
  kPathGeneric = 0,  // "g0": base instruction set only
  kPathSse2 = 1,     // "s2"
  kPathSse3 = 2,     // "s3"
  kPathSsse3 = 3,    // "ss3"
  kPathSse41 = 4,    // "s41" (SSE4.2 too where present)
};
inline constexpr int32_t kCodePathCount = 5;

// The entries of a dispatch table: the code paths, then the wide entries of path 4.
enum KernelEntry : int32_t {
  kEntryGeneric = kPathGeneric,
  kEntrySse2 = kPathSse2,
  kEntrySse3 = kPathSse3,
  kEntrySsse3 = kPathSsse3,
  kEntrySse41 = kPathSse41,
  kEntryAvx2 = 5,
  kEntryAvx512 = 6,  // with the BW and VL extensions
};
inline constexpr int32_t kKernelEntryCount = 7;

namespace detail {
// Written at every construction of an object while other threads may run
// kernels; every writer stores the same value. Relaxed atomic loads cost
// nothing over a plain load.
extern std::atomic<int32_t> g_kernelEntry;
}  // namespace detail

inline int32_t KernelEntryIndex() { return detail::g_kernelEntry.load(std::memory_order_relaxed); }
// The wide entries belong to path 4.
inline int32_t CodePathIndex() { return std::min(KernelEntryIndex(), int32_t{kPathSse41}); }

// The entry for a code path: path 4 with wider vectors takes their entry.
int32_t KernelEntryFor(int32_t codePath, WideVectors wide);
// "generic", "sse2", "sse3", "ssse3", "sse4.1", "avx2", "avx512".
const char* KernelEntryName(int32_t entry);

// Detects the processor and sets the process-wide code path and kernel entry;
// runs at every construction of a processing or vector-math object.
void InitKernelDispatch();

// Highest code path and highest kernel entry this processor can run; every
// entry below the highest one runs as well.
int32_t HighestRunnableCodePath();
int32_t HighestRunnableKernelEntry();

// Test seam: run every kernel on another entry (clamped to what this
// processor runs) until released; the code path follows it, and objects
// made meanwhile keep it instead of detecting the processor again.
void SetKernelEntryForTesting(int32_t entry);
void ReleaseKernelEntryForTesting();

// Results of at least this many bytes are written past the caches by the
// kernels that can: a quarter of the processor's largest cache (8 MiB when it
// does not tell). Smaller results are read back sooner than stores past the
// caches would save.
int64_t LargeResultBytes();
// Test seam: another threshold (1 sends every result past the caches) until
// released with 0.
void SetLargeResultBytesForTesting(int64_t bytes);

template <typename Fn>
class KernelDispatchTable {
 public:
  // Every entry runs the generic kernel until a path gives its own.
  constexpr explicit KernelDispatchTable(Fn* generic) { entries_.fill(generic); }

  // Each sets its entry and every entry above it; call them in path order.
  constexpr KernelDispatchTable Sse2(Fn* fn) const { return From(kEntrySse2, fn); }
  constexpr KernelDispatchTable Sse3(Fn* fn) const { return From(kEntrySse3, fn); }
  constexpr KernelDispatchTable Ssse3(Fn* fn) const { return From(kEntrySsse3, fn); }
  constexpr KernelDispatchTable Sse41(Fn* fn) const { return From(kEntrySse41, fn); }
  constexpr KernelDispatchTable Avx2(Fn* fn) const { return From(kEntryAvx2, fn); }
  constexpr KernelDispatchTable Avx512(Fn* fn) const { return From(kEntryAvx512, fn); }

  template <typename... Args>
  decltype(auto) operator()(Args&&... args) const {
    return entries_[KernelEntryIndex()](static_cast<Args&&>(args)...);
  }
  Fn* Entry(int32_t entry) const { return entries_[entry]; }

 private:
  constexpr KernelDispatchTable From(int32_t first, Fn* fn) const {
    KernelDispatchTable table = *this;
    for (int32_t entry = first; entry < kKernelEntryCount; ++entry) table.entries_[entry] = fn;
    return table;
  }

  std::array<Fn*, kKernelEntryCount> entries_{};
};

template <typename Fn>
constexpr KernelDispatchTable<Fn> Dispatch(Fn* generic) {
  return KernelDispatchTable<Fn>(generic);
}

// Version record of one part of the kernel layer on one code path.
struct KernelLibraryVersion {
  int32_t major;
  int32_t minor;
  int32_t majorBuild;
  int32_t build;
  char targetCode[4];  // zero-padded: "g0", "s2", "s3", "ss3", "s41"
  const char* name;
  const char* version;
  const char* buildDate;
};

using VersionQueryFn = const KernelLibraryVersion*();
// Records of the image part and of the signal part for the current code path.
extern const KernelDispatchTable<VersionQueryFn> kImageLibraryVersion;
extern const KernelDispatchTable<VersionQueryFn> kSignalLibraryVersion;

}  // namespace klem::kernels
