#include "ops/neighbourhood/filter_frame.h"

#include <cstring>
#include <new>

namespace klem::ops {

// The margins of an operation are smaller than the image it has checked.
bool CopyFilterMargins(CPelora& dst, const CPelora& src, FilterMargins margins) {
  const int32_t left = static_cast<int32_t>(margins.left), top = static_cast<int32_t>(margins.top);
  const int32_t right = dst.GetWidth() - static_cast<int32_t>(margins.right);
  const int32_t bottom = dst.GetHeight() - static_cast<int32_t>(margins.bottom);
  const int32_t lastColumn = dst.GetWidth() - 1, lastRow = dst.GetHeight() - 1;
  if (top > 0 && !dst.CopyRectTo(src, 0, 0, lastColumn, top - 1, 0, 0)) return false;
  if (bottom <= lastRow && !dst.CopyRectTo(src, 0, bottom, lastColumn, lastRow, 0, bottom)) return false;
  if (left > 0 && !dst.CopyRectTo(src, 0, 0, left - 1, lastRow, 0, 0)) return false;
  return right > lastColumn || dst.CopyRectTo(src, right, 0, lastColumn, lastRow, right, 0);
}

SourceCopy::SourceCopy(const CPelora& image)
    : bytes_(new (std::nothrow) uint8_t[image.GetImageSizeInBytes()]) {
  if (bytes_ != nullptr) std::memcpy(bytes_, image.GetImageMemory(), image.GetImageSizeInBytes());
}

}  // namespace klem::ops
