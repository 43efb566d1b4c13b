// Work memory, the same on every system: the C++ heap.
#include "platform/heap.h"

#include <new>

namespace klem::platform {

void* AllocateWork(std::size_t bytes) noexcept { return ::operator new(bytes == 0 ? 1 : bytes, std::nothrow); }

void ReleaseWork(void* block) noexcept { ::operator delete(block); }

}  // namespace klem::platform
