// The error text of an object, kept in a fixed buffer so that storing a text
// never allocates: the exported frame must be able to report a failure, an
// exhausted heap included, without anything escaping to the host.
#pragma once

#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "klem/klem.h"

namespace klem {

class CErrorText {
 public:
  // What the host's buffer of KLEM_ERROR_BUFFER_SIZE bytes can take back.
  static constexpr std::size_t kCapacity = KLEM_ERROR_BUFFER_SIZE - 1;

  CErrorText() = default;
  explicit CErrorText(std::string_view text) noexcept { Assign(text); }

  // Longer texts are cut; the host could not read more of them anyway.
  void Assign(std::string_view text) noexcept {
    length_ = text.size() < kCapacity ? text.size() : kCapacity;
    if (length_ != 0) std::memcpy(text_, text.data(), length_);  // an empty view may hold null
    text_[length_] = '\0';
  }
  // printf-style composition, cut in the same way.
  [[gnu::format(printf, 2, 3)]] void Format(const char* format, ...) noexcept {
    std::va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(text_, sizeof text_, format, arguments);
    va_end(arguments);
    length_ = written < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(written), kCapacity);
    text_[length_] = '\0';
  }
  void Clear() noexcept { Assign({}); }

  std::string_view View() const noexcept { return {text_, length_}; }
  const char* CStr() const noexcept { return text_; }

 private:
  char text_[kCapacity + 1] = {};
  std::size_t length_ = 0;
};

}  // namespace klem
