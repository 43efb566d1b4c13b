// Threshold kernels on bytes compared as unsigned, one threshold and value per
// byte position (the three-channel forms take arrays of three, roi in pixels):
//   greater       p > threshold ? value : p
//   less          p < threshold ? value : p
//   two-sided     p > upper ? upper value : p < lower ? lower value : p
// src may be dst (the operations work in place).
//
// Statuses, in this order: -8 for a null image pointer, -6 for an empty
// region, -14 for a row step below 1; then the three-channel forms -8 for a
// null threshold or value array, and the two-sided forms -18 for an upper
// threshold below the lower one (per byte position in turn).
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

enum ThresholdComparison : int32_t {
  kThresholdGreater = 0,
  kThresholdLess = 1,
};

using Threshold8uC1Fn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                     int32_t dstStep, ROI roi, uint8_t threshold, uint8_t value,
                                     ThresholdComparison comparison);
using Threshold8uC3Fn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                     int32_t dstStep, ROI roi, const uint8_t threshold[3],
                                     const uint8_t value[3], ThresholdComparison comparison);
using ThresholdLTValGTVal8uC1Fn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                               int32_t dstStep, ROI roi, uint8_t lowerThreshold,
                                               uint8_t lowerValue, uint8_t upperThreshold,
                                               uint8_t upperValue);
using ThresholdLTValGTVal8uC3Fn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                               int32_t dstStep, ROI roi,
                                               const uint8_t lowerThreshold[3],
                                               const uint8_t lowerValue[3],
                                               const uint8_t upperThreshold[3],
                                               const uint8_t upperValue[3]);

// Every path defines the same kernels in its own namespace.
#define KLEM_THRESHOLD_KERNELS(path)                                 \
  namespace path {                                                  \
  Threshold8uC1Fn Threshold8uC1;                                    \
  Threshold8uC3Fn Threshold8uC3;                                    \
  ThresholdLTValGTVal8uC1Fn ThresholdLTValGTVal8uC1;                \
  ThresholdLTValGTVal8uC3Fn ThresholdLTValGTVal8uC3;                \
  }
KLEM_THRESHOLD_KERNELS(generic)
KLEM_THRESHOLD_KERNELS(sse2)
KLEM_THRESHOLD_KERNELS(sse41)
KLEM_THRESHOLD_KERNELS(avx2)
KLEM_THRESHOLD_KERNELS(avx512)
#undef KLEM_THRESHOLD_KERNELS

extern const KernelDispatchTable<Threshold8uC1Fn> kThreshold8uC1;
extern const KernelDispatchTable<Threshold8uC3Fn> kThreshold8uC3;
extern const KernelDispatchTable<ThresholdLTValGTVal8uC1Fn> kThresholdLTValGTVal8uC1;
extern const KernelDispatchTable<ThresholdLTValGTVal8uC3Fn> kThresholdLTValGTVal8uC3;

}  // namespace klem::kernels
