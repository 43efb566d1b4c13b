// Exported function of the flood fill.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMember;

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_FloodFill(KLEM_HANDLE handle, int32_t x, int32_t y, int32_t newValue,
                                           int32_t lowerTolerance, int32_t upperTolerance,
                                           int32_t connectivity) {
  return RunMember<CPelora>(handle, [=](CPelora& o) {
    return o.FloodFill(x, y, newValue, lowerTolerance, upperTolerance, connectivity);
  });
}

}  // extern "C"
