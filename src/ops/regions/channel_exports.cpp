// Exported functions of the channel split, combine and swap operations. Every
// channel and source handle is tested for null before the member runs.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::RunMemberWithSources;

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_SplitChannels(KLEM_HANDLE handle, KLEM_HANDLE channel0, KLEM_HANDLE channel1,
                                               KLEM_HANDLE channel2) {
  return RunMemberWithSources<CPelora>(
      handle,
      [](CPelora& o, CPelora& k0, CPelora& k1, CPelora& k2) { return o.SplitChannels(k0, k1, k2); },
      channel0, channel1, channel2);
}

KLEM_API uint32_t KLEM_CALL KLEM_FromChannels(KLEM_HANDLE handle, KLEM_HANDLE channel0, KLEM_HANDLE channel1,
                                              KLEM_HANDLE channel2) {
  return RunMemberWithSources<CPelora>(
      handle,
      [](CPelora& o, CPelora& k0, CPelora& k1, CPelora& k2) { return o.FromChannels(k0, k1, k2); },
      channel0, channel1, channel2);
}

KLEM_API uint32_t KLEM_CALL KLEM_SplitChannelsRGBA(KLEM_HANDLE handle, KLEM_HANDLE channel0,
                                                   KLEM_HANDLE channel1, KLEM_HANDLE channel2,
                                                   KLEM_HANDLE channel3) {
  return RunMemberWithSources<CPelora>(
      handle,
      [](CPelora& o, CPelora& k0, CPelora& k1, CPelora& k2, CPelora& k3) {
        return o.SplitChannelsRGBA(k0, k1, k2, k3);
      },
      channel0, channel1, channel2, channel3);
}

KLEM_API uint32_t KLEM_CALL KLEM_FromChannelsRGBA(KLEM_HANDLE handle, KLEM_HANDLE channel0,
                                                  KLEM_HANDLE channel1, KLEM_HANDLE channel2,
                                                  KLEM_HANDLE channel3) {
  return RunMemberWithSources<CPelora>(
      handle,
      [](CPelora& o, CPelora& k0, CPelora& k1, CPelora& k2, CPelora& k3) {
        return o.FromChannelsRGBA(k0, k1, k2, k3);
      },
      channel0, channel1, channel2, channel3);
}

KLEM_API uint32_t KLEM_CALL KLEM_SwapChannels(KLEM_HANDLE handle, KLEM_HANDLE source, const int32_t* order,
                                              int32_t count) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& s) { return o.SwapChannels(s, order, count); }, source);
}

}  // extern "C"
