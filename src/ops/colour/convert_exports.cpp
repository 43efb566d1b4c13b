// Exported functions of the colour conversions and red/blue swaps.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMember;
using klem::RunMemberWithSources;

namespace {

// The six conversions share one shape: handle := conversion of source.
template <bool (CPelora::*kMember)(const CPelora&)>
uint32_t ConvertFrom(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(
      handle, [](CPelora& o, CPelora& s) { return (o.*kMember)(s); }, source);
}

}  // namespace

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_RGBtoCMY(KLEM_HANDLE handle) {
  return RunMember<CPelora>(handle, [](CPelora& o) { return o.RGBtoCMY(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_CMYtoRGB(KLEM_HANDLE handle) {
  return RunMember<CPelora>(handle, [](CPelora& o) { return o.CMYtoRGB(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_RGBtoYUV(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return ConvertFrom<&CPelora::RGBtoYUV>(handle, source);
}
KLEM_API uint32_t KLEM_CALL KLEM_YUVtoRGB(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return ConvertFrom<&CPelora::YUVtoRGB>(handle, source);
}
KLEM_API uint32_t KLEM_CALL KLEM_RGBtoXYZ(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return ConvertFrom<&CPelora::RGBtoXYZ>(handle, source);
}
KLEM_API uint32_t KLEM_CALL KLEM_XYZtoRGB(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return ConvertFrom<&CPelora::XYZtoRGB>(handle, source);
}
KLEM_API uint32_t KLEM_CALL KLEM_RGBtoYCC(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return ConvertFrom<&CPelora::RGBtoYCC>(handle, source);
}
KLEM_API uint32_t KLEM_CALL KLEM_YCCtoRGB(KLEM_HANDLE handle, KLEM_HANDLE source) {
  return ConvertFrom<&CPelora::YCCtoRGB>(handle, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_RGBtoBGR(KLEM_HANDLE handle, const uint8_t* source, int32_t sourceStep,
                                          uint8_t* dest, int32_t destStep, int32_t width, int32_t height,
                                          int32_t flip) {
  return RunMember<CPelora>(handle, [=](CPelora& o) {
    return o.RGBtoBGR(source, sourceStep, dest, destStep, width, height, flip);
  });
}

KLEM_API uint32_t KLEM_CALL KLEM_RGBAtoBGRA(KLEM_HANDLE handle, const uint8_t* source, int32_t sourceStep,
                                            uint8_t* dest, int32_t destStep, int32_t width, int32_t height,
                                            int32_t flip) {
  return RunMember<CPelora>(handle, [=](CPelora& o) {
    return o.RGBAtoBGRA(source, sourceStep, dest, destStep, width, height, flip);
  });
}

}  // extern "C"
