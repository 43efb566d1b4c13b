// The library's only exception: raised by the image buffer for the few
// conditions it cannot report through its boolean results, and turned into
// result 1 with this text by the exported frame.
#pragma once

#include <cstdint>
#include <string_view>

#include "frame/error_text.h"

namespace klem {

class CTextException {
 public:
  CTextException(int32_t code, std::string_view text) noexcept : code_(code), text_(text) {}
  virtual ~CTextException() = default;

  virtual int32_t GetCode() const { return code_; }
  virtual const char* GetText() const { return text_.CStr(); }

 private:
  int32_t code_;
  // A private copy that needs no heap: raising the exception when memory is
  // exhausted must not turn into a different failure.
  CErrorText text_;
};

}  // namespace klem
