// The user-defined filter and the two operations built on it: antialias (a
// fixed 3x3 kernel) and scale-to-gray (bits expanded to bytes, antialiased
// and, by default, masked so that black stays black).
#include <algorithm>

#include "kernels/convolve.h"
#include "ops/neighbourhood/filter_frame.h"
#include "ops/operation_shapes.h"

namespace klem {

using namespace kernels;

namespace {

// The region starts where the farthest tap to the left and above still lies
// inside the image: the kernel is turned about its anchor, so a window
// reaches width - 1 - column pixels to the left and column to the right of
// its sample. For a centred anchor these are the centred margins.
ops::FilterMargins ConvolutionMargins(int32_t width, int32_t height, Anchor anchor) {
  return {int64_t{width} - 1 - anchor.column, int64_t{height} - 1 - anchor.row, anchor.column, anchor.row};
}

constexpr int32_t kAntialiasKernel[9] = {1, 2, 1, 2, 8, 2, 1, 2, 1};
constexpr int32_t kAntialiasDivisor = 20;

}  // namespace

bool CPelora::FilterUserDefined(const CPelora& src, const int32_t* kernel, int32_t width, int32_t height,
                                int32_t anchorColumn, int32_t anchorRow, int32_t divisor) {
  SetErrorText("");
  if (anchorColumn < 0 || anchorColumn >= width || anchorRow < 0 || anchorRow >= height) {
    return Fail("Invalid filter kernel origin!");
  }
  if (!CheckSameSizeAndFormat(src)) return false;
  if (!CheckMinSize(std::max(width, height))) return false;
  const Anchor anchor{anchorColumn, anchorRow};
  const ops::FilterMargins margins = ConvolutionMargins(width, height, anchor);
  if (!ops::CopyFilterMargins(*this, src, margins)) return false;
  const int32_t channels = ops::Channels8u(*this);
  if (channels == 0) return FormatNotSupported();
  const KernelDispatchTable<Convolve8uFn>& convolve = channels == 1 ? kConvolve8uC1 : kConvolve8uC3;
  const auto run = [&](const uint8_t* s, int32_t sStep, uint8_t* d, int32_t dStep, ROI roi) {
    return convolve(s, sStep, d, dStep, roi, kernel, ROI{width, height}, anchor, divisor);
  };
  return KernelResult("Can't apply user defined filter!", ops::RunFilterKernel(*this, src, margins, run));
}

bool CPelora::Antialias(const CPelora& src) {
  return FilterUserDefined(src, kAntialiasKernel, 3, 3, 1, 1, kAntialiasDivisor);
}

// The temporary image lives on this frame, so every return releases it.
bool CPelora::ScaleToGray(CPelora& src, int32_t mode) {
  if (!src.CheckDest1Bit()) return false;
  if (!CheckSameSize(src)) return false;
  if (!CheckDest8Bit()) return false;
  CPelora expanded;
  const auto failWithTextOf = [&](const CPelora& from) { return Fail(from.GetErrorText()); };
  if (!expanded.Create(src.GetWidth(), src.GetHeight(), 8)) return failWithTextOf(expanded);
  if (!expanded.Grayscale8Bit(src)) return failWithTextOf(expanded);
  if (!Antialias(expanded)) return false;
  return mode != 0 || And(expanded);
}

}  // namespace klem
