// Exported functions of rotation, shear and perspective warp. Source handles
// are tested for null before the member runs; the coefficient array is
// checked here and copied, its count text going to the source's object.
#include <algorithm>

#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMemberWithSources;

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_Rotate(KLEM_HANDLE handle, KLEM_HANDLE source, double angle, int32_t mode) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& s) { return o.Rotate(s, angle, mode); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_RotateCenter(KLEM_HANDLE handle, KLEM_HANDLE source, double angle,
                                              int32_t xCentre, int32_t yCentre, int32_t mode) {
  return RunMemberWithSources<CPelora>(
      handle,
      [=](CPelora& o, CPelora& s) { return o.RotateCenter(s, angle, xCentre, yCentre, mode); },
      source);
}

KLEM_API uint32_t KLEM_CALL KLEM_Shear(KLEM_HANDLE handle, KLEM_HANDLE source, double xShear,
                                       double yShear, int32_t mode) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& s) { return o.Shear(s, xShear, yShear, mode); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_WarpPerspective(KLEM_HANDLE handle, KLEM_HANDLE source,
                                                 const double* coeffs, int32_t count, int32_t mode) {
  return RunMemberWithSources<CPelora>(
      handle,
      [=](CPelora& o, CPelora& s) {
        if (coeffs == nullptr || count != 9) {
          s.SetErrorText("coeffs must be an array of 9 double values!");
          return false;
        }
        double local[9];
        std::copy(coeffs, coeffs + 9, local);
        return o.WarpPerspective(s, local, mode);
      },
      source);
}

}  // extern "C"
