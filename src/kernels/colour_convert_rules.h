// The one per-pixel rule of each colour conversion, used by the generic rows
// and by the tails of the vector rows, and the entry shape every path shares,
// so that statuses and results cannot drift between paths.
//
// All arithmetic is in 32-bit signed integers; `>> k` on a negative value is
// an arithmetic shift, i.e. floor(x / 2^k).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "kernels/kernel_support.h"

namespace klem::kernels {
namespace {

using Pixel3 = std::array<uint8_t, 3>;

constexpr uint8_t Sat8(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

struct RgbToYuvRule {
  static constexpr Pixel3 Convert(int32_t r, int32_t g, int32_t b) {
    const int32_t s = 19595 * r + 38470 * g + 7471 * b;
    const int32_t tu = (65536 * b - s + 32767) >> 16;
    const int32_t tv = (65536 * r - s + 32767) >> 16;
    // U stays within 16..239 on its own; V saturates (pure red gives 255).
    return {static_cast<uint8_t>(s >> 16), static_cast<uint8_t>(((tu * 32244) >> 16) + 128),
            Sat8(((tv * 57475) >> 16) + 128)};
  }
};

struct YuvToRgbRule {
  static constexpr Pixel3 Convert(int32_t y, int32_t uByte, int32_t vByte) {
    const int32_t u = uByte - 128, v = vByte - 128;
    return {Sat8((65536 * y + 74711 * v) >> 16), Sat8((65536 * y - 25821 * u - 38076 * v) >> 16),
            Sat8((65536 * y + 133169 * u) >> 16)};
  }
};

struct RgbToXyzRule {
  static constexpr Pixel3 Convert(int32_t r, int32_t g, int32_t b) {
    // X is at most 242 and Y at most 254; Z reaches 277 before the clamp.
    return {static_cast<uint8_t>((27030 * r + 23434 * g + 11824 * b) >> 16),
            static_cast<uint8_t>((13937 * r + 46868 * g + 4729 * b) >> 16),
            Sat8((1267 * r + 7811 * g + 62274 * b) >> 16)};
  }
};

struct XyzToRgbRule {
  static constexpr Pixel3 Convert(int32_t x, int32_t y, int32_t z) {
    return {Sat8((212368 * x - 100738 * y - 32671 * z) >> 16),
            Sat8((-63521 * x + 122944 * y + 2723 * z) >> 16),
            Sat8((3646 * x - 13372 * y + 69291 * z) >> 16)};
  }
};

struct RgbToYccRule {
  static constexpr Pixel3 Convert(int32_t r, int32_t g, int32_t b) {
    // Luma on a scale of 16384 (the weights sum to 16382); the results stay
    // within 0..181, 57..254 and 41..232, so nothing is clamped.
    const int32_t s = 4898 * r + 9617 * g + 1867 * b;
    return {static_cast<uint8_t>(((s >> 10) * 2921) >> 16),
            static_cast<uint8_t>(((((16384 * b - s) >> 10) * 1789) >> 16) + 156),
            static_cast<uint8_t>(((((16384 * r - s) >> 10) * 2178) >> 16) + 137)};
  }
};

struct YccToRgbRule {
  static constexpr Pixel3 Convert(int32_t y, int32_t c1, int32_t c2) {
    const int32_t a = 5564 * y, b = 9084 * (c1 - 156), c = 7460 * (c2 - 137);
    return {Sat8((a + c) >> 12), Sat8((16 * a - 794 * (b >> 8) - 2084 * (c >> 8)) >> 16),
            Sat8((a + b) >> 12)};
  }
};

// Pixels from .. to - 1 of one row, each read whole before it is written, so
// src may be dst. Positions in ptrdiff_t: joined rows can hold close to 2^31 pixels.
template <typename Rule>
inline void ConvertPixels(const uint8_t* src, uint8_t* dst, std::ptrdiff_t from, std::ptrdiff_t to) {
  for (std::ptrdiff_t x = from; x < to; ++x) {
    const uint8_t* s = src + 3 * x;
    const Pixel3 out = Rule::Convert(s[0], s[1], s[2]);
    uint8_t* d = dst + 3 * x;
    d[0] = out[0];
    d[1] = out[1];
    d[2] = out[2];
  }
}

// --- entry shape ------------------------------------------------------------
// Null pointers, then the region; no step is refused.
// RowFn: void(const uint8_t* srcRow, uint8_t* dstRow, int32_t pixels)
template <typename RowFn>
KernelStatus ConvertRows(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                         ROI roi, RowFn row) {
  if (src == nullptr || dst == nullptr) return kStsNullPtrErr;
  if (roi.width < 1 || roi.height < 1) return kStsSizeErr;
  const int64_t rowBytes = int64_t{3} * roi.width;
  roi = JoinContiguousRows(roi, {{srcStep, rowBytes}, {dstStep, rowBytes}});
  for (int32_t y = 0; y < roi.height; ++y) {
    row(RowAt(src, srcStep, y), RowAt(dst, dstStep, y), roi.width);
  }
  return kStsNoErr;
}

}  // namespace
}  // namespace klem::kernels
