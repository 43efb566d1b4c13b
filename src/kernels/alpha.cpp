// Generic alpha kernels and the dispatch tables of the family.
//
// mul(x, y) = (t + (t >> 8) + 1) >> 8 with t = x * y approximates x * y / 255
// (mul(255, y) = y, mul(0, y) = 0, mul(128, 128) = 64); sat(v) = min(v, 255).
//   premultiply          colour := mul(colour, alpha), alpha kept
//   premultiply const    colour := mul(colour, c); a 4-byte pixel's alpha := c
//   compose              per type, A the first source, B the second:
//     type  operator  colour, straight (0-5)          colour, premultiplied (6-11)
//     0/6   over      mul(A,aA) + mul(mul(B,aB),255-aA)   sat(A + mul(B,255-aA))
//     1/7   in        mul(mul(A,aA),aB)                   mul(A,aB)
//     2/8   out       mul(255-aB,mul(A,aA))               mul(A,255-aB)
//     3/9   atop      mul(mul(A,aA),aB) + mul(mul(B,aB),255-aA)
//                                                         sat(mul(A,aB) + mul(B,255-aA))
//     4/10  xor       mul(mul(A,aA),255-aB) + mul(mul(B,aB),255-aA)
//                                                         sat(mul(255-aB,A) + mul(B,255-aA))
//     5/11  plus      sat(mul(A,aA) + mul(B,aB))          sat(A + B)
//     alpha: over aA + mul(aB,255-aA), in mul(aB,aA), out mul(255-aB,aA), atop aB,
//            xor mul(255-aB,aA) + mul(255-aA,aB), plus sat(aA + aB)
//   compose const        the colour of the same types with two constant alphas
//   set alpha, copy to alpha   byte 3 of every 4-byte pixel := c or the 8-bit source
#include "kernels/alpha.h"

#include "kernels/alpha_rules.h"

namespace klem::kernels {
namespace generic {
namespace {

void PremultiplyRow(uint8_t* row, std::ptrdiff_t pixels) { PremultiplyPixels(row, 0, pixels); }

template <int32_t kChannels>
void PremultiplyConstRow(uint8_t alpha, uint8_t* row, std::ptrdiff_t pixels) {
  PremultiplyConstSamples<kChannels>(alpha, row, 0, pixels * kChannels);
}

template <int32_t kType>
void ComposeRow(const uint8_t* a, const uint8_t* b, uint8_t* d, std::ptrdiff_t pixels) {
  ComposePixels<kType>(a, b, d, 0, pixels);
}

template <int32_t kType, int32_t kChannels>
void ComposeConstRow(const uint8_t* a, uint8_t alphaA, const uint8_t* b, uint8_t alphaB, uint8_t* d,
                     std::ptrdiff_t pixels) {
  ComposeConstSamples<kType, kChannels>(a, alphaA, b, alphaB, d, 0, pixels * kChannels);
}

void SetAlphaRow(uint8_t alpha, uint8_t* alphas, std::ptrdiff_t pixels) {
  SetAlphaPixels(alpha, alphas, 0, pixels);
}

void CopyToAlphaRow(const uint8_t* src, uint8_t* alphas, std::ptrdiff_t pixels) {
  CopyToAlphaPixels(src, alphas, 0, pixels);
}

}  // namespace

#include "kernels/alpha_entries.inc"

}  // namespace generic

// --- dispatch tables ----------------------------------------------------------
// SSE3 runs the SSE2 kernels. SSSE3 and SSE4.1 differ only where a pixel's
// alpha is spread over its lanes, by one byte shuffle (measured up to a fifth
// faster). Path 4 takes the AVX2 or AVX-512 ones where the processor has
// them: AVX-512 measured 1.2 to 2 times faster than AVX2 on all but setting a
// constant alpha, which is bound by memory.
#define KLEM_TABLE(Fn, name) \
  constinit const KernelDispatchTable<Fn> k##name = Dispatch(generic::name).Sse2(sse2::name).Avx2(avx2::name)
#define KLEM_WIDE_TABLE(Fn, name) \
  constinit const KernelDispatchTable<Fn> k##name = \
      Dispatch(generic::name).Sse2(sse2::name).Avx2(avx2::name).Avx512(avx512::name)
#define KLEM_SHUFFLE_TABLE(Fn, name) \
  constinit const KernelDispatchTable<Fn> k##name = \
      Dispatch(generic::name).Sse2(sse2::name).Ssse3(ssse3::name).Avx2(avx2::name).Avx512(avx512::name)

KLEM_SHUFFLE_TABLE(AlphaPremultiply8uFn, AlphaPremultiply8uC4);
KLEM_WIDE_TABLE(AlphaPremultiplyConst8uFn, AlphaPremultiplyConst8uC1);
KLEM_WIDE_TABLE(AlphaPremultiplyConst8uFn, AlphaPremultiplyConst8uC3);
KLEM_WIDE_TABLE(AlphaPremultiplyConst8uFn, AlphaPremultiplyConst8uC4);
KLEM_SHUFFLE_TABLE(AlphaCompose8uFn, AlphaCompose8uC4);
KLEM_WIDE_TABLE(AlphaComposeConst8uFn, AlphaComposeConst8uC1);
KLEM_WIDE_TABLE(AlphaComposeConst8uFn, AlphaComposeConst8uC3);
KLEM_WIDE_TABLE(AlphaComposeConst8uFn, AlphaComposeConst8uC4);
KLEM_TABLE(SetAlphaConst8uFn, SetAlphaConst8uC4);
KLEM_WIDE_TABLE(CopyToAlpha8uFn, CopyToAlpha8u);
#undef KLEM_SHUFFLE_TABLE
#undef KLEM_WIDE_TABLE
#undef KLEM_TABLE

}  // namespace klem::kernels
