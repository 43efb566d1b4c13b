// Generic mirror kernels and the dispatch tables of the family.
//
// Axis 0: for r = 0 .. height / 2 - 1, row r and row height - 1 - r are
// exchanged byte by byte. Axis 1: in every row, for c = 0 .. width / 2 - 1,
// pixel c and pixel width - 1 - c are exchanged, all bytes of a pixel as one
// unit. Nothing is computed, so every path gives the same bytes as long as it
// exchanges the same pairs.
#include "kernels/mirror.h"

#include "kernels/mirror_rules.h"

namespace klem::kernels {
namespace generic {
namespace {

struct MirrorRows {
  static void SwapRows(uint8_t* a, uint8_t* b, std::ptrdiff_t bytes) { SwapBytes(a, b, 0, bytes); }
  template <int32_t kChannels>
  static void ReverseRow(uint8_t* row, std::ptrdiff_t width) {
    ReversePixels<kChannels>(row, 0, width);
  }
};

}  // namespace

#include "kernels/mirror_entries.inc"

}  // namespace generic

// --- dispatch tables ----------------------------------------------------------
// Reversing the bytes of a vector needs the byte shuffle of SSSE3; below it the
// generic kernels run (the compiler already turns their row exchange into
// vector copies). Path 4 takes the AVX2 kernels where the processor has them,
// and the AVX-512 one for three-byte pixels, which reverses rows about 30%
// faster than AVX2 on 1920-pixel rows; with one-byte pixels, and for the row
// exchange, AVX-512 gained under 10% over AVX2 (both near the cache's
// bandwidth), so path 4 keeps the AVX2 kernel there.
constinit const KernelDispatchTable<MirrorInPlace8uFn> kMirrorInPlace8uC1 =
    Dispatch(generic::MirrorInPlace8uC1).Ssse3(ssse3::MirrorInPlace8uC1).Avx2(avx2::MirrorInPlace8uC1);
constinit const KernelDispatchTable<MirrorInPlace8uFn> kMirrorInPlace8uC3 =
    Dispatch(generic::MirrorInPlace8uC3)
        .Ssse3(ssse3::MirrorInPlace8uC3)
        .Avx2(avx2::MirrorInPlace8uC3)
        .Avx512(avx512::MirrorInPlace8uC3);

}  // namespace klem::kernels
