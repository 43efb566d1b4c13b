// Kernels that move the bytes of 3- and 4-byte pixels between a colour image
// and one 8-bit image per byte position (split, merge), or between two colour
// images with the first three bytes of every pixel taken in a given order.
//
// The channel images of one call share one row step. Regions are in pixels.
// Statuses, in this order: -8 for a null pointer (the channel pointer array,
// any of its entries and the order included), -6 for an empty region, -14 for
// a row step below 1, -60 for an order entry outside 0..2.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

// channel c at (x, y) := byte c of colour pixel (x, y); 3 or 4 channels.
using SplitChannels8uFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* const dst[],
                                       int32_t dstStep, ROI roi);
// byte c of colour pixel (x, y) := channel c at (x, y); 3 or 4 channels.
using MergeChannels8uFn = KernelStatus(const uint8_t* const src[], int32_t srcStep, uint8_t* dst,
                                       int32_t dstStep, ROI roi);
// Byte i of each destination pixel := byte order[i] of the source pixel, for
// i = 0..2; the order need not be a permutation. The 4-byte form never writes
// byte 3 of the destination. src may be dst: each pixel is read whole before
// any of its bytes is written.
using PermuteChannels8uFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                         int32_t dstStep, ROI roi, const int32_t order[3]);
// Byte i of each destination pixel := byte order[i] of the source pixel, for
// all four bytes, i = 0..3, the entries 0..3 (-60 otherwise).
using PermuteChannels8uC4Fn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                           int32_t dstStep, ROI roi, const int32_t order[4]);

// Every path defines the same kernels in its own namespace.
#define KLEM_CHANNEL_KERNELS(path)                               \
  namespace path {                                               \
  SplitChannels8uFn SplitChannels8uC3, SplitChannels8uC4;        \
  MergeChannels8uFn MergeChannels8uC3, MergeChannels8uC4;        \
  PermuteChannels8uFn PermuteChannels8uC3, PermuteChannels8uAC4; \
  PermuteChannels8uC4Fn PermuteChannels8uC4;                     \
  }
KLEM_CHANNEL_KERNELS(generic)
KLEM_CHANNEL_KERNELS(ssse3)
KLEM_CHANNEL_KERNELS(sse41)
KLEM_CHANNEL_KERNELS(avx2)
#undef KLEM_CHANNEL_KERNELS

// AVX-512 has its own splits and merges; its permutes are those of AVX2.
namespace avx512 {
SplitChannels8uFn SplitChannels8uC3, SplitChannels8uC4;
MergeChannels8uFn MergeChannels8uC3, MergeChannels8uC4;
}  // namespace avx512

extern const KernelDispatchTable<SplitChannels8uFn> kSplitChannels8uC3, kSplitChannels8uC4;
extern const KernelDispatchTable<MergeChannels8uFn> kMergeChannels8uC3, kMergeChannels8uC4;
extern const KernelDispatchTable<PermuteChannels8uFn> kPermuteChannels8uC3, kPermuteChannels8uAC4;
extern const KernelDispatchTable<PermuteChannels8uC4Fn> kPermuteChannels8uC4;

}  // namespace klem::kernels
