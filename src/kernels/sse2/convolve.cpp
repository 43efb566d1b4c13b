// SSE2 convolution kernels: the shared vector body on 16-byte vectors with
// every coefficient pair summed in 32-bit lanes (SSE2 has no byte-pair
// multiply-add). Results equal the scalar rule as simd/convolve.inc shows.
#include "kernels/convolve.h"

#include "kernels/convolve_rules.h"
#include "kernels/sse2/convolve_lanes.h"

namespace klem::kernels::sse2 {

#include "kernels/simd/convolve.inc"

KLEM_CONVOLVE_ENTRIES(ConvolveLanes16)

}  // namespace klem::kernels::sse2
