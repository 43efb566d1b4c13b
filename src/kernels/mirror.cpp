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
// generic kernels run. Path 4 takes the AVX2 or AVX-512 ones where the
// processor has them.
#define KLEM_TABLE(name)                                                                \
  constinit const KernelDispatchTable<MirrorInPlace8uFn> k##name =                      \
      Dispatch(generic::name).Ssse3(ssse3::name).Avx2(avx2::name).Avx512(avx512::name)

KLEM_TABLE(MirrorInPlace8uC1);
KLEM_TABLE(MirrorInPlace8uC3);
#undef KLEM_TABLE

}  // namespace klem::kernels
