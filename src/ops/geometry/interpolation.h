// What the geometry operations share: the host's interpolation modes and
// their kernel codes, and the two temporary 8-bit images through which
// black-and-white images are resized and rotated.
#pragma once

#include <cstdint>

#include "frame/pelora.h"
#include "kernels/geometry_types.h"

namespace klem::ops {

// The modes a host passes; each operation accepts its own subset.
enum InterpolationMode : int32_t {
  InterpolationDefault = 0,
  InterpolationLinear = 1,
  InterpolationCubic = 2,
  InterpolationNearest = 3,
  InterpolationSupersample = 4,
  InterpolationSmoothEdge = 5,
};

// Never fails: an operation checks the mode against its own set first, and
// every mode it does not know becomes linear.
constexpr uint32_t ToKernelInterpolation(int32_t mode) {
  switch (mode) {
    case InterpolationCubic: return kernels::kInterCubic;
    case InterpolationNearest: return kernels::kInterNearest;
    case InterpolationSupersample: return kernels::kInterSupersample;
    case InterpolationSmoothEdge: return kernels::kInterSmoothEdge;
    default: return kernels::kInterLinear;
  }
}

// A 1-bit image goes through 8 bits: the source expanded to 0 and 255 into
// the first temporary, the kernel writes the second, and Finish reduces it to
// bits into the owner. Both temporaries are released with this object.
class OneBitWorkImages {
 public:
  explicit OneBitWorkImages(CPelora& owner) : owner_(owner) {}

  // First temporary := the source as 8-bit (sourceWidth x sourceHeight);
  // second temporary := an empty width x height 8-bit image. False as soon
  // as a step fails; a failed conversion leaves its text on the owner.
  bool Prepare(const CPelora& source, int32_t sourceWidth, int32_t sourceHeight, int32_t width,
               int32_t height);
  // Releases the first temporary, then owner := the second reduced to bits at
  // the threshold (the owner must be 1-bit and of the second's size).
  bool Finish(uint32_t threshold);

  CPelora& Source8() { return source8_; }
  CPelora& Result8() { return result8_; }

 private:
  CPelora& owner_;
  CPelora source8_;
  CPelora result8_;
};

}  // namespace klem::ops
