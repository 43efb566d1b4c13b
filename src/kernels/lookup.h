// Look-up kernels: a curve given by level points (input levels, output values)
// becomes a 256-entry byte table, with no, linear or cubic interpolation
// between the points, and every byte of the region is mapped through it; the
// three-channel forms build one table per byte position of a 3-byte pixel.
// The gamma kernels map the bytes of 3-byte pixels in place through one of
// two constant curves.
//
// Statuses of the one-channel look-up kernels, in this order: -8 for a null
// image, values or levels pointer, -6 for an empty region, -14 for a row step
// below 1, -106 for a count below 2. The three-channel forms check the images
// and the three arrays (-8), then per byte position its values and levels
// (-8) and its count (-106), then the region (-6) and the steps (-14). Gamma:
// -8, -6, -14.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

enum LookupMode : int32_t {
  LookupModeStep = 0,
  LookupModeLinear = 1,
  LookupModeCubic = 2,
};

// dst := T[src] for every byte, T built from count points (levels[k], values[k]).
using Lookup8uC1Fn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                  int32_t dstStep, ROI roi, const int32_t* values,
                                  const int32_t* levels, int32_t count);
// Byte c of every pixel through the table of curve c (c = 0..2); roi in pixels.
using Lookup8uC3Fn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                  int32_t dstStep, ROI roi, const int32_t* const values[3],
                                  const int32_t* const levels[3], const int32_t count[3]);
// Every byte of the 3 * width bytes of each row through a constant curve.
using Gamma8uFn = KernelStatus(uint8_t* srcDst, int32_t srcDstStep, ROI roi);

// The table of one curve (count at least 2; mode 0, 1 or 2). Shared by every
// path, so the tables cannot differ between them; the cubic mode needs at
// least 4 points and builds the linear table for fewer.
void BuildLookupTable(LookupMode mode, const int32_t* values, const int32_t* levels, int32_t count,
                      uint8_t table[256]);

// The constant gamma curves (entry v is the output for input v).
const uint8_t* GammaForwardTable();
const uint8_t* GammaInverseTable();

// Every path defines the same kernels in its own namespace.
#define KLEM_LOOKUP_KERNELS(path)                                               \
  namespace path {                                                             \
  Lookup8uC1Fn LookupTable8uC1, LookupTableLinear8uC1, LookupTableCubic8uC1;   \
  Lookup8uC3Fn LookupTable8uC3, LookupTableLinear8uC3, LookupTableCubic8uC3;   \
  Gamma8uFn GammaForward8u, GammaInverse8u;                                    \
  }
KLEM_LOOKUP_KERNELS(generic)
#undef KLEM_LOOKUP_KERNELS

extern const KernelDispatchTable<Lookup8uC1Fn> kLookupTable8uC1, kLookupTableLinear8uC1,
    kLookupTableCubic8uC1;
extern const KernelDispatchTable<Lookup8uC3Fn> kLookupTable8uC3, kLookupTableLinear8uC3,
    kLookupTableCubic8uC3;
extern const KernelDispatchTable<Gamma8uFn> kGammaForward8u, kGammaInverse8u;

}  // namespace klem::kernels
