#include "ops/geometry/interpolation.h"

namespace klem::ops {

bool OneBitWorkImages::Prepare(const CPelora& source, int32_t sourceWidth, int32_t sourceHeight,
                               int32_t width, int32_t height) {
  if (!source8_.Create(sourceWidth, sourceHeight, 8)) return false;
  if (!source8_.Grayscale8Bit(source)) {
    owner_.SetErrorText(source8_.GetErrorText());
    return false;
  }
  return result8_.Create(width, height, 8);
}

bool OneBitWorkImages::Finish(uint32_t threshold) {
  source8_.Clear();
  return owner_.ConvertTo1Bit(result8_, threshold);
}

}  // namespace klem::ops
