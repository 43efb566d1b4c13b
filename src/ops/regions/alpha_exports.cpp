// Exported functions of the alpha operations.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMember;
using klem::RunMemberWithSources;

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_AlphaPremultiply(KLEM_HANDLE handle) {
  return RunMember<CPelora>(handle, [](CPelora& o) { return o.AlphaPremultiply(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_AlphaPremultiplyWithConstant(KLEM_HANDLE handle, uint32_t alpha) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.AlphaPremultiplyWithConstant(alpha); });
}

KLEM_API uint32_t KLEM_CALL KLEM_AlphaOverlay(KLEM_HANDLE handle, KLEM_HANDLE sourceA, KLEM_HANDLE sourceB,
                                              int32_t type) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& a, CPelora& b) { return o.AlphaOverlay(a, b, type); }, sourceA,
      sourceB);
}

KLEM_API uint32_t KLEM_CALL KLEM_AlphaOverlayWithConstant(KLEM_HANDLE handle, KLEM_HANDLE sourceA,
                                                          uint32_t alphaA, KLEM_HANDLE sourceB,
                                                          uint32_t alphaB, int32_t type) {
  return RunMemberWithSources<CPelora>(
      handle,
      [=](CPelora& o, CPelora& a, CPelora& b) {
        return o.AlphaOverlayWithConstant(a, alphaA, b, alphaB, type);
      },
      sourceA, sourceB);
}

KLEM_API uint32_t KLEM_CALL KLEM_ApplyAlphaChannelConstant(KLEM_HANDLE handle, uint32_t alpha) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.ApplyAlphaChannelConstant(alpha); });
}

KLEM_API uint32_t KLEM_CALL KLEM_ApplyAlphaChannel(KLEM_HANDLE handle, KLEM_HANDLE alpha) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& a) { return o.ApplyAlphaChannel(a); }, alpha);
}

}  // extern "C"
