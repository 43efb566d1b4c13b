// The contract every kernel shares: region, status word and the status codes
// that the kernels of this library return.
#pragma once

#include <cstdint>

namespace klem::kernels {

// Width and height in pixels of the rectangle a kernel works on.
struct ROI {
  int32_t width;
  int32_t height;
};

// 0 success, negative error (nothing or not everything was done),
// positive warning (the result was produced but met a special case).
using KernelStatus = int32_t;

enum StatusCode : KernelStatus {
  kStsWrongIntersectQuad = 30,
  kStsWrongIntersectROI = 29,
  kStsUnknownCacheSize = 37,
  kStsCpuNotSupported = 36,
  kStsDivByZero = 6,
  kStsNoOperation = 1,
  kStsNoErr = 0,
  kStsNoMemErr = -4,
  kStsBadArgErr = -5,
  kStsSizeErr = -6,
  kStsNullPtrErr = -8,
  kStsMemAllocErr = -9,
  kStsDivByZeroErr = -10,
  kStsOutOfRangeErr = -11,
  kStsStepErr = -14,
  kStsThresholdErr = -18,
  kStsMirrorFlipErr = -21,
  kStsInterpolationErr = -22,
  kStsResizeFactorErr = -23,
  kStsMaskSizeErr = -33,
  kStsAnchorErr = -34,
  kStsStrideErr = -37,
  kStsAlphaTypeErr = -50,
  kStsDivisorErr = -51,
  kStsCoeffErr = -56,
  kStsRectErr = -57,
  kStsQuadErr = -58,
  kStsZeroMaskValuesErr = -59,
  kStsChannelOrderErr = -60,
  kStsLUTNofLevelsErr = -106,
  kStsStrideMatrixErr = -182,
  kStsResizeNoOperationErr = -201,
  kStsCountMatrixErr = -203,
  kStsSizeMatchMatrixErr = -204,
  kStsUnknownStatusCodeErr = -216,
  kStsNotSupportedModeErr = -9999,
};

// The constant text of a status code ("name: description"); a code that is
// not in the table gives the text of kStsUnknownStatusCodeErr.
const char* StatusToText(KernelStatus status);

// Number of (code, text) pairs in the table behind StatusToText.
int StatusTableSize();

}  // namespace klem::kernels
