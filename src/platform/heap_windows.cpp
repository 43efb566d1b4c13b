// Pixel memory from the Windows global heap, as the library's Windows hosts
// expect to see it; the system's own text explains a refusal.
#include <windows.h>

#include <cstdint>

#include "platform/heap.h"

namespace klem::platform {
namespace {

// Zero-initialised, fixed memory.
constexpr UINT kZeroedFixed = 64;

}  // namespace

void* AllocateZeroed(std::size_t bytes) noexcept {
  // Whole alignment units, all zeroed; an empty request still gets one. The
  // global heap aligns to 16 bytes only, so one unit more is taken and the
  // block handed out starts at the first boundary past the heap's pointer,
  // which is kept just in front of it.
  if (bytes > SIZE_MAX - 2 * kPixelAlignment) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  const std::size_t units = bytes == 0 ? 1 : (bytes + kPixelAlignment - 1) / kPixelAlignment;
  void* raw = GlobalAlloc(kZeroedFixed, (units + 1) * kPixelAlignment);
  if (raw == nullptr) return nullptr;
  const std::uintptr_t start =
      (reinterpret_cast<std::uintptr_t>(raw) + kPixelAlignment) & ~std::uintptr_t{kPixelAlignment - 1};
  void** block = reinterpret_cast<void**>(start);
  block[-1] = raw;
  return block;
}

void Release(void* block) noexcept {
  if (block != nullptr) GlobalFree(static_cast<void**>(block)[-1]);
}

const char* RefusalText() noexcept {
  const DWORD code = GetLastError();
  thread_local char text[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, text, sizeof text, nullptr);
  // The system's messages end with a line break, which an error text has no use for.
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) --length;
  text[length] = '\0';
  return text;
}

}  // namespace klem::platform
