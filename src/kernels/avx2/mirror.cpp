// AVX2 mirror kernels: the shared vector bodies on 32-byte vectors, then on
// 16-byte ones for the middle of a row.
#include "kernels/mirror.h"

#include <algorithm>
#include <cstddef>

#include "kernels/avx2/mirror_lanes.h"
#include "kernels/mirror_rules.h"
#include "kernels/ssse3/mirror_lanes.h"

namespace klem::kernels::avx2 {

#include "kernels/simd/mirror.inc"

namespace {
using MirrorRows = VectorMirror<MirrorLanes32, ssse3::MirrorLanes16>;
}  // namespace

#include "kernels/mirror_entries.inc"

}  // namespace klem::kernels::avx2
