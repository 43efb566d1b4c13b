// SSSE3 channel kernels: the shared vector bodies on 16-byte vectors, one
// lane each, with the byte shuffle that SSSE3 brings.
#include "kernels/channels.h"

#include <tmmintrin.h>

#include <array>
#include <cstddef>

#include "kernels/channel_rules.h"
#include "kernels/ssse3/channel_lanes.h"

namespace klem::kernels::ssse3 {
namespace {

struct ChannelSimd : ssse3::ChannelLanes16 {
  static V Pick(V a, V b, V mask) { return Or(AndNot(mask, a), And(mask, b)); }
};

}  // namespace

#include "kernels/simd/channels.inc"
#include "kernels/simd/channel_permute.inc"

}  // namespace klem::kernels::ssse3
