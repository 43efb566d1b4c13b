// SSSE3 three-byte masked copy: the shared vector body on 16-byte vectors.
// Each mask byte is repeated over its pixel's three bytes by a byte shuffle
// (pshufb), so 16 mask bytes select 48 bytes of pixels.
#include "kernels/copy.h"

#include <tmmintrin.h>

#include "kernels/copy_rules.h"
#include "kernels/simd/rows.h"
#include "kernels/sse2/width.h"

namespace klem::kernels::ssse3 {
namespace {
using Simd = sse2::Simd;
inline Simd::V Select(Simd::V mask, Simd::V a, Simd::V b) {
  return Simd::Or(Simd::And(mask, a), Simd::AndNot(mask, b));
}
}  // namespace

#include "kernels/simd/copy.inc"

namespace {
// keep[k]: 0xFF over the bytes of the k-th 16 bytes of 16 pixels whose mask is zero.
void KeepMasksC3(const uint8_t* mask, V keep[3]) {
  const V zero = Simd::Equal8(Simd::Load(mask), Simd::Zero());
  for (int32_t k = 0; k < 3; ++k) keep[k] = _mm_shuffle_epi8(zero, Simd::Load(kPixelOfByte.part[k]));
}
}  // namespace

KernelStatus CopyMasked8uC3(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                            const uint8_t* mask, int32_t maskStep) {
  return MaskedCopyC3(src, srcStep, dst, dstStep, roi, mask, maskStep, KeepMasksC3);
}

}  // namespace klem::kernels::ssse3
