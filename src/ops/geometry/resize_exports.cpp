// Exported function of the resize. The source handle is tested for null
// before the member runs.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMemberWithSources;

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_Resize(KLEM_HANDLE handle, KLEM_HANDLE source, int32_t width, int32_t height,
                                        int32_t mode) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& s) { return o.Resize(s, width, height, mode); }, source);
}

}  // extern "C"
