// In-place mirror kernels of 8-bit images. Axis 0 exchanges rows r and
// height - 1 - r; axis 1 exchanges pixels c and width - 1 - c of every row, a
// pixel being one byte (C1) or three bytes moved as one unit with their order
// kept (C3). A middle row or column of an odd size stays where it is.
//
// Statuses, in this order: -8 a null pointer, -6 an empty region, -21 an axis
// other than 0 or 1, -6 fewer than two columns for axis 1 or fewer than two
// rows for axis 0.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

enum MirrorAxis : int32_t {
  kMirrorRows = 0,     // top becomes bottom
  kMirrorColumns = 1,  // left becomes right
};

using MirrorInPlace8uFn = KernelStatus(uint8_t* srcDst, int32_t step, ROI roi, int32_t axis);

// Every path defines the same kernels in its own namespace.
#define KLEM_MIRROR_KERNELS(path)      \
  namespace path {                     \
  MirrorInPlace8uFn MirrorInPlace8uC1; \
  MirrorInPlace8uFn MirrorInPlace8uC3; \
  }
KLEM_MIRROR_KERNELS(generic)
KLEM_MIRROR_KERNELS(ssse3)
KLEM_MIRROR_KERNELS(avx2)
#undef KLEM_MIRROR_KERNELS
namespace avx512 {
MirrorInPlace8uFn MirrorInPlace8uC3;
}  // namespace avx512

extern const KernelDispatchTable<MirrorInPlace8uFn> kMirrorInPlace8uC1;
extern const KernelDispatchTable<MirrorInPlace8uFn> kMirrorInPlace8uC3;

}  // namespace klem::kernels
