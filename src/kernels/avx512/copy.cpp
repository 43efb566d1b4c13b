// AVX-512 rectangle copies and three-byte masked copy. Bytes are only moved,
// so the results are the generic ones.
//
// Rectangle copy: rows that share no byte are copied in 64-byte pieces
// loaded from aligned source addresses (a crop's source rows rarely start on
// a line, and a load across two lines costs two); the pieces before the
// first aligned one and after the last whole one are loaded and stored under
// byte masks, which touch no byte outside the row. Rectangles that may share
// bytes take the shared memmove rows.
//
// Masked copy: the mask bytes become a store mask, so only the selected bytes
// are written and the destination is never read. Each 16-byte part of the
// 192 bytes of 64 pixels takes its 16 mask bytes (a 128-bit lane of the mask
// vector) and repeats each over its pixel's three bytes with a byte shuffle.
// Whole vectors stay inside the row and the rest of a row takes the generic
// scalar rule.
#include "kernels/copy.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

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

// The first `bytes` (0..64) bytes of a piece.
__mmask64 FirstBytes(std::ptrdiff_t bytes) {
  return bytes >= 64 ? ~__mmask64{0} : (__mmask64{1} << bytes) - 1;
}

void CopyPart(uint8_t* dst, const uint8_t* src, __mmask64 bytes) {
  _mm512_mask_storeu_epi8(dst, bytes, _mm512_maskz_loadu_epi8(bytes, src));
}

// Four aligned loads before their four stores, so that loads run ahead.
void CopyBytes(uint8_t* dst, const uint8_t* src, std::ptrdiff_t n) {
  constexpr std::ptrdiff_t kStep = Simd::kBytes;
  const std::ptrdiff_t head = std::min<std::ptrdiff_t>(-reinterpret_cast<uintptr_t>(src) % kStep, n);
  if (head > 0) CopyPart(dst, src, FirstBytes(head));
  std::ptrdiff_t x = head;
  for (; x + 4 * kStep <= n; x += 4 * kStep) {
    Simd::V v[4];
    for (int32_t k = 0; k < 4; ++k) v[k] = _mm512_load_si512(src + x + k * kStep);
    for (int32_t k = 0; k < 4; ++k) Simd::Store(dst + x + k * kStep, v[k]);
  }
  for (; x + kStep <= n; x += kStep) Simd::Store(dst + x, _mm512_load_si512(src + x));
  if (x < n) CopyPart(dst + x, src + x, FirstBytes(n - x));
}

}  // namespace

KernelStatus CopyRect8uC1(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi) {
  return CopyRectShape<1>(src, srcStep, dst, dstStep, roi, CopyBytes);
}
KernelStatus CopyRect8uC3(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi) {
  return CopyRectShape<3>(src, srcStep, dst, dstStep, roi, CopyBytes);
}

KernelStatus CopyMasked8uC3(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                            const uint8_t* mask, int32_t maskStep) {
  return MaskedShape<3>(src, srcStep, dst, dstStep, roi, mask, maskStep, MaskedRowC3);
}

}  // namespace klem::kernels::avx512
