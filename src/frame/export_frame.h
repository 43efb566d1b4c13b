// The road of every exported call: check the handle, run one member, turn its
// boolean into a status word. No exception ever crosses the C interface.
#pragma once

#include <cstdint>
#include <new>

#include "frame/text_exception.h"

namespace klem {

inline constexpr uint32_t kResultOk = 0;
inline constexpr uint32_t kResultFailed = 1;
inline constexpr uint32_t kResultInvalidArgument = 0x80070057u;
inline constexpr const char* kOutOfMemoryText = "Not enough memory for the operation!";

template <typename Object, typename Handle>
Object* ObjectOf(Handle handle) {
  return reinterpret_cast<Object*>(handle);
}

template <typename Object, typename Handle, typename Call>
uint32_t RunMember(Handle handle, Call&& call) {
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
uint32_t RunMemberWithSources(Handle handle, Call&& call, Sources... sources) {
  if (handle == nullptr) return kResultInvalidArgument;
  if (((sources == nullptr) || ...)) {
    ObjectOf<Object>(handle)->SetErrorText(kNullSourceText);
    return kResultFailed;
  }
  return RunMember<Object>(handle, [&](Object& object) {
    return call(object, *ObjectOf<Object>(sources)...);
  });
}

// For functions that only read or store a field: a null handle or out pointer
// is refused instead of dereferenced.
template <typename Object, typename Handle, typename Out, typename Read>
uint32_t ReadField(Handle handle, Out* out, Read read) {
  if (handle == nullptr || out == nullptr) return kResultInvalidArgument;
  *out = read(*ObjectOf<Object>(handle));
  return kResultOk;
}

}  // namespace klem
