#include "platform/heap.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>

namespace klem::platform {
namespace {

int g_failuresToInject = 0;

std::string DescribeFailure(std::size_t bytes, int error) {
  char head[96];
  std::snprintf(head, sizeof head, "Out of memory error allocating %ld bytes!",
                static_cast<long>(bytes));
  return std::string(head) + " " + std::strerror(error);
}

}  // namespace

void* AllocateZeroed(std::size_t bytes, std::string* failure) {
  void* block = nullptr;
  int error = ENOMEM;
  // aligned_alloc wants a whole number of alignment units; an empty request still gets one.
  bool representable = bytes <= SIZE_MAX - kPixelAlignment;
  std::size_t rounded = (bytes + kPixelAlignment - 1) / kPixelAlignment * kPixelAlignment;
  if (rounded == 0) rounded = kPixelAlignment;
  if (g_failuresToInject > 0) {
    --g_failuresToInject;
  } else if (representable) {
    errno = 0;
    block = std::aligned_alloc(kPixelAlignment, rounded);
    if (block == nullptr && errno != 0) error = errno;
  }
  if (block == nullptr) {
    if (failure) *failure = DescribeFailure(bytes, error);
    return nullptr;
  }
  std::memset(block, 0, rounded);
  return block;
}

void Release(void* block) { std::free(block); }

void FailNextAllocationsForTesting(int count) { g_failuresToInject = count; }

}  // namespace klem::platform
