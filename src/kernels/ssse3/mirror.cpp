// SSSE3 mirror kernels: the shared vector bodies on 16-byte vectors, bytes
// reversed by the byte shuffle that SSSE3 brings. SSE4.1 adds nothing these
// loops use, so path 4 runs them too where no wide entry does.
#include "kernels/mirror.h"

#include <algorithm>
#include <cstddef>

#include "kernels/mirror_rules.h"
#include "kernels/ssse3/mirror_lanes.h"

namespace klem::kernels::ssse3 {

#include "kernels/simd/mirror.inc"

namespace {
using MirrorRows = VectorMirror<MirrorLanes16>;
}  // namespace

#include "kernels/mirror_entries.inc"

}  // namespace klem::kernels::ssse3
