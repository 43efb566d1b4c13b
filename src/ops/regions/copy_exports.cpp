// Exported functions of the fill, copy, crop and bordered copy operations.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMember;
using klem::RunMemberWithSources;

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_Fill(KLEM_HANDLE handle, uint32_t value) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.Fill(value); });
}

KLEM_API uint32_t KLEM_CALL KLEM_Copy(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& s) { return o.Copy(s); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_CopyWithMask(KLEM_HANDLE handle, KLEM_HANDLE source, KLEM_HANDLE mask) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& s, CPelora& m) { return o.CopyWithMask(s, m); }, source, mask);
}

KLEM_API uint32_t KLEM_CALL KLEM_Crop(KLEM_HANDLE handle, KLEM_HANDLE source, int32_t left, int32_t top,
                                      int32_t right, int32_t bottom) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& s) { return o.Crop(s, left, top, right, bottom); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_CropTo(KLEM_HANDLE handle, KLEM_HANDLE source, int32_t left, int32_t top,
                                        int32_t right, int32_t bottom, int32_t column, int32_t row) {
  return RunMemberWithSources<CPelora>(
      handle,
      [=](CPelora& o, CPelora& s) { return o.CropTo(s, left, top, right, bottom, column, row); },
      source);
}

KLEM_API uint32_t KLEM_CALL KLEM_CopyWithConstBorder(KLEM_HANDLE handle, KLEM_HANDLE source, int32_t left,
                                                     int32_t top, uint32_t value) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& s) { return o.CopyWithConstBorder(s, left, top, value); },
      source);
}

KLEM_API uint32_t KLEM_CALL KLEM_CopyWithReplicateBorder(KLEM_HANDLE handle, KLEM_HANDLE source, int32_t left,
                                                         int32_t top) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& s) { return o.CopyWithReplicateBorder(s, left, top); },
      source);
}

}  // extern "C"
