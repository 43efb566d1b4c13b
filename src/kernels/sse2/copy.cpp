// SSE2 fill, masked copy and constant border kernels: the shared vector
// bodies on 16-byte vectors, selecting bytes with and / andnot / or. Without
// byte shuffles the three-byte masks come from a table: the zero bits of 8
// mask bytes index the 24 bytes of their pixels.
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

namespace {
// Row b: 0xFF over the three bytes of pixel p (of 8) where bit p of b is set; 32 bytes a row.
struct PixelBytesOfBits {
  alignas(32) uint8_t row[256][32];
  constexpr PixelBytesOfBits() : row{} {
    for (int32_t b = 0; b < 256; ++b) {
      for (int32_t i = 0; i < 24; ++i) row[b][i] = (b >> (i / 3)) & 1 ? 0xFF : 0;
    }
  }
};
constexpr PixelBytesOfBits kPixelBytesOfBits;

// keep[k]: 0xFF over the bytes of the k-th 16 bytes of 16 pixels whose mask is zero.
void KeepMasksC3(const uint8_t* mask, V keep[3]) {
  const int32_t zero = _mm_movemask_epi8(Simd::Equal8(Simd::Load(mask), Simd::Zero()));
  const uint8_t* low = kPixelBytesOfBits.row[zero & 0xFF];
  const uint8_t* high = kPixelBytesOfBits.row[zero >> 8];
  keep[0] = Simd::Load(low);
  keep[1] = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(low + 16)),
                               _mm_loadl_epi64(reinterpret_cast<const __m128i*>(high)));
  keep[2] = Simd::Load(high + 8);
}
}  // namespace

#include "kernels/simd/copy_entries.inc"
}  // namespace klem::kernels::sse2
