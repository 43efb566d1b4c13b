// Pixel memory from the process heap: zero-filled and aligned for SIMD loads.
#pragma once

#include <cstddef>

namespace klem::platform {

inline constexpr std::size_t kPixelAlignment = 64;

// Zero-filled block of at least `bytes` bytes aligned to kPixelAlignment, or
// null when the heap refuses. It comes from the aligned, non-throwing form of
// operator new, so a test that replaces operator new fails it as well.
void* AllocateZeroed(std::size_t bytes) noexcept;
// The same without the zero fill, for work memory that is written before it
// is read: pages that a call never reaches are never touched.
void* AllocateUninitialised(std::size_t bytes) noexcept;
void Release(void* block) noexcept;
// The system's message for a refused request.
const char* RefusalText() noexcept;

}  // namespace klem::platform
