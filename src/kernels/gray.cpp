// Generic gray and bit kernels and the dispatch tables of the family.
//
//   gray     dst = (1225 * b0 + 2404 * b1 + 467 * b2) >> 12, bytes b0, b1, b2
//            of the colour pixel (0.299, 0.587, 0.114 in 12-bit fixed point)
//   expand   dst = 255 for a set source bit, 0 for a clear one
//   copy     the region's bits as they are
//   dither   per row, pixels left to right, p the sample, t the threshold,
//            e1 and e2 the errors of the two pixels to the left (0 at the
//            start of every row):
//              acc = 8192 * p + 23 * (8 * e1 + 4 * e2)
//              bit = acc > 8192 * t
//              e   = (acc >> 10) - (bit ? 2047 : 0)     (arithmetic shift)
//
// The dither is the weighted diffusion over the current row and the two rows
// above with its store of errors cleared at the start of every row, as the
// stored results of this library have it: the weights of the rows above
// only ever meet zeros, so the two errors to the left carry all of it, no
// store is kept and every row is independent of the others. A row's pixels
// form one dependency chain of about nine cycles a pixel (multiply, add,
// compare, select); advancing four rows side by side overlaps the chains and
// leaves the arithmetic units as the limit, about three cycles a pixel (two
// and eight rows measured slower). The dither has this one implementation on
// every code path.
#include "kernels/gray.h"

#include <algorithm>
#include <cstring>

#include "kernels/gray_rules.h"

namespace klem::kernels {
namespace generic {
namespace {

void GrayRow(const uint8_t* src, uint8_t* dst, int32_t pixels) { GrayPixels(src, dst, 0, pixels); }

void ExpandRow(const uint8_t* row, int32_t shift, uint8_t* dst, int32_t pixels) {
  ExpandGroupsAndPixels(row, shift, dst, 0, pixels);
}

// --- dither ----------------------------------------------------------------------

struct DitherState {
  int32_t e1 = 0;  // error of the pixel to the left
  int32_t e2 = 0;  // error of the pixel two to the left
};

// Written without a condition: on natural images the bit is close to random,
// and a mispredicted branch costs three times the whole chain. Neither
// difference below can overflow: |acc| < 2^22. Gives all ones for a set
// pixel, 0 for a clear one.
inline uint32_t DitherPixel(DitherState& s, uint8_t p, int32_t limit) {
  const int32_t acc = 8192 * p + 23 * (8 * s.e1 + 4 * s.e2);
  const int32_t set = (limit - acc) >> 31;  // all ones when acc > limit
  s.e2 = s.e1;
  s.e1 = (acc >> 10) - (set & 2047);
  return static_cast<uint32_t>(set);
}

// `count` bits, the first in the highest, into `byte` from bit 7 - first down;
// its other bits keep their values.
inline void MergeBits(uint8_t& byte, uint32_t bits, int32_t first, int32_t count) {
  const int32_t low = 8 - first - count;
  const uint32_t mask = ((1u << count) - 1) << low;
  byte = static_cast<uint8_t>((byte & ~mask) | ((bits << low) & mask));
}

// Rows diffused side by side: this many chains are in flight at once.
constexpr int32_t kDitherRows = 4;

// kRows rows from src and dst; the first bit goes to bit 7 - shift of each
// destination row's first byte.
template <int32_t kRows>
void DitherRowGroup(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                    int32_t shift, int32_t width, int32_t limit) {
  const uint8_t* in[kRows];
  uint8_t* out[kRows];
  DitherState state[kRows];
  for (int32_t r = 0; r < kRows; ++r) {
    in[r] = RowAt(src, srcStep, r);
    out[r] = RowAt(dst, dstStep, r);
  }
  uint32_t bits[kRows];
  // `count` pixels from x of every row, their bits in bits[r], first highest.
  const auto run = [&](std::ptrdiff_t x, int32_t count) {
    for (int32_t r = 0; r < kRows; ++r) bits[r] = 0;
    for (int32_t i = 0; i < count; ++i) {
      for (int32_t r = 0; r < kRows; ++r) {
        bits[r] = (bits[r] << 1) - DitherPixel(state[r], in[r][x + i], limit);  // + 1 when set
      }
    }
  };
  std::ptrdiff_t x = 0, byte = 0;
  if (shift != 0) {  // the rest of the first byte
    const int32_t count = std::min(width, 8 - shift);
    run(0, count);
    for (int32_t r = 0; r < kRows; ++r) MergeBits(out[r][0], bits[r], shift, count);
    x = count;
    byte = 1;
  }
  for (; width - x >= 8; x += 8, ++byte) {
    run(x, 8);
    for (int32_t r = 0; r < kRows; ++r) out[r][byte] = static_cast<uint8_t>(bits[r]);
  }
  if (x < width) {
    const int32_t count = static_cast<int32_t>(width - x);
    run(x, count);
    for (int32_t r = 0; r < kRows; ++r) MergeBits(out[r][byte], bits[r], 0, count);
  }
}

}  // namespace

KernelStatus ConvertRGBToGray8u(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                                ROI roi) {
  return GrayRows(src, srcStep, dst, dstStep, roi, GrayRow);
}

KernelStatus ExpandBitsToBytes1u8u(const uint8_t* src, int32_t srcStep, int32_t srcBitOffset,
                                   uint8_t* dst, int32_t dstStep, ROI roi) {
  return ExpandRows(src, srcStep, srcBitOffset, dst, dstStep, roi, ExpandRow);
}

KernelStatus DitherToBits8u1u(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                              int32_t dstBitOffset, ROI roi, uint8_t threshold) {
  if (src == nullptr || dst == nullptr) return kStsNullPtrErr;
  if (roi.width < 1 || roi.height < 1 || dstBitOffset < 0) return kStsSizeErr;
  uint8_t* first = dst + dstBitOffset / 8;
  const int32_t shift = dstBitOffset % 8;
  const int32_t limit = 8192 * threshold;
  int32_t y = 0;
  for (; roi.height - y >= kDitherRows; y += kDitherRows) {
    DitherRowGroup<kDitherRows>(RowAt(src, srcStep, y), srcStep, RowAt(first, dstStep, y), dstStep,
                                shift, roi.width, limit);
  }
  for (; y < roi.height; ++y) {
    DitherRowGroup<1>(RowAt(src, srcStep, y), srcStep, RowAt(first, dstStep, y), dstStep, shift,
                      roi.width, limit);
  }
  return kStsNoErr;
}

KernelStatus CopyBits1u(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                        ROI roi) {
  if (KernelStatus status = CheckArguments({src, dst}, roi, {srcStep, dstStep})) return status;
  const std::ptrdiff_t whole = roi.width / 8;
  const int32_t rest = roi.width % 8;
  for (int32_t y = 0; y < roi.height; ++y) {
    const uint8_t* in = RowAt(src, srcStep, y);
    uint8_t* out = RowAt(dst, dstStep, y);
    std::memmove(out, in, static_cast<size_t>(whole));
    if (rest != 0) MergeBits(out[whole], in[whole] >> (8 - rest), 0, rest);
  }
  return kStsNoErr;
}

}  // namespace generic

// --- dispatch tables ----------------------------------------------------------
// Gray and the bit expansion need byte shuffles, so paths 1 and 2 run the
// generic kernels; SSE4.1 adds nothing to SSSE3 here. Gray on AVX-512 measured
// about 30% faster than on AVX2; the expansion, bound by its stores, no faster,
// so it stays on AVX2 there. The dither and the bit copy run the generic
// kernels on every path.
constinit const KernelDispatchTable<ConvertRGBToGray8uFn> kConvertRGBToGray8u =
    Dispatch(generic::ConvertRGBToGray8u)
        .Ssse3(ssse3::ConvertRGBToGray8u)
        .Avx2(avx2::ConvertRGBToGray8u)
        .Avx512(avx512::ConvertRGBToGray8u);
constinit const KernelDispatchTable<ExpandBitsToBytes1u8uFn> kExpandBitsToBytes1u8u =
    Dispatch(generic::ExpandBitsToBytes1u8u)
        .Ssse3(ssse3::ExpandBitsToBytes1u8u)
        .Avx2(avx2::ExpandBitsToBytes1u8u);
constinit const KernelDispatchTable<DitherToBits8u1uFn> kDitherToBits8u1u =
    Dispatch(generic::DitherToBits8u1u);
constinit const KernelDispatchTable<CopyBits1uFn> kCopyBits1u = Dispatch(generic::CopyBits1u);

}  // namespace klem::kernels
