// Handles of the exported interfaces for tests that drive them the way a host
// does, and the geometry of an image as the exported getters report it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "frame/export_frame.h"
#include "frame/pelora.h"

namespace klem::test {

struct Geometry {
  int32_t width, height, widthBytes, bytesPerPixel;
  uint32_t bpp, size;
  bool operator==(const Geometry&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Geometry& g) {
  return os << g.width << "x" << g.height << " bpp " << g.bpp << " row " << g.widthBytes
            << " pixel " << g.bytesPerPixel << " size " << g.size;
}

class HostImage {
 public:
  HostImage() : handle_(KLEM_CreateCKorPelora()) {}
  HostImage(int32_t width, int32_t height, uint32_t bpp, const std::vector<uint8_t>& bytes = {})
      : HostImage() {
    EXPECT_EQ(KLEM_Create(handle_, width, height, bpp), KLEM_OK);
    if (!bytes.empty()) SetBytes(bytes);
  }
  HostImage(const HostImage&) = delete;
  HostImage& operator=(const HostImage&) = delete;
  ~HostImage() { KLEM_FreeCKorPelora(handle_); }

  KLEM_HANDLE h() const { return handle_; }
  CPelora& Object() const { return *ObjectOf<CPelora>(handle_); }
  Geometry Shape() const {  // bytes per pixel is the one field without a getter
    Geometry g{0, 0, 0, Object().GetBytesPerPixel(), 0, 0};
    KLEM_GetWidth(handle_, &g.width);
    KLEM_GetHeight(handle_, &g.height);
    KLEM_GetWidthBytes(handle_, &g.widthBytes);
    KLEM_GetBitsPerPixel(handle_, &g.bpp);
    KLEM_GetImageSizeInBytes(handle_, &g.size);
    return g;
  }
  uint8_t* Memory() const {
    void* memory = nullptr;
    KLEM_GetImageMemory(handle_, &memory);
    return static_cast<uint8_t*>(memory);
  }
  std::vector<uint8_t> Bytes() const { return {Memory(), Memory() + Shape().size}; }
  void SetBytes(const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(bytes.size(), Shape().size);
    std::memcpy(Memory(), bytes.data(), bytes.size());
  }
  std::string Error() const {
    char buffer[KLEM_ERROR_BUFFER_SIZE];
    EXPECT_EQ(KLEM_GetError(handle_, buffer), KLEM_OK);
    return buffer;
  }

 private:
  KLEM_HANDLE handle_;
};

// A handle of the vector interface.
class HostMath {
 public:
  HostMath() : handle_(ZEV_CreateCFastMath()) {}
  HostMath(const HostMath&) = delete;
  HostMath& operator=(const HostMath&) = delete;
  ~HostMath() { ZEV_FreeCFastMath(handle_); }
  ZEV_HANDLE h() const { return handle_; }
  std::string Error() const {
    char buffer[KLEM_ERROR_BUFFER_SIZE];
    EXPECT_EQ(ZEV_GetError(handle_, buffer), KLEM_OK);
    return buffer;
  }

 private:
  ZEV_HANDLE handle_;
};

}  // namespace klem::test
