// Generic colour conversions, the in-place channel swaps, and the dispatch
// tables of the family.
//
// Per pixel, with floor(x / 2^k) an arithmetic shift and sat() a clamp to 0..255
// (colour_convert_rules.h holds the code):
//   RGB -> YUV   S = 19595 R + 38470 G + 7471 B, Y = floor(S / 65536)
//                tU = floor((65536 B - S + 32767) / 65536), U = floor(tU 32244 / 65536) + 128
//                tV = floor((65536 R - S + 32767) / 65536), V = sat(floor(tV 57475 / 65536) + 128)
//   YUV -> RGB   u = U - 128, v = V - 128
//                R = sat(floor((65536 Y + 74711 v) / 65536))
//                G = sat(floor((65536 Y - 25821 u - 38076 v) / 65536))
//                B = sat(floor((65536 Y + 133169 u) / 65536))
//   RGB -> XYZ   X = floor((27030 R + 23434 G + 11824 B) / 65536)
//                Y = floor((13937 R + 46868 G + 4729 B) / 65536)
//                Z = sat(floor((1267 R + 7811 G + 62274 B) / 65536))
//   XYZ -> RGB   R = sat(floor((212368 X - 100738 Y - 32671 Z) / 65536))
//                G = sat(floor((-63521 X + 122944 Y + 2723 Z) / 65536))
//                B = sat(floor((3646 X - 13372 Y + 69291 Z) / 65536))
//   RGB -> YCC   S = 4898 R + 9617 G + 1867 B, Y = floor(floor(S / 1024) 2921 / 65536)
//                C1 = floor(floor((16384 B - S) / 1024) 1789 / 65536) + 156
//                C2 = floor(floor((16384 R - S) / 1024) 2178 / 65536) + 137
//   YCC -> RGB   a = 5564 Y, b = 9084 (C1 - 156), c = 7460 (C2 - 137)
//                R = sat(floor((a + c) / 4096)), B = sat(floor((a + b) / 4096))
//                G = sat(floor((16 a - 794 floor(b / 256) - 2084 floor(c / 256)) / 65536))
// The swaps check their own arguments, in their own orders, and then move the
// bytes with the channel family's permute kernels of the same code path.
#include "kernels/colour_convert.h"

#include "kernels/channels.h"
#include "kernels/colour_convert_rules.h"

namespace klem::kernels {
namespace generic {
namespace {

template <typename Rule>
void ConvertRow(const uint8_t* src, uint8_t* dst, int32_t pixels) {
  ConvertPixels<Rule>(src, dst, 0, pixels);
}

}  // namespace

#include "kernels/colour_convert_entries.inc"

}  // namespace generic

namespace {

bool OrderWithin(const int32_t* order, int32_t count) {
  for (int32_t c = 0; c < count; ++c) {
    if (order[c] < 0 || order[c] >= count) return false;
  }
  return true;
}

template <PermuteChannels8uFn* kPermute>
KernelStatus SwapInPlaceC3(uint8_t* srcDst, int32_t step, ROI roi, const int32_t order[3]) {
  if (srcDst == nullptr || order == nullptr) return kStsNullPtrErr;
  if (roi.width < 1 || roi.height < 1) return kStsSizeErr;
  if (step < 1) return kStsStepErr;
  if (!OrderWithin(order, 3)) return kStsChannelOrderErr;
  return kPermute(srcDst, step, srcDst, step, roi, order);
}

template <PermuteChannels8uC4Fn* kPermute>
KernelStatus SwapInPlaceC4(uint8_t* srcDst, int32_t step, ROI roi, const int32_t order[4]) {
  if (srcDst == nullptr || order == nullptr) return kStsNullPtrErr;
  if (step < 1) return kStsStepErr;
  if (roi.width < 1 || roi.height < 1) return kStsSizeErr;
  if (!OrderWithin(order, 4)) return kStsChannelOrderErr;
  return kPermute(srcDst, step, srcDst, step, roi, order);
}

}  // namespace

// --- dispatch tables ----------------------------------------------------------
// The conversions need byte shuffles to gather the components of 3-byte
// pixels, so paths 1 and 2 run the generic kernels; SSE4.1 adds nothing they
// use. Path 4 takes the AVX2 ones where the processor has them, and the
// AVX-512 ones, a quarter to a third faster again as measured, above those.
#define KLEM_TABLE(name)                                                \
  constinit const KernelDispatchTable<ConvertColour8uFn> k##name =      \
      Dispatch(generic::name).Ssse3(ssse3::name).Avx2(avx2::name).Avx512(avx512::name)

KLEM_TABLE(ConvertRGBToYUV8u);
KLEM_TABLE(ConvertYUVToRGB8u);
KLEM_TABLE(ConvertRGBToXYZ8u);
KLEM_TABLE(ConvertXYZToRGB8u);
KLEM_TABLE(ConvertRGBToYCC8u);
KLEM_TABLE(ConvertYCCToRGB8u);
#undef KLEM_TABLE

// Each entry swaps with the permute kernel of its own entry.
constinit const KernelDispatchTable<SwapChannelsInPlace8uC3Fn> kSwapChannelsInPlace8uC3 =
    Dispatch(SwapInPlaceC3<generic::PermuteChannels8uC3>)
        .Ssse3(SwapInPlaceC3<ssse3::PermuteChannels8uC3>)
        .Sse41(SwapInPlaceC3<sse41::PermuteChannels8uC3>)
        .Avx2(SwapInPlaceC3<avx2::PermuteChannels8uC3>);
constinit const KernelDispatchTable<SwapChannelsInPlace8uC4Fn> kSwapChannelsInPlace8uC4 =
    Dispatch(SwapInPlaceC4<generic::PermuteChannels8uC4>)
        .Ssse3(SwapInPlaceC4<ssse3::PermuteChannels8uC4>)
        .Sse41(SwapInPlaceC4<sse41::PermuteChannels8uC4>)
        .Avx2(SwapInPlaceC4<avx2::PermuteChannels8uC4>);

}  // namespace klem::kernels
