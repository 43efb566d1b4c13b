// Pixel memory from the process heap: zero-filled and aligned for SIMD loads.
#pragma once

#include <cstddef>
#include <string>

namespace klem::platform {

inline constexpr std::size_t kPixelAlignment = 64;

// Zero-filled block of at least `bytes` bytes aligned to kPixelAlignment, or
// null when the heap refuses; `failure` then describes why.
void* AllocateZeroed(std::size_t bytes, std::string* failure);
void Release(void* block);

// Test seam: the next `count` allocations fail as if the heap were exhausted.
void FailNextAllocationsForTesting(int count);

}  // namespace klem::platform
