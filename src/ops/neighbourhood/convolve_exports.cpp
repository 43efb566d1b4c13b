// Exported functions of the user-defined filter, antialias and scale-to-gray.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMemberWithSources;

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_FilterUserDefined(KLEM_HANDLE handle, KLEM_HANDLE source, const int32_t* kernel,
                                                   int32_t kernelWidth, int32_t kernelHeight, int32_t anchorColumn,
                                                   int32_t anchorRow, int32_t divisor) {
  return RunMemberWithSources<CPelora>(
      handle,
      [=](CPelora& o, CPelora& s) {
        return o.FilterUserDefined(s, kernel, kernelWidth, kernelHeight, anchorColumn, anchorRow, divisor);
      },
      source);
}

KLEM_API uint32_t KLEM_CALL KLEM_Antialias(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(handle, [](CPelora& o, CPelora& s) { return o.Antialias(s); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_ScaleToGray(KLEM_HANDLE handle, KLEM_HANDLE source, int32_t mode) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& s) { return o.ScaleToGray(s, mode); }, source);
}

}  // extern "C"
