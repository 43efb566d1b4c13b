// Exported functions of the gray and black-and-white conversions. The source
// handle is tested for null before the member runs.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMemberWithSources;

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_Grayscale(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& s) { return o.Grayscale(s); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_Grayscale8Bit(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& s) { return o.Grayscale8Bit(s); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_ConvertTo1Bit(KLEM_HANDLE handle, KLEM_HANDLE source, uint32_t threshold) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& s) { return o.ConvertTo1Bit(s, threshold); }, source);
}

}  // extern "C"
