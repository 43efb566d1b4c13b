// Handles of the exported interfaces for tests that drive them the way a host
// does, and the geometry of an image as the exported getters report it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "frame/export_frame.h"
#include "frame/pelora.h"

namespace klem::test {

// Texts that the operations of several families share.
inline constexpr const char* kNullSource = "Invalid source image handle!";
inline constexpr const char* kNoData = "There is no imagedata available!";
inline constexpr const char* kDifferentSize = "Pictures of different size!";
inline constexpr const char* kDifferentFormat = "Pictures have different format!";
inline constexpr const char* kNot8BitSource = "Require 8bit Source bit depth!";
inline constexpr const char* kUnsupported = "Colorformat not supported by the function!";

// Random bytes for an image's memory, the same for the same seed.
inline std::vector<uint8_t> Pattern(size_t size, uint32_t seed) {
  std::vector<uint8_t> bytes(size);
  std::mt19937 rng(seed);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(rng());
  return bytes;
}

struct Geometry {
  int32_t width, height, widthBytes, bytesPerPixel;
  uint32_t bpp, size;
  bool operator==(const Geometry&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Geometry& g) {
  return os << g.width << "x" << g.height << " bpp " << g.bpp << " row " << g.widthBytes
            << " pixel " << g.bytesPerPixel << " size " << g.size;
}

// Owns one handle of an interface from its creation to its free function.
template <typename Handle, Handle (*kCreate)(), uint32_t (*kFree)(Handle),
          uint32_t (*kGetError)(Handle, char*)>
class HostHandle {
 public:
  HostHandle() : handle_(kCreate()) {}
  HostHandle(const HostHandle&) = delete;
  HostHandle& operator=(const HostHandle&) = delete;
  ~HostHandle() { kFree(handle_); }
  Handle h() const { return handle_; }
  std::string Error() const {
    char buffer[KLEM_ERROR_BUFFER_SIZE];
    EXPECT_EQ(kGetError(handle_, buffer), KLEM_OK);
    return buffer;
  }

 private:
  Handle handle_;
};

using HostMath = HostHandle<ZEV_HANDLE, ZEV_CreateCFastMath, ZEV_FreeCFastMath, ZEV_GetError>;

class HostImage : public HostHandle<KLEM_HANDLE, KLEM_CreateCKorPelora, KLEM_FreeCKorPelora, KLEM_GetError> {
 public:
  HostImage() = default;
  HostImage(int32_t width, int32_t height, uint32_t bpp, const std::vector<uint8_t>& bytes = {}) {
    EXPECT_EQ(KLEM_Create(h(), width, height, bpp), KLEM_OK);
    if (!bytes.empty()) SetBytes(bytes);
  }

  CPelora& Object() const { return *ObjectOf<CPelora>(h()); }
  Geometry Shape() const {  // bytes per pixel is the one field without a getter
    Geometry g{0, 0, 0, Object().GetBytesPerPixel(), 0, 0};
    KLEM_GetWidth(h(), &g.width);
    KLEM_GetHeight(h(), &g.height);
    KLEM_GetWidthBytes(h(), &g.widthBytes);
    KLEM_GetBitsPerPixel(h(), &g.bpp);
    KLEM_GetImageSizeInBytes(h(), &g.size);
    return g;
  }
  uint8_t* Memory() const {
    void* memory = nullptr;
    KLEM_GetImageMemory(h(), &memory);
    return static_cast<uint8_t*>(memory);
  }
  std::vector<uint8_t> Bytes() const { return {Memory(), Memory() + Shape().size}; }
  void SetBytes(const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(bytes.size(), Shape().size);
    std::memcpy(Memory(), bytes.data(), bytes.size());
  }
};

// FNV-1a over bytes: images and arrays compared by one number.
class Fingerprint {
 public:
  void Add(const void* data, size_t size) {
    for (size_t i = 0; i < size; ++i) value_ = (value_ ^ static_cast<const uint8_t*>(data)[i]) * 1099511628211ull;
  }
  // Geometry and pixels.
  void Add(const HostImage& image) {
    const Geometry shape = image.Shape();
    Add(&shape, sizeof shape);
    Add(image.Memory(), shape.size);
  }
  uint64_t value() const { return value_; }

 private:
  uint64_t value_ = 14695981039346656037ull;
};

}  // namespace klem::test
