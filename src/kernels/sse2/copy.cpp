// SSE2 fill, one-byte masked copy and constant border kernels: the shared
// vector bodies on 16-byte vectors, selecting bytes with and / andnot / or.
#include "kernels/copy.h"

#include "kernels/copy_rules.h"
#include "kernels/simd/rows.h"
#include "kernels/sse2/width.h"

namespace klem::kernels::sse2 {
namespace {
inline Simd::V Select(Simd::V mask, Simd::V a, Simd::V b) {
  return Simd::Or(Simd::And(mask, a), Simd::AndNot(mask, b));
}
}  // namespace

#include "kernels/simd/copy.inc"
#include "kernels/simd/copy_entries.inc"
}  // namespace klem::kernels::sse2
