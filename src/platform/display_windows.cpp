// The logical resolution of the whole screen, asked of its device context.
#include <windows.h>

#include "platform/display.h"

namespace klem::platform {
namespace {

constexpr int kLogicalPixelsX = 88;
constexpr int kLogicalPixelsY = 90;

}  // namespace

Resolution ScreenResolution() noexcept {
  HDC screen = GetDC(nullptr);
  // A process without a desktop (a service) gets no context: keep the usual value.
  if (screen == nullptr) return {96, 96};
  const Resolution resolution{GetDeviceCaps(screen, kLogicalPixelsX), GetDeviceCaps(screen, kLogicalPixelsY)};
  ReleaseDC(nullptr, screen);
  return resolution;
}

}  // namespace klem::platform
