// The library's only exception: raised by the image buffer for the few
// conditions it cannot report through its boolean results, and turned into
// result 1 with this text by the exported frame.
#pragma once

#include <cstdint>
#include <string>

namespace klem {

class CTextException {
 public:
  CTextException(int32_t code, std::string text) : code_(code), text_(std::move(text)) {}
  virtual ~CTextException() = default;

  virtual int32_t GetCode() const { return code_; }
  virtual const char* GetText() const { return text_.c_str(); }

 private:
  int32_t code_;
  std::string text_;  // a private copy: copying the exception duplicates it
};

}  // namespace klem
