// Pixel memory where the C++ heap is the system heap.
#include "platform/heap.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>

namespace klem::platform {

void* AllocateZeroed(std::size_t bytes) noexcept {
  // Whole alignment units, all zeroed; an empty request still gets one.
  if (bytes > SIZE_MAX - kPixelAlignment) return nullptr;
  const std::size_t units = bytes == 0 ? 1 : (bytes + kPixelAlignment - 1) / kPixelAlignment;
  const std::size_t rounded = units * kPixelAlignment;
  void* block = ::operator new(rounded, std::align_val_t{kPixelAlignment}, std::nothrow);
  if (block != nullptr) std::memset(block, 0, rounded);
  return block;
}

void Release(void* block) noexcept { ::operator delete(block, std::align_val_t{kPixelAlignment}); }

const char* RefusalText() noexcept { return std::strerror(ENOMEM); }

}  // namespace klem::platform
