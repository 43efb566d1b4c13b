// Splitting a colour image into one 8-bit image per byte position, combining
// such images into a colour image, and copying a colour image with its first
// three bytes in another order.
#include <array>
#include <cstdint>

#include "frame/pelora.h"
#include "ops/operation_shapes.h"
#include "kernels/channels.h"

namespace klem {

using namespace kernels;
using ops::PixelsOf;

namespace {

// The texts of one direction: the channel images are the destinations of a
// split and the sources of a combination.
struct ChannelTexts {
  const char* dimension;
  const char* unequal;
  const char* bitDepth;
  const char* failed;
};

constexpr ChannelTexts kSplitTexts = {
    "Destination channels dimension differs from source image dimension!",
    "Size of destination channels is not equal!",
    "Bitdepth of destination channels is not equal to 8Bit!", "Can't split channels of the image!"};
constexpr ChannelTexts kCombineTexts = {
    "Source channels dimension differs from destination image dimension!",
    "Size of source channels is not equal!", "Bitdepth of source channels is not equal to 8Bit!",
    "Can't combine channels into one image!"};

// The checks of a split or a combination in their order, ending with the
// colour format of the object. The shared validators' own texts give way to
// the direction's texts. `d` is null for three channels.
bool CheckChannels(CPelora& self, const CPelora& k0, const CPelora& k1, const CPelora& k2,
                   const CPelora* d, uint32_t format, const ChannelTexts& texts) {
  self.SetErrorText("");
  if (!self.CheckHasImageData()) return false;
  if (k0.GetWidth() != self.GetWidth() || k0.GetHeight() != self.GetHeight()) {
    return self.Fail(texts.dimension);
  }
  if (!self.CheckSameWidth(k0, &k1, &k2, d) || !self.CheckSameHeight(k0, &k1, &k2, d)) {
    return self.Fail(texts.unequal);
  }
  if (!self.CheckAll8Bit(&k0, &k1, &k2, d)) return self.Fail(texts.bitDepth);
  if (self.GetBitsPerPixel() != format) return self.FormatNotSupported();
  return true;
}

template <size_t kChannels>
bool Split(CPelora& self, const std::array<CPelora*, kChannels>& channels,
           const KernelDispatchTable<SplitChannels8uFn>& kernel) {
  std::array<uint8_t*, kChannels> planes;
  for (size_t c = 0; c < kChannels; ++c) planes[c] = channels[c]->GetImageMemory();
  return self.KernelResult(kSplitTexts.failed,
                           kernel(self.GetImageMemory(), self.GetWidthBytes(), planes.data(),
                                  channels[0]->GetWidthBytes(), PixelsOf(self)));
}

template <size_t kChannels>
bool Combine(CPelora& self, const std::array<const CPelora*, kChannels>& channels,
             const KernelDispatchTable<MergeChannels8uFn>& kernel) {
  std::array<const uint8_t*, kChannels> planes;
  for (size_t c = 0; c < kChannels; ++c) planes[c] = channels[c]->GetImageMemory();
  return self.KernelResult(kCombineTexts.failed,
                           kernel(planes.data(), channels[0]->GetWidthBytes(),
                                  self.GetImageMemory(), self.GetWidthBytes(), PixelsOf(self)));
}

}  // namespace

bool CPelora::SplitChannels(CPelora& k0, CPelora& k1, CPelora& k2) {
  return CheckChannels(*this, k0, k1, k2, nullptr, 24, kSplitTexts) &&
         Split<3>(*this, {&k0, &k1, &k2}, kSplitChannels8uC3);
}

bool CPelora::SplitChannelsRGBA(CPelora& k0, CPelora& k1, CPelora& k2, CPelora& k3) {
  return CheckChannels(*this, k0, k1, k2, &k3, 32, kSplitTexts) &&
         Split<4>(*this, {&k0, &k1, &k2, &k3}, kSplitChannels8uC4);
}

bool CPelora::FromChannels(const CPelora& k0, const CPelora& k1, const CPelora& k2) {
  return CheckChannels(*this, k0, k1, k2, nullptr, 24, kCombineTexts) &&
         Combine<3>(*this, {&k0, &k1, &k2}, kMergeChannels8uC3);
}

bool CPelora::FromChannelsRGBA(const CPelora& k0, const CPelora& k1, const CPelora& k2,
                               const CPelora& k3) {
  return CheckChannels(*this, k0, k1, k2, &k3, 32, kCombineTexts) &&
         Combine<4>(*this, {&k0, &k1, &k2, &k3}, kMergeChannels8uC4);
}

bool CPelora::SwapChannels(const CPelora& src, const int32_t* order, int32_t count) {
  SetErrorText("");
  if (!CheckHasImageData() || !CheckSameSizeAndFormat(src)) return false;
  // A missing array is refused like one of the wrong length.
  if (count != 3 || order == nullptr) {
    return Fail("Channelorder has to be an array of 3 channelnumber entries!");
  }
  const int32_t copied[3] = {order[0], order[1], order[2]};
  for (int32_t entry : copied) {
    if (entry < 0 || entry > 2) return Fail("Channelnumber out of range (0,1,2)!");
  }
  const KernelDispatchTable<PermuteChannels8uFn>* kernel = nullptr;
  switch (GetBitsPerPixel()) {
    case 24: kernel = &kPermuteChannels8uC3; break;
    case 32: kernel = &kPermuteChannels8uAC4; break;
    default: return FormatNotSupported();
  }
  return KernelResult("Can't swap channels!",
                      (*kernel)(src.GetImageMemory(), src.GetWidthBytes(), GetImageMemory(),
                                GetWidthBytes(), PixelsOf(*this), copied));
}

}  // namespace klem
