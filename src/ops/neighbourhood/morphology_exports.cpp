// Exported functions of erosion and dilation. The mask is the caller's bytes,
// not a handle: a null mask reaches the kernel, which refuses it.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMember;

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_Erode(KLEM_HANDLE handle) {
  return RunMember<CPelora>(handle, [](CPelora& o) { return o.Erode(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_Dilate(KLEM_HANDLE handle) {
  return RunMember<CPelora>(handle, [](CPelora& o) { return o.Dilate(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_ErodeEx(KLEM_HANDLE handle, const uint8_t* mask, int32_t maskWidth,
                                         int32_t maskHeight) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.ErodeEx(mask, maskWidth, maskHeight); });
}

KLEM_API uint32_t KLEM_CALL KLEM_DilateEx(KLEM_HANDLE handle, const uint8_t* mask, int32_t maskWidth,
                                          int32_t maskHeight) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.DilateEx(mask, maskWidth, maskHeight); });
}

}  // extern "C"
