// Generic fill, copy, masked copy and bordered copy kernels and the dispatch
// tables of the family.
//
// Per pixel of C bytes (C = 1, 3 or 4):
//   fill            d[k] = value[k]
//   copy            d[k] = s[k]
//   masked copy     d[k] = s[k] where the pixel's mask byte is nonzero, else d[k] stays
//   bordered copies d(x, y) = s(x - left, y - top) inside the source; outside it
//                   the value, or s at the nearest source column and row
// Nothing is scaled or rounded. Whole-row moves go through memmove / memset
// here and on the SSE and AVX2 paths: the C library's own vector loops for
// them already run at memory speed.
#include "kernels/copy.h"

#include "kernels/copy_rules.h"

namespace klem::kernels {
namespace generic {
namespace {

template <int32_t kChannels>
auto FillWith(const uint8_t* value) {
  return [value](uint8_t* row, std::ptrdiff_t pixels) { FillPixels<kChannels>(row, pixels, value); };
}

template <int32_t kChannels>
void MaskedRow(const uint8_t* src, uint8_t* dst, const uint8_t* mask, int32_t pixels) {
  MaskedPixels<kChannels>(src, dst, mask, 0, pixels);
}

void CopyBytes(uint8_t* dst, const uint8_t* src, std::ptrdiff_t bytes) {
  std::memcpy(dst, src, static_cast<size_t>(bytes));
}

}  // namespace

KernelStatus SetValue8uC1(uint8_t value, uint8_t* dst, int32_t dstStep, ROI roi) {
  return SetValueShape<1>(&value, dst, dstStep, roi, FillWith<1>(&value));
}
KernelStatus SetValue8uC3(const uint8_t value[3], uint8_t* dst, int32_t dstStep, ROI roi) {
  return SetValueShape<3>(value, dst, dstStep, roi, FillWith<3>(value));
}
KernelStatus SetValue8uC4(const uint8_t value[4], uint8_t* dst, int32_t dstStep, ROI roi) {
  return SetValueShape<4>(value, dst, dstStep, roi, FillWith<4>(value));
}

KernelStatus CopyRect8uC1(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi) {
  return CopyRectShape<1>(src, srcStep, dst, dstStep, roi, CopyBytes);
}
KernelStatus CopyRect8uC3(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi) {
  return CopyRectShape<3>(src, srcStep, dst, dstStep, roi, CopyBytes);
}

KernelStatus CopyMasked8uC1(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                            const uint8_t* mask, int32_t maskStep) {
  return MaskedShape<1>(src, srcStep, dst, dstStep, roi, mask, maskStep, MaskedRow<1>);
}
KernelStatus CopyMasked8uC3(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                            const uint8_t* mask, int32_t maskStep) {
  return MaskedShape<3>(src, srcStep, dst, dstStep, roi, mask, maskStep, MaskedRow<3>);
}

KernelStatus CopyConstBorder8uC1(const uint8_t* src, int32_t srcStep, ROI srcRoi, uint8_t* dst,
                                 int32_t dstStep, ROI dstRoi, int32_t topBorder, int32_t leftBorder,
                                 uint8_t value) {
  return ConstBorderShape<1>(src, srcStep, srcRoi, dst, dstStep, dstRoi, topBorder, leftBorder, &value,
                             FillWith<1>(&value));
}
KernelStatus CopyConstBorder8uC3(const uint8_t* src, int32_t srcStep, ROI srcRoi, uint8_t* dst,
                                 int32_t dstStep, ROI dstRoi, int32_t topBorder, int32_t leftBorder,
                                 const uint8_t value[3]) {
  return ConstBorderShape<3>(src, srcStep, srcRoi, dst, dstStep, dstRoi, topBorder, leftBorder, value,
                             FillWith<3>(value));
}

KernelStatus CopyReplicateBorder8uC1(const uint8_t* src, int32_t srcStep, ROI srcRoi, uint8_t* dst,
                                     int32_t dstStep, ROI dstRoi, int32_t topBorder, int32_t leftBorder) {
  return ReplicateBorderShape<1>(src, srcStep, srcRoi, dst, dstStep, dstRoi, topBorder, leftBorder);
}
KernelStatus CopyReplicateBorder8uC3(const uint8_t* src, int32_t srcStep, ROI srcRoi, uint8_t* dst,
                                     int32_t dstStep, ROI dstRoi, int32_t topBorder, int32_t leftBorder) {
  return ReplicateBorderShape<3>(src, srcStep, srcRoi, dst, dstStep, dstRoi, topBorder, leftBorder);
}

}  // namespace generic

// --- dispatch tables ----------------------------------------------------------
// Kernels made of memset and memmove alone (the one-byte fill and constant
// border) hold the generic kernel on every path; so do the replicated
// borders, whose side runs are a few scalar pixels a row beside a memmove of
// the source row. The rectangle copies do too up to AVX2; on AVX-512 their
// loads from aligned source addresses measured about a tenth faster than
// memmove on the rows of a crop (1280 x 720 out of 1920 x 1080, three bytes a
// pixel), whose source rows start off a 64-byte line. The three- and
// four-byte fills, the constant border built on them and the masked copies
// have vector bodies. The three-byte masked copy of SSE2 spreads its masks
// through a table, measured as fast as SSSE3 byte shuffles; on AVX-512 it
// stores through byte masks, measured up to a quarter faster than AVX2 (the
// one-byte form measured the same, so it keeps AVX2).
#define KLEM_GENERIC_TABLE(Fn, name) constinit const KernelDispatchTable<Fn> k##name = Dispatch(generic::name)
#define KLEM_TABLE(Fn, name) \
  constinit const KernelDispatchTable<Fn> k##name = Dispatch(generic::name).Sse2(sse2::name).Avx2(avx2::name)

KLEM_GENERIC_TABLE(SetValue8uC1Fn, SetValue8uC1);
KLEM_TABLE(SetValue8uC3Fn, SetValue8uC3);
KLEM_TABLE(SetValue8uC4Fn, SetValue8uC4);
constinit const KernelDispatchTable<CopyRect8uFn> kCopyRect8uC1 =
    Dispatch(generic::CopyRect8uC1).Avx512(avx512::CopyRect8uC1);
constinit const KernelDispatchTable<CopyRect8uFn> kCopyRect8uC3 =
    Dispatch(generic::CopyRect8uC3).Avx512(avx512::CopyRect8uC3);
KLEM_TABLE(CopyMasked8uFn, CopyMasked8uC1);
constinit const KernelDispatchTable<CopyMasked8uFn> kCopyMasked8uC3 =
    Dispatch(generic::CopyMasked8uC3).Sse2(sse2::CopyMasked8uC3).Avx2(avx2::CopyMasked8uC3)
        .Avx512(avx512::CopyMasked8uC3);
KLEM_GENERIC_TABLE(CopyConstBorder8uC1Fn, CopyConstBorder8uC1);
KLEM_TABLE(CopyConstBorder8uC3Fn, CopyConstBorder8uC3);
KLEM_GENERIC_TABLE(CopyReplicateBorder8uFn, CopyReplicateBorder8uC1);
KLEM_GENERIC_TABLE(CopyReplicateBorder8uFn, CopyReplicateBorder8uC3);
#undef KLEM_GENERIC_TABLE
#undef KLEM_TABLE

}  // namespace klem::kernels
