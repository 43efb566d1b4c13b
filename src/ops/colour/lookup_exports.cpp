// Exported functions of the gamma, look-up and threshold operations. Source
// handles are tested for null before the member runs.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMember;
using klem::RunMemberWithSources;

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_GammaCorrection(KLEM_HANDLE handle, int32_t inverse) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.GammaCorrection(inverse); });
}

KLEM_API uint32_t KLEM_CALL KLEM_LookUpTable8Bit(KLEM_HANDLE handle, KLEM_HANDLE source,
                                                 const int32_t* values, const int32_t* levels,
                                                 int32_t count, int32_t mode) {
  return RunMemberWithSources<CPelora>(
      handle,
      [=](CPelora& o, CPelora& s) { return o.LookUpTable8Bit(s, values, levels, count, mode); },
      source);
}

KLEM_API uint32_t KLEM_CALL KLEM_LookUpTable(KLEM_HANDLE handle, KLEM_HANDLE source,
                                             const int32_t* levels0, const int32_t* values0, int32_t count0,
                                             const int32_t* levels1, const int32_t* values1, int32_t count1,
                                             const int32_t* levels2, const int32_t* values2, int32_t count2,
                                             int32_t mode) {
  return RunMemberWithSources<CPelora>(
      handle,
      [=](CPelora& o, CPelora& s) {
        return o.LookUpTable(s, levels0, values0, count0, levels1, values1, count1, levels2,
                             values2, count2, mode);
      },
      source);
}

KLEM_API uint32_t KLEM_CALL KLEM_ThresholdGT(KLEM_HANDLE handle, int32_t threshold) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.ThresholdGT(threshold); });
}

KLEM_API uint32_t KLEM_CALL KLEM_ThresholdLT(KLEM_HANDLE handle, int32_t threshold) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.ThresholdLT(threshold); });
}

KLEM_API uint32_t KLEM_CALL KLEM_ThresholdGTVal(KLEM_HANDLE handle, int32_t threshold, int32_t value) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.ThresholdGTVal(threshold, value); });
}

KLEM_API uint32_t KLEM_CALL KLEM_ThresholdLTVal(KLEM_HANDLE handle, int32_t threshold, int32_t value) {
  return RunMember<CPelora>(handle, [=](CPelora& o) { return o.ThresholdLTVal(threshold, value); });
}

KLEM_API uint32_t KLEM_CALL KLEM_ThresholdLTValGTVal(KLEM_HANDLE handle, int32_t lowerThreshold,
                                                     int32_t lowerValue, int32_t upperThreshold,
                                                     int32_t upperValue) {
  return RunMember<CPelora>(handle, [=](CPelora& o) {
    return o.ThresholdLTValGTVal(lowerThreshold, lowerValue, upperThreshold, upperValue);
  });
}

}  // extern "C"
