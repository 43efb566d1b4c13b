// AVX2 fill, masked copy and constant border kernels: the shared vector
// bodies on 32-byte vectors, selecting bytes with vpblendvb. For three-byte
// pixels each mask byte is repeated over its pixel's bytes by byte shuffles;
// those work inside 128-bit lanes, so each lane first gets the 16 mask bytes
// that its part of the 96 bytes of 32 pixels needs.
#include "kernels/copy.h"

#include "kernels/avx2/width.h"
#include "kernels/copy_rules.h"
#include "kernels/simd/rows.h"

namespace klem::kernels::avx2 {
namespace {
inline Simd::V Select(Simd::V mask, Simd::V a, Simd::V b) { return _mm256_blendv_epi8(b, a, mask); }
}  // namespace

#include "kernels/simd/copy.inc"

namespace {
// Byte i of the k-th 16-byte part of a 48-byte run of pixels belongs to
// pixel (16 k + i) / 3.
struct PixelOfByte {
  alignas(16) uint8_t part[3][16];
  constexpr PixelOfByte() : part{} {
    for (int32_t k = 0; k < 3; ++k) {
      for (int32_t i = 0; i < 16; ++i) part[k][i] = static_cast<uint8_t>((16 * k + i) / 3);
    }
  }
};
constexpr PixelOfByte kPixelOfByte;

// keep[k]: 0xFF over the bytes of the k-th 32 bytes of 32 pixels whose mask
// is zero. The six 16-byte parts take the masks of pixels 0-15 (parts 0-2)
// and 16-31 (parts 3-5) through the shuffles of parts 0, 1, 2, 0, 1, 2.
void KeepMasksC3(const uint8_t* mask, V keep[3]) {
  const V zero = Simd::Equal8(Simd::Load(mask), Simd::Zero());
  const V low = _mm256_permute2x128_si256(zero, zero, 0x00);
  const V high = _mm256_permute2x128_si256(zero, zero, 0x11);
  const auto parts = [](int32_t a, int32_t b) {
    return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(kPixelOfByte.part[b]),
                               reinterpret_cast<const __m128i*>(kPixelOfByte.part[a]));
  };
  keep[0] = _mm256_shuffle_epi8(low, parts(0, 1));
  keep[1] = _mm256_shuffle_epi8(zero, parts(2, 0));
  keep[2] = _mm256_shuffle_epi8(high, parts(1, 2));
}
}  // namespace

#include "kernels/simd/copy_entries.inc"

}  // namespace klem::kernels::avx2
