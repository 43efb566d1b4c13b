// What the filter operations share: the margins a window leaves uncomputed,
// the region inside them, the copy of the margins from the source, and the
// kernel call that reads a copy of the source when it is the destination.
#pragma once

#include <cstdint>

#include "frame/pelora.h"
#include "kernels/kernel_types.h"

namespace klem::ops {

// Columns and rows at each side of the image that a window cannot compute;
// wide, since the region functions take any window sizes the host passes.
struct FilterMargins {
  int64_t left, top, right, bottom;
};

// A window centred on its sample: w / 2 columns and h / 2 rows at every side.
inline FilterMargins CentredMargins(int32_t windowWidth, int32_t windowHeight) {
  return {windowWidth / 2, windowHeight / 2, windowWidth / 2, windowHeight / 2};
}

inline kernels::ROI RegionInside(const CKorImgBase& image, FilterMargins m) {
  return {static_cast<int32_t>(image.GetWidth() - m.left - m.right),
          static_cast<int32_t>(image.GetHeight() - m.top - m.bottom)};
}

// Bytes from the start of the image to the region's first sample.
inline int64_t RegionOffset(const CKorImgBase& image, FilterMargins m) {
  return image.GetWidthBytes() * m.top + image.GetBytesPerPixel() * m.left;
}

// dst's margins := src's pixels at the same positions: the top rows, the
// bottom rows (full width), then the left and right columns (full height),
// each side only when it has any. Fails with the rectangle copy's text.
bool CopyFilterMargins(CPelora& dst, const CPelora& src, FilterMargins margins);

// Calls kernel(srcRegion, srcStep, dstRegion, dstStep, region) on the region
// inside the margins. When src is dst the kernel reads a copy of the image,
// so the result is that of a call from another image; without memory for it
// the call fails with the allocation status and writes nothing.
template <typename Kernel>
kernels::KernelStatus RunFilterKernel(CPelora& dst, const CPelora& src, FilterMargins margins,
                                      Kernel kernel);

// The copy of an image that a filter reads in place of its own destination.
class SourceCopy {
 public:
  explicit SourceCopy(const CPelora& image);
  ~SourceCopy() { delete[] bytes_; }
  SourceCopy(const SourceCopy&) = delete;
  SourceCopy& operator=(const SourceCopy&) = delete;
  const uint8_t* data() const { return bytes_; }

 private:
  uint8_t* bytes_;
};

template <typename Kernel>
kernels::KernelStatus RunFilterKernel(CPelora& dst, const CPelora& src, FilterMargins margins,
                                      Kernel kernel) {
  const kernels::ROI region = RegionInside(dst, margins);
  const int64_t offset = RegionOffset(dst, margins);
  uint8_t* to = dst.GetImageMemory() + offset;
  if (&src != &dst) {
    return kernel(src.GetImageMemory() + offset, src.GetWidthBytes(), to, dst.GetWidthBytes(), region);
  }
  const SourceCopy copy(src);
  if (copy.data() == nullptr) return kernels::kStsMemAllocErr;
  return kernel(copy.data() + offset, src.GetWidthBytes(), to, dst.GetWidthBytes(), region);
}

}  // namespace klem::ops
