// Flood fill of the object's own 8-bit image around a seed pixel: exact-value
// fill when both tolerances are 0, tolerance fill otherwise, with 8-neighbour
// connectivity for 0 and 4-neighbour for any other value.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "frame/pelora.h"
#include "kernels/flood_fill.h"
#include "platform/heap.h"

namespace klem {

using namespace kernels;

namespace {

struct ReleaseWorkBuffer {
  void operator()(uint8_t* block) const noexcept { platform::ReleaseWork(block); }
};
// The fill's work memory, released on every way out of the call.
using WorkBuffer = std::unique_ptr<uint8_t, ReleaseWorkBuffer>;

}  // namespace

bool CPelora::FloodFill(int32_t x, int32_t y, int32_t newValue, int32_t lowerTolerance,
                        int32_t upperTolerance, int32_t connectivity) {
  constexpr const char* kFailed = "Can't apply floodfill!";
  SetErrorText("");
  const bool range = lowerTolerance != 0 || upperTolerance != 0;
  const ROI roi{GetWidth(), GetHeight()};
  int64_t bytes = 0;
  const KernelStatus sized =
      range ? kFloodFillRangeBufferSize8u(roi, &bytes) : kFloodFillBufferSize8u(roi, &bytes);
  if (sized != kStsNoErr) return KernelResult(kFailed, sized);
  // Sizes come in 64 bits: a request the heap refuses fails the call, and so
  // does one that a 32-bit address space can't even express; none is cut short.
  if constexpr (SIZE_MAX < UINT64_MAX) {
    if (static_cast<uint64_t>(bytes) > SIZE_MAX) return KernelResult(kFailed, kStsNoMemErr);
  }
  const WorkBuffer buffer(
      static_cast<uint8_t*>(platform::AllocateWork(static_cast<size_t>(bytes))));
  if (!buffer) return KernelResult(kFailed, kStsNoMemErr);
  if (GetBitsPerPixel() != 8) return FormatNotSupported();

  const auto value = static_cast<uint8_t>(newValue);
  FloodFillRegion region{};
  KernelStatus status;
  if (range) {
    const auto lower = static_cast<uint8_t>(lowerTolerance);
    const auto upper = static_cast<uint8_t>(upperTolerance);
    const auto& kernel = connectivity == 0 ? kFloodFillRange8uC1 : kFloodFillRange4Con8uC1;
    status = kernel(GetImageMemory(), GetWidthBytes(), roi, x, y, value, lower, upper, &region,
                    buffer.get());
  } else {
    const auto& kernel = connectivity == 0 ? kFloodFill8uC1 : kFloodFill4Con8uC1;
    status = kernel(GetImageMemory(), GetWidthBytes(), roi, x, y, value, &region, buffer.get());
  }
  return KernelResult(kFailed, status);
}

}  // namespace klem
