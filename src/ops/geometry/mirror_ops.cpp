// Mirroring of this image in place: its rows (top becomes bottom) or the
// pixels of every row (left becomes right).
#include "kernels/mirror.h"
#include "ops/operation_shapes.h"

namespace klem {

bool CPelora::Mirror(int32_t axis) {
  SetErrorText("");
  const kernels::KernelDispatchTable<kernels::MirrorInPlace8uFn>* mirror = nullptr;
  switch (GetBitsPerPixel()) {
    case 8: mirror = &kernels::kMirrorInPlace8uC1; break;
    case 24: mirror = &kernels::kMirrorInPlace8uC3; break;
    default: return FormatNotSupported();
  }
  return KernelResult("Can't mirror image!",
                      (*mirror)(GetImageMemory(), GetWidthBytes(), ops::PixelsOf(*this), axis));
}

}  // namespace klem
