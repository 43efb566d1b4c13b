// Exported functions of the arithmetic operations.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMember;
using klem::RunMemberWithSources;

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_Add(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& s) { return o.Add(s); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_AddConstant(KLEM_HANDLE handle, uint32_t constant) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.AddConstant(constant); });
}

KLEM_API uint32_t KLEM_CALL KLEM_Subtract(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& s) { return o.Subtract(s); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_SubtractConstant(KLEM_HANDLE handle, uint32_t constant) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.SubtractConstant(constant); });
}

KLEM_API uint32_t KLEM_CALL KLEM_Multiply(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& s) { return o.Multiply(s); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_MultiplyConstant(KLEM_HANDLE handle, uint32_t constant) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.MultiplyConstant(constant); });
}

KLEM_API uint32_t KLEM_CALL KLEM_Divide(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& s) { return o.Divide(s); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_DivideConstant(KLEM_HANDLE handle, uint32_t constant) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.DivideConstant(constant); });
}

KLEM_API uint32_t KLEM_CALL KLEM_Difference(KLEM_HANDLE handle, KLEM_HANDLE first, KLEM_HANDLE second) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& a, CPelora& b) { return o.Difference(a, b); }, first,
      second);
}

KLEM_API uint32_t KLEM_CALL KLEM_DifferenceConstant(KLEM_HANDLE handle, KLEM_HANDLE source,
                                                    uint32_t constant) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& s) { return o.DifferenceConstant(s, constant); }, source);
}

}  // extern "C"
