// Exported functions of the bounding-box and coefficient queries of rotation,
// shear and perspective warp. Arrays cross the interface as a pointer and a
// count; each is checked and copied into a local array of its exact size,
// and a wrong count (a null pointer counts as one) is told on the source's
// object.
#include <algorithm>
#include <array>
#include <cstddef>

#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMemberWithSources;

namespace {

constexpr const char* kQuadCountText = "quad must be an array of 8 double values!";
constexpr const char* kCoeffsCountText = "coeffs must be an array of 9 double values!";

template <std::size_t kCount>
bool CopyIn(const double* values, int32_t count, std::array<double, kCount>& local) {
  if (values == nullptr || count != static_cast<int32_t>(kCount)) return false;
  std::copy_n(values, kCount, local.begin());
  return true;
}

}  // namespace

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_RotateBox(KLEM_HANDLE handle, KLEM_HANDLE source, double angle, double* x0,
                                           double* y0, double* x1, double* y1) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& s) { return o.RotateBox(s, angle, x0, y0, x1, y1); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_ShearBox(KLEM_HANDLE handle, KLEM_HANDLE source, double xShear, double yShear,
                                          double* x0, double* y0, double* x1, double* y1) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& s) { return o.ShearBox(s, xShear, yShear, x0, y0, x1, y1); },
      source);
}

KLEM_API uint32_t KLEM_CALL KLEM_WarpPerspectiveCoefficients(KLEM_HANDLE handle, KLEM_HANDLE source,
                                                             const double* quad, int32_t quadCount,
                                                             double* coeffs, int32_t coeffsCount) {
  return RunMemberWithSources<CPelora>(
      handle,
      [=](CPelora& o, CPelora& s) {
        std::array<double, 8> localQuad{};
        std::array<double, 9> localCoeffs{};
        if (!CopyIn(quad, quadCount, localQuad)) return s.Fail(kQuadCountText);
        if (coeffs == nullptr || coeffsCount != 9) return s.Fail(kCoeffsCountText);
        if (!o.WarpPerspectiveCoefficients(s, localQuad.data(), localCoeffs.data())) return false;
        std::copy(localCoeffs.begin(), localCoeffs.end(), coeffs);
        return true;
      },
      source);
}

KLEM_API uint32_t KLEM_CALL KLEM_WarpPerspectiveBox(KLEM_HANDLE handle, KLEM_HANDLE source, const double* coeffs,
                                                    int32_t coeffsCount, double* x0, double* y0, double* x1,
                                                    double* y1) {
  return RunMemberWithSources<CPelora>(
      handle,
      [=](CPelora& o, CPelora& s) {
        std::array<double, 9> localCoeffs{};
        if (!CopyIn(coeffs, coeffsCount, localCoeffs)) return s.Fail(kCoeffsCountText);
        return o.WarpPerspectiveBox(s, localCoeffs.data(), x0, y0, x1, y1);
      },
      source);
}

}  // extern "C"
