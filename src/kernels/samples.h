// Samples of host memory, which may sit at any address: a 16-bit sample at
// an odd address is read and written through memcpy, which compiles to one
// plain move, so kernels never dereference a misaligned pointer.
#pragma once

#include <cstring>

namespace klem::kernels {

template <typename T>
inline T LoadSample(const T* p) {
  T value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

template <typename T>
inline void StoreSample(T* p, T value) {
  std::memcpy(p, &value, sizeof value);
}

}  // namespace klem::kernels
