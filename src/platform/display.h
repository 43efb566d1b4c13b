// The screen resolution that images record. No operation reads it and a
// library loaded into a server process has no screen, so it is fixed.
#pragma once

#include <cstdint>

namespace klem::platform {

struct Resolution {
  int32_t dotsPerInchX;
  int32_t dotsPerInchY;
};

constexpr Resolution ScreenResolution() { return {96, 96}; }

}  // namespace klem::platform
