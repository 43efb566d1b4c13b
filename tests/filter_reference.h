// A plain reference for the neighbourhood operations, written from their
// formulas with no buffers or sliding sums: each sample of the region is the
// rule applied to its own window of source samples (the same byte of the
// neighbouring pixels), every other sample is the source's.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace klem::test {

// The source samples around one destination sample.
struct Window {
  const uint8_t* centre;
  int32_t step;
  int32_t channels;
  // The sample dx pixels right and dy rows below the centre.
  int32_t operator()(int32_t dx, int32_t dy) const { return centre[dy * step + dx * channels]; }
};

// Columns and rows at each side that the rule does not compute.
struct Margins {
  int32_t left, top, right, bottom;
};

inline Margins Centred(int32_t windowWidth, int32_t windowHeight) {
  return {windowWidth / 2, windowHeight / 2, windowWidth / 2, windowHeight / 2};
}

// An image's bytes (rows of `step` bytes, `channels` bytes a pixel) with the
// region inside the margins replaced by rule(window), clamped to 0..255.
inline std::vector<uint8_t> ReferenceFilter(const std::vector<uint8_t>& src, int32_t width, int32_t height,
                                            int32_t step, int32_t channels, Margins m,
                                            const std::function<int32_t(const Window&)>& rule) {
  std::vector<uint8_t> dst = src;
  for (int32_t y = m.top; y < height - m.bottom; ++y) {
    for (int32_t x = m.left; x < width - m.right; ++x) {
      for (int32_t c = 0; c < channels; ++c) {
        const size_t at = static_cast<size_t>(y) * step + static_cast<size_t>(x) * channels + c;
        const int32_t v = rule(Window{&src[at], step, channels});
        dst[at] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
      }
    }
  }
  return dst;
}

}  // namespace klem::test
