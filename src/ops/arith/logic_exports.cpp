// Exported functions of the bitwise, invert and scaling operations.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMember;
using klem::RunMemberWithSources;

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_And(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& s) { return o.And(s); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_AndConstant(KLEM_HANDLE handle, uint32_t constant) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.AndConstant(constant); });
}

KLEM_API uint32_t KLEM_CALL KLEM_Or(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& s) { return o.Or(s); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_OrConstant(KLEM_HANDLE handle, uint32_t constant) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.OrConstant(constant); });
}

KLEM_API uint32_t KLEM_CALL KLEM_Xor(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& s) { return o.Xor(s); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_XorConstant(KLEM_HANDLE handle, uint32_t constant) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.XorConstant(constant); });
}

KLEM_API uint32_t KLEM_CALL KLEM_Invert(KLEM_HANDLE handle) {
  return RunMember<CPelora>(handle, [](CPelora& o) { return o.Invert(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_Scale(KLEM_HANDLE handle, uint32_t count1, uint32_t count2, uint32_t count3,
                                       uint32_t direction) {
  return RunMember<CPelora>(handle,
                            [=](CPelora& o) { return o.Scale(count1, count2, count3, direction); });
}

KLEM_API uint32_t KLEM_CALL KLEM_HDRScaleDown(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& s) { return o.HDRScaleDown(s); }, source);
}

}  // extern "C"
