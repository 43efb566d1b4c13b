// PNG files to and from klem images, for the program and its tests. PNG gray
// 1, 8 and 16 bits, RGB 8 and 16 bits and RGBA 8 bits map to formats 1, 8, 16,
// 24, 48 and 32; palette and 2- or 4-bit gray files are widened on reading.
#pragma once

#include <string>

#include "klem/klem.h"

namespace klem_tool {

// An owned handle.
class Image {
 public:
  Image() : handle_(KLEM_CreateCKorPelora()) {}
  ~Image() { KLEM_FreeCKorPelora(handle_); }
  Image(Image&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
  KLEM_HANDLE get() const { return handle_; }

 private:
  KLEM_HANDLE handle_;
};

// The error text the library stored on the handle, empty when none.
std::string ErrorText(KLEM_HANDLE handle);

// Both return an empty text on success, otherwise why the file could not be
// read or written (the image is then unspecified).
std::string ReadPng(const std::string& path, KLEM_HANDLE image);
std::string WritePng(const std::string& path, KLEM_HANDLE image);

}  // namespace klem_tool
