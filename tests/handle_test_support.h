// A handle of the exported interface with a few conveniences for tests that
// drive operations the way a host does.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "klem/klem.h"

namespace klem::test {

class HostImage {
 public:
  HostImage() : handle_(KLEM_CreateCKorPelora()) {}
  HostImage(int32_t width, int32_t height, uint32_t bpp) : HostImage() {
    EXPECT_EQ(KLEM_Create(handle_, width, height, bpp), KLEM_OK);
  }
  HostImage(int32_t width, int32_t height, uint32_t bpp, const std::vector<uint8_t>& bytes)
      : HostImage(width, height, bpp) {
    SetBytes(bytes);
  }
  HostImage(const HostImage&) = delete;
  HostImage& operator=(const HostImage&) = delete;
  ~HostImage() { KLEM_FreeCKorPelora(handle_); }

  KLEM_HANDLE h() const { return handle_; }

  uint32_t SizeInBytes() const {
    uint32_t size = 0;
    KLEM_GetImageSizeInBytes(handle_, &size);
    return size;
  }
  uint8_t* Memory() const {
    void* memory = nullptr;
    KLEM_GetImageMemory(handle_, &memory);
    return static_cast<uint8_t*>(memory);
  }
  std::vector<uint8_t> Bytes() const {
    uint8_t* memory = Memory();
    return memory ? std::vector<uint8_t>(memory, memory + SizeInBytes()) : std::vector<uint8_t>{};
  }
  void SetBytes(const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(bytes.size(), SizeInBytes());
    std::memcpy(Memory(), bytes.data(), bytes.size());
  }
  std::string Error() const {
    char buffer[KLEM_ERROR_BUFFER_SIZE];
    KLEM_GetError(handle_, buffer);
    return buffer;
  }
  void SetScaleFactor(int32_t scale) { KLEM_SetScaleFactor(handle_, scale); }

 private:
  KLEM_HANDLE handle_;
};

}  // namespace klem::test
