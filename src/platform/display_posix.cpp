// A library loaded into a server process has no screen to ask, so the
// resolution is the usual logical one.
#include "platform/display.h"

namespace klem::platform {

Resolution ScreenResolution() noexcept { return {96, 96}; }

}  // namespace klem::platform
