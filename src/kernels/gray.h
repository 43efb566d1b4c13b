// Kernels that move between 24-bit colour, 8-bit gray and packed 1-bit
// images: colour to gray, bits to bytes, bytes to bits by error diffusion,
// and a plain copy of bits. Scale-to-gray, resizing and rotation of
// black-and-white images reuse them.
//
// Regions are in pixels. A 1-bit row holds 8 pixels a byte, the leftmost in
// bit 7; a bit offset counts bits from bit 7 of a row's first byte, so offset
// 9 is bit 6 of the second byte. Positions are 64-bit: rows may exceed 2^31
// bytes.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

// dst := (1225 * b0 + 2404 * b1 + 467 * b2) >> 12 for the bytes b0, b1, b2 of
// every source pixel (three source bytes, one destination byte a pixel).
// Statuses: -8 null pointer, -6 empty region.
using ConvertRGBToGray8uFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                          int32_t dstStep, ROI roi);

// dst := 255 for a set source bit, 0 for a clear one; source bits are read
// from srcBitOffset on. Statuses: -8 null pointer, -6 empty region, -14 a row
// step below 1, -6 a negative bit offset.
using ExpandBitsToBytes1u8uFn = KernelStatus(const uint8_t* src, int32_t srcStep,
                                             int32_t srcBitOffset, uint8_t* dst, int32_t dstStep,
                                             ROI roi);

// Bits from 8-bit samples with threshold t by error diffusion along each row
// (see gray.cpp), written from dstBitOffset on; bits outside the region, in
// the first and last byte of a row too, keep their values. Statuses: -8 null
// pointer, -6 empty region or negative bit offset.
using DitherToBits8u1uFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                        int32_t dstStep, int32_t dstBitOffset, ROI roi,
                                        uint8_t threshold);

// dst := src for the region's bits, both starting at bit 7 of their rows;
// the bits past the region in a row's last byte keep their values. src may
// be dst. Statuses: -8 null pointer, -6 empty region, -14 a row step below 1.
using CopyBits1uFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                  int32_t dstStep, ROI roi);

namespace generic {
ConvertRGBToGray8uFn ConvertRGBToGray8u;
ExpandBitsToBytes1u8uFn ExpandBitsToBytes1u8u;
DitherToBits8u1uFn DitherToBits8u1u;
CopyBits1uFn CopyBits1u;
}  // namespace generic

#define KLEM_GRAY_VECTOR_KERNELS(path)             \
  namespace path {                                 \
  ConvertRGBToGray8uFn ConvertRGBToGray8u;         \
  ExpandBitsToBytes1u8uFn ExpandBitsToBytes1u8u;   \
  }
KLEM_GRAY_VECTOR_KERNELS(ssse3)
KLEM_GRAY_VECTOR_KERNELS(avx2)
#undef KLEM_GRAY_VECTOR_KERNELS
namespace avx512 {
ConvertRGBToGray8uFn ConvertRGBToGray8u;
}  // namespace avx512

extern const KernelDispatchTable<ConvertRGBToGray8uFn> kConvertRGBToGray8u;
extern const KernelDispatchTable<ExpandBitsToBytes1u8uFn> kExpandBitsToBytes1u8u;
extern const KernelDispatchTable<DitherToBits8u1uFn> kDitherToBits8u1u;
extern const KernelDispatchTable<CopyBits1uFn> kCopyBits1u;

}  // namespace klem::kernels
