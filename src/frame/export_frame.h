// The road of every exported call: check the handle, run one member, turn its
// boolean into a status word. No exception ever crosses the C interface.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "frame/error_text.h"
#include "frame/text_exception.h"
#include "klem/klem.h"

namespace klem {

inline constexpr uint32_t kResultOk = 0;
inline constexpr uint32_t kResultFailed = 1;
inline constexpr uint32_t kResultInvalidArgument = 0x80070057u;
inline constexpr const char* kOutOfMemoryText = "Not enough memory for the operation!";

template <typename Object, typename Handle>
Object* ObjectOf(Handle handle) {
  return reinterpret_cast<Object*>(handle);
}

// Every member that can fail runs here. Storing a text needs no heap, so the
// handlers themselves cannot throw, an exhausted heap included.
template <typename Object, typename Handle, typename Call>
uint32_t RunMember(Handle handle, Call&& call) noexcept {
  if (handle == nullptr) return kResultInvalidArgument;
  Object& object = *ObjectOf<Object>(handle);
  try {
    return call(object) ? kResultOk : kResultFailed;
  } catch (const CTextException& e) {
    object.SetErrorText(e.GetText());
  } catch (const std::bad_alloc&) {
    object.SetErrorText(kOutOfMemoryText);
  } catch (...) {
    object.SetErrorText("Unexpected internal error!");
  }
  return kResultFailed;
}

// Operations that read other handles: a null source fails the call with this
// text instead of being dereferenced.
inline constexpr const char* kNullSourceText = "Invalid source image handle!";

template <typename Object, typename Handle, typename Call, typename... Sources>
uint32_t RunMemberWithSources(Handle handle, Call&& call, Sources... sources) noexcept {
  return RunMember<Object>(handle, [&](Object& object) {
    if ((!sources || ...)) {
      object.SetErrorText(kNullSourceText);
      return false;
    }
    return call(object, *ObjectOf<Object>(sources)...);
  });
}

// For functions that only read or store a field: a null handle or out pointer
// is refused instead of dereferenced.
template <typename Object, typename Handle, typename Out, typename Read>
uint32_t ReadField(Handle handle, Out* out, Read read) noexcept {
  if (handle == nullptr || out == nullptr) return kResultInvalidArgument;
  *out = read(*ObjectOf<Object>(handle));
  return kResultOk;
}

// A new object behind a handle; null when it cannot be made, never an exception.
template <typename Object, typename Handle>
Handle CreateObject() noexcept {
  try {
    return reinterpret_cast<Handle>(new Object());
  } catch (...) {
    return nullptr;  // the host learns of it by the null handle
  }
}

template <typename Object, typename Handle>
uint32_t FreeObject(Handle handle) noexcept {
  if (handle == nullptr) return kResultInvalidArgument;
  delete ObjectOf<Object>(handle);
  return kResultOk;
}

// The host's zero-terminated text as the error text; a null text stores "".
template <typename Object, typename Handle>
uint32_t StoreErrorText(Handle handle, const char* text) noexcept {
  return RunMember<Object>(handle, [&](Object& object) {
    object.SetErrorText(text ? text : "");
    return true;
  });
}

// Copies one of the object's texts into its returned-text member and hands
// the host a pointer to those characters.
template <typename Object, typename Handle>
uint32_t HandOutText(Handle handle, const char** textOut,
                     const std::string& (*text)(Object&)) noexcept {
  if (textOut == nullptr) return kResultInvalidArgument;
  return RunMember<Object>(handle, [&](Object& object) {
    *textOut = object.ReturnText(text(object));
    return true;
  });
}

// The error text of an object into the host's buffer of KLEM_ERROR_BUFFER_SIZE
// characters; the stored text is never longer than that buffer can take.
template <typename Object, typename Handle>
uint32_t CopyErrorText(Handle handle, char* buffer) noexcept {
  if (handle == nullptr || buffer == nullptr) return kResultInvalidArgument;
  static_assert(CErrorText::kCapacity < KLEM_ERROR_BUFFER_SIZE);
  const std::string_view text = ObjectOf<Object>(handle)->GetErrorText();
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return kResultOk;
}

}  // namespace klem
