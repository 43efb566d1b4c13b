// Pixel memory from the process heap: zero-filled and aligned for SIMD loads.
#pragma once

#include <cstddef>

namespace klem::platform {

inline constexpr std::size_t kPixelAlignment = 64;

// Zero-filled block of at least `bytes` bytes aligned to kPixelAlignment, or
// null when the heap refuses. It comes from the aligned, non-throwing form of
// operator new, so a test that replaces operator new fails it as well.
void* AllocateZeroed(std::size_t bytes) noexcept;
void Release(void* block) noexcept;

// Work memory of one call: not zero-filled and aligned to 16 bytes only, from
// the plain non-throwing operator new. The heap hands a released block of
// this kind back to the next request of its size (aligned blocks it maps
// anew), so a call repeated on one image size touches no new pages.
void* AllocateWork(std::size_t bytes) noexcept;
void ReleaseWork(void* block) noexcept;
// The system's message for a refused request.
const char* RefusalText() noexcept;

}  // namespace klem::platform
