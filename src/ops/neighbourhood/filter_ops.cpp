// KLEM_Filter: the built-in filters, one table of rows looked up family by
// family (fixed 3x3, window, mask code; the two placeholder families hold the
// number -1, which is accepted and filters nothing).
#include <algorithm>
#include <variant>

#include "kernels/filter_types.h"
#include "kernels/linear_filters.h"
#include "kernels/median.h"
#include "kernels/morphology.h"
#include "ops/neighbourhood/filter_frame.h"
#include "ops/operation_shapes.h"

namespace klem {

using namespace kernels;

namespace {

template <typename Fn>
using Kernels = const KernelDispatchTable<Fn>*;

// One form of a row's kernel: none (the placeholders) or one of a family.
using FilterKernel =
    std::variant<std::monostate, Kernels<FixedFilterFn>, Kernels<WindowFilterFn>, Kernels<MaskCodeFilterFn>>;

struct FilterRow {
  int32_t number;
  ROI window;
  FilterKernel one;    // format 8
  FilterKernel three;  // format 24
};

FilterRow Fixed3x3(int32_t number, const KernelDispatchTable<FixedFilterFn>& one,
                   const KernelDispatchTable<FixedFilterFn>& three) {
  return {number, {3, 3}, &one, &three};
}
FilterRow Window(int32_t number, int32_t side, const KernelDispatchTable<WindowFilterFn>& one,
                 const KernelDispatchTable<WindowFilterFn>& three) {
  return {number, {side, side}, &one, &three};
}
FilterRow MaskCode(int32_t number, MaskSizeCode code, const KernelDispatchTable<MaskCodeFilterFn>& one,
                   const KernelDispatchTable<MaskCodeFilterFn>& three) {
  return {number, WindowOf(code), &one, &three};
}
FilterRow Placeholder() { return {-1, {0, 0}, std::monostate{}, std::monostate{}}; }

// In the order of the lookup: the first row with the number wins.
const FilterRow kFilterTable[] = {
    // fixed 3x3 family
    // --- fixed 3x3 rows ---
    Fixed3x3(7, kSharpen8uC1, kSharpen8uC3),
    Fixed3x3(14, kPrewittDy8uC1, kPrewittDy8uC3),
    Fixed3x3(15, kPrewittDx8uC1, kPrewittDx8uC3),
    Fixed3x3(16, kSobelDy8uC1, kSobelDy8uC3),
    Fixed3x3(17, kSobelDx8uC1, kSobelDx8uC3),
    Fixed3x3(18, kDiagonalDifferenceUpLeft8uC1, kDiagonalDifferenceUpLeft8uC3),
    Fixed3x3(19, kDiagonalDifferenceUpRight8uC1, kDiagonalDifferenceUpRight8uC3),
    Placeholder(),  // the placeholder window family
    // window family
    // --- window rows: rank ---
    Window(1, 3, kRankMin8uC1, kRankMin8uC3),
    Window(2, 5, kRankMin8uC1, kRankMin8uC3),
    Window(3, 3, kRankMax8uC1, kRankMax8uC3),
    Window(4, 5, kRankMax8uC1, kRankMax8uC3),
    // --- window rows: box mean ---
    Window(5, 3, kBoxMean8uC1, kBoxMean8uC3),
    Window(6, 5, kBoxMean8uC1, kBoxMean8uC3),
    // --- window rows: medians ---
    Window(8, 3, kMedian8uC1, kMedian8uC3),
    Window(9, 5, kMedian8uC1, kMedian8uC3),
    // mask-code family
    // --- mask-code rows: medians ---
    MaskCode(10, kMask3x1, kMedianRow8uC1, kMedianRow8uC3),
    MaskCode(11, kMask5x1, kMedianRow8uC1, kMedianRow8uC3),
    MaskCode(12, kMask1x3, kMedianColumn8uC1, kMedianColumn8uC3),
    MaskCode(13, kMask1x5, kMedianColumn8uC1, kMedianColumn8uC3),
    // --- mask-code rows: linear ---
    MaskCode(20, kMask3x3, kLaplace8uC1, kLaplace8uC3),
    MaskCode(21, kMask5x5, kLaplace8uC1, kLaplace8uC3),
    MaskCode(22, kMask3x3, kGauss8uC1, kGauss8uC3),
    MaskCode(23, kMask5x5, kGauss8uC1, kGauss8uC3),
    MaskCode(24, kMask3x3, kLowPass8uC1, kLowPass8uC3),
    MaskCode(25, kMask5x5, kLowPass8uC1, kLowPass8uC3),
    MaskCode(26, kMask3x3, kLaplace8uC1, kLaplace8uC3),
    MaskCode(27, kMask5x5, kHighPass8uC1, kHighPass8uC3),
    Placeholder(),  // the placeholder mask-code family
};

const FilterRow* FindFilter(int32_t number) {
  const auto* row = std::ranges::find(kFilterTable, number, &FilterRow::number);
  return row == std::end(kFilterTable) ? nullptr : row;
}

template <typename... Calls>
struct Overloaded : Calls... {
  using Calls::operator()...;
};
template <typename... Calls>
Overloaded(Calls...) -> Overloaded<Calls...>;  // older compilers do not deduce it

}  // namespace

bool CPelora::Filter(int32_t number, const CPelora& src) {
  const FilterRow* row = FindFilter(number);
  if (row == nullptr) return Fail("Invalid filter function constant!");
  SetErrorText("");
  if (!CheckSameSizeAndFormat(src)) return false;
  const int32_t channels = ops::Channels8u(*this);
  if (channels == 0) return FormatNotSupported();
  const FilterKernel& kernel = channels == 1 ? row->one : row->three;
  if (std::holds_alternative<std::monostate>(kernel)) return true;
  const ROI window = row->window;
  if (!CheckMinSize(std::max(window.width, window.height))) return false;
  const ops::FilterMargins margins = ops::CentredMargins(window.width, window.height);
  if (!ops::CopyFilterMargins(*this, src, margins)) return false;
  const auto run = [&](const uint8_t* s, int32_t sStep, uint8_t* d, int32_t dStep, ROI roi) {
    return std::visit(
        Overloaded{
            [](std::monostate) { return KernelStatus{kStsNoErr}; },
            [&](Kernels<FixedFilterFn> k) { return (*k)(s, sStep, d, dStep, roi); },
            [&](Kernels<WindowFilterFn> k) {
              return (*k)(s, sStep, d, dStep, roi, window, Anchor{window.width / 2, window.height / 2});
            },
            [&](Kernels<MaskCodeFilterFn> k) {
              return (*k)(s, sStep, d, dStep, roi, static_cast<MaskSizeCode>(window.width * 10 + window.height));
            }},
        kernel);
  };
  return KernelResult("Can't apply filter!", ops::RunFilterKernel(*this, src, margins, run));
}

}  // namespace klem
