// AVX-512 three-byte masked copy: the mask bytes become a store mask, so
// only the selected bytes are written and the destination is never read.
// Each 16-byte part of the 192 bytes of 64 pixels takes its 16 mask bytes (a
// 128-bit lane of the mask vector) and repeats each over its pixel's three
// bytes with a byte shuffle. Bytes are only moved, so the result is the
// generic one; whole vectors stay inside the row and the rest of a row takes
// the generic scalar rule.
#include "kernels/copy.h"

#include "kernels/avx512/width.h"
#include "kernels/copy_rules.h"

namespace klem::kernels::avx512 {
namespace {

// Lane l of vector v is the 16-byte part k = (4 v + l) % 3 of 48 bytes of 16
// pixels (0 1 2 0 | 1 2 0 1 | 2 0 1 2), whose byte i belongs to pixel (16 k + i) / 3.
struct Shuffles {
  alignas(64) uint8_t vector[3][64];
  constexpr Shuffles() : vector{} {
    for (int32_t v = 0; v < 3; ++v) {
      for (int32_t i = 0; i < 64; ++i) {
        vector[v][i] = static_cast<uint8_t>((16 * ((4 * v + i / 16) % 3) + i % 16) / 3);
      }
    }
  }
};
constexpr Shuffles kShuffles;

void MaskedRowC3(const uint8_t* src, uint8_t* dst, const uint8_t* mask, int32_t pixels) {
  constexpr std::ptrdiff_t kStep = Simd::kBytes;
  const Simd::V shuffles[3] = {Simd::Load(kShuffles.vector[0]), Simd::Load(kShuffles.vector[1]),
                               Simd::Load(kShuffles.vector[2])};
  const std::ptrdiff_t n = pixels;
  std::ptrdiff_t x = 0;
  for (; x + kStep <= n; x += kStep) {
    const Simd::V m = Simd::Load(mask + x);
    // The mask lanes (16 pixels each) that the 16-byte parts of each vector need:
    // 0 0 0 1 | 1 1 2 2 | 2 3 3 3.
    const Simd::V lanes[3] = {_mm512_shuffle_i64x2(m, m, 0x40), _mm512_shuffle_i64x2(m, m, 0xA5),
                              _mm512_shuffle_i64x2(m, m, 0xFE)};
    for (int32_t k = 0; k < 3; ++k) {
      const Simd::V expanded = _mm512_shuffle_epi8(lanes[k], shuffles[k]);
      const std::ptrdiff_t at = 3 * x + k * kStep;
      _mm512_mask_storeu_epi8(dst + at, _mm512_test_epi8_mask(expanded, expanded), Simd::Load(src + at));
    }
  }
  MaskedPixels<3>(src, dst, mask, x, n);
}

}  // namespace

KernelStatus CopyMasked8uC3(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                            const uint8_t* mask, int32_t maskStep) {
  return MaskedShape<3>(src, srcStep, dst, dstStep, roi, mask, maskStep, MaskedRowC3);
}

}  // namespace klem::kernels::avx512
