// Exported functions of the mirror operations.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "kernels/mirror.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMember;

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_MirrorHorizontal(KLEM_HANDLE handle) {
  return RunMember<CPelora>(handle, [](CPelora& o) { return o.Mirror(klem::kernels::kMirrorColumns); });
}

KLEM_API uint32_t KLEM_CALL KLEM_MirrorVertical(KLEM_HANDLE handle) {
  return RunMember<CPelora>(handle, [](CPelora& o) { return o.Mirror(klem::kernels::kMirrorRows); });
}

}  // extern "C"
