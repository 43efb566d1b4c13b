// Median kernels on 16-byte vectors: the networks of median_rules.h with
// each exchange as an unsigned byte minimum and maximum of whole vectors, the
// same exchanges as the generic kernels, so the same medians. Every row runs
// whole vectors from its start, then the bytes after the last one through the
// same network one byte a lane; no load or store leaves the row's windows.
#include "kernels/median.h"

#include <emmintrin.h>

#include "kernels/sse2/width.h"
#include "kernels/median_rules.h"

namespace klem::kernels::sse2 {
namespace {
struct Lanes : Simd {
  static V Min(V a, V b) { return _mm_min_epu8(a, b); }
  static V Max(V a, V b) { return _mm_max_epu8(a, b); }
};
}  // namespace

#include "kernels/median_entries.inc"

}  // namespace klem::kernels::sse2
