// The screen resolution that images record when they are reset or given
// memory. No operation reads it.
#pragma once

#include <cstdint>

namespace klem::platform {

struct Resolution {
  int32_t dotsPerInchX;
  int32_t dotsPerInchY;
};

Resolution ScreenResolution() noexcept;

}  // namespace klem::platform
