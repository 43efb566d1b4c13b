// Gamma correction, look-up tables and thresholds of the object's image.
// The look-up operations check the mode before anything about the images;
// the thresholds work in place, the image being source and destination.
#include <array>

#include "kernels/lookup.h"
#include "kernels/threshold.h"
#include "ops/operation_shapes.h"

namespace klem {

using namespace kernels;
using ops::ChannelBytes;
using ops::PixelsOf;

namespace {

constexpr const char* kThresholdFailed = "Can't apply threshold!";

bool ValidLookupMode(int32_t mode) {
  return mode == LookupModeStep || mode == LookupModeLinear || mode == LookupModeCubic;
}

// The validation both look-up operations share; false with the text stored.
bool CheckLookup(CPelora& self, const CPelora& src, int32_t mode, uint32_t bitsPerPixel) {
  self.SetErrorText("");
  if (!ValidLookupMode(mode)) return self.Fail("Unsupported interpolation mode!");
  if (!self.CheckSameSizeAndFormat(src)) return false;
  return self.GetBitsPerPixel() == bitsPerPixel || self.FormatNotSupported();
}

// One threshold kernel call on this image in place: the one-channel kernel
// with the lowest byte of each argument for 8 bits, the three-channel one with
// three bytes of each for 24 bits.
template <typename Call1, typename Call3>
bool RunThreshold(CPelora& self, Call1 one, Call3 three) {
  self.SetErrorText("");
  uint8_t* memory = self.GetImageMemory();
  const int32_t step = self.GetWidthBytes();
  switch (self.GetBitsPerPixel()) {
    case 8: return self.KernelResult(kThresholdFailed, one(memory, step, PixelsOf(self)));
    case 24: return self.KernelResult(kThresholdFailed, three(memory, step, PixelsOf(self)));
    default: return self.FormatNotSupported();
  }
}

bool ThresholdCompare(CPelora& self, int32_t threshold, int32_t value,
                      ThresholdComparison comparison) {
  const std::array<uint8_t, 3> t = ChannelBytes(static_cast<uint32_t>(threshold));
  const std::array<uint8_t, 3> v = ChannelBytes(static_cast<uint32_t>(value));
  return RunThreshold(
      self,
      [&](uint8_t* m, int32_t step, ROI roi) {
        return kThreshold8uC1(m, step, m, step, roi, t[0], v[0], comparison);
      },
      [&](uint8_t* m, int32_t step, ROI roi) {
        return kThreshold8uC3(m, step, m, step, roi, t.data(), v.data(), comparison);
      });
}

}  // namespace

bool CPelora::GammaCorrection(int32_t inverse) {
  SetErrorText("");
  if (GetBitsPerPixel() != 24) return FormatNotSupported();
  const auto& kernel = inverse == 0 ? kGammaForward8u : kGammaInverse8u;
  return KernelResult("Can't correct gamma!",
                      kernel(GetImageMemory(), GetWidthBytes(), PixelsOf(*this)));
}

bool CPelora::LookUpTable8Bit(const CPelora& src, const int32_t* values, const int32_t* levels,
                              int32_t count, int32_t mode) {
  if (!CheckLookup(*this, src, mode, 8)) return false;
  const KernelDispatchTable<Lookup8uC1Fn>* kernels[] = {&kLookupTable8uC1, &kLookupTableLinear8uC1,
                                                        &kLookupTableCubic8uC1};
  return KernelResult("Can't apply Lookuptable to 8bit image!",
                      (*kernels[mode])(src.GetImageMemory(), src.GetWidthBytes(), GetImageMemory(),
                                       GetWidthBytes(), PixelsOf(*this), values, levels, count));
}

bool CPelora::LookUpTable(const CPelora& src, const int32_t* levels0, const int32_t* values0,
                          int32_t count0, const int32_t* levels1, const int32_t* values1,
                          int32_t count1, const int32_t* levels2, const int32_t* values2,
                          int32_t count2, int32_t mode) {
  if (!CheckLookup(*this, src, mode, 24)) return false;
  const KernelDispatchTable<Lookup8uC3Fn>* kernels[] = {&kLookupTable8uC3, &kLookupTableLinear8uC3,
                                                        &kLookupTableCubic8uC3};
  const int32_t* const values[3] = {values0, values1, values2};
  const int32_t* const levels[3] = {levels0, levels1, levels2};
  const int32_t counts[3] = {count0, count1, count2};
  return KernelResult("Can't apply Lookuptable!",
                      (*kernels[mode])(src.GetImageMemory(), src.GetWidthBytes(), GetImageMemory(),
                                       GetWidthBytes(), PixelsOf(*this), values, levels, counts));
}

bool CPelora::ThresholdGT(int32_t threshold) {
  return ThresholdCompare(*this, threshold, threshold, kThresholdGreater);
}

bool CPelora::ThresholdLT(int32_t threshold) {
  return ThresholdCompare(*this, threshold, threshold, kThresholdLess);
}

bool CPelora::ThresholdGTVal(int32_t threshold, int32_t value) {
  return ThresholdCompare(*this, threshold, value, kThresholdGreater);
}

bool CPelora::ThresholdLTVal(int32_t threshold, int32_t value) {
  return ThresholdCompare(*this, threshold, value, kThresholdLess);
}

bool CPelora::ThresholdLTValGTVal(int32_t lowerThreshold, int32_t lowerValue,
                                  int32_t upperThreshold, int32_t upperValue) {
  const auto bytes = [](int32_t argument) { return ChannelBytes(static_cast<uint32_t>(argument)); };
  const std::array<uint8_t, 3> lt = bytes(lowerThreshold), lv = bytes(lowerValue);
  const std::array<uint8_t, 3> ut = bytes(upperThreshold), uv = bytes(upperValue);
  return RunThreshold(
      *this,
      [&](uint8_t* m, int32_t step, ROI roi) {
        return kThresholdLTValGTVal8uC1(m, step, m, step, roi, lt[0], lv[0], ut[0], uv[0]);
      },
      [&](uint8_t* m, int32_t step, ROI roi) {
        return kThresholdLTValGTVal8uC3(m, step, m, step, roi, lt.data(), lv.data(), ut.data(),
                                        uv.data());
      });
}

}  // namespace klem
