// One code path for the whole process, chosen from the processor's features,
// and the tables through which every kernel call reaches that path.
//
// A kernel family declares one table per kernel:
//   extern const KernelDispatchTable<AddImages8uFn> kAddImages8u;
//   const KernelDispatchTable<AddImages8uFn> kAddImages8u{
//       generic::AddImages8u, sse2::AddImages8u, sse2::AddImages8u,
//       ssse3::AddImages8u, sse41::AddImages8u};
// and an operation calls it in one line: kAddImages8u(src, srcStep, ...).
// Tests reach any entry directly with kAddImages8u.Entry(path).
#pragma once

#include <array>
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

namespace detail {
// Written by InitKernelDispatch without a lock: every writer stores the same value.
extern int32_t g_codePathIndex;
}  // namespace detail

inline int32_t CodePathIndex() { return detail::g_codePathIndex; }

// Detects the processor and sets the process-wide code path; runs at every
// construction of a processing or vector-math object.
void InitKernelDispatch();

// Highest code path this processor can run.
int32_t HighestRunnableCodePath();

// Test seam: run every kernel on another path (clamped to what this processor runs).
void SetCodePathIndexForTesting(int32_t index);

template <typename Fn>
class KernelDispatchTable {
 public:
  constexpr KernelDispatchTable(Fn* g0, Fn* s2, Fn* s3, Fn* ss3, Fn* s41)
      : entries_{g0, s2, s3, ss3, s41} {}
  // A kernel with one implementation for every path.
  constexpr explicit KernelDispatchTable(Fn* only) : entries_{only, only, only, only, only} {}

  template <typename... Args>
  decltype(auto) operator()(Args&&... args) const {
    return entries_[detail::g_codePathIndex](static_cast<Args&&>(args)...);
  }
  Fn* Entry(int32_t path) const { return entries_[path]; }

 private:
  std::array<Fn*, kCodePathCount> entries_;
};

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
