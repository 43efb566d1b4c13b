// The exported frame of the image interface (objects, texts, memory, geometry).
// Operation families export their own functions next to their members.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"

using klem::CPelora;
using klem::kResultInvalidArgument;
using klem::kResultOk;

extern "C" {

KLEM_API KLEM_HANDLE KLEM_CALL KLEM_CreateCKorPelora(void) {
  return klem::CreateObject<CPelora, KLEM_HANDLE>();
}

KLEM_API uint32_t KLEM_CALL KLEM_FreeCKorPelora(KLEM_HANDLE handle) {
  return klem::FreeObject<CPelora>(handle);
}

KLEM_API uint32_t KLEM_CALL KLEM_GetError(KLEM_HANDLE handle, char* buffer) {
  return klem::CopyErrorText<CPelora>(handle, buffer);
}

KLEM_API uint32_t KLEM_CALL KLEM_SetError(KLEM_HANDLE handle, const char* text) {
  return klem::StoreErrorText<CPelora>(handle, text);
}

KLEM_API uint32_t KLEM_CALL KLEM_GetVersion(KLEM_HANDLE handle, const char** textOut) {
  return klem::HandOutText<CPelora>(handle, textOut, [](CPelora& o) -> const std::string& { return o.GetVersionText(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_GetProcessorDetected(KLEM_HANDLE handle, const char** textOut) {
  return klem::HandOutText<CPelora>(handle, textOut,
                    [](CPelora& o) -> const std::string& { return o.GetProcessorDetectedText(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_GetProcessorCodeUsed(KLEM_HANDLE handle, const char** textOut) {
  return klem::HandOutText<CPelora>(handle, textOut,
                    [](CPelora& o) -> const std::string& { return o.GetProcessorCodeUsedText(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_GetProcessorDetails(KLEM_HANDLE handle, const char** textOut) {
  return klem::HandOutText<CPelora>(handle, textOut,
                    [](CPelora& o) -> const std::string& { return o.RefreshProcessorDetailsText(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_GetScaleFactor(KLEM_HANDLE handle, int32_t* valueOut) {
  return klem::ReadField<CPelora>(handle, valueOut, [](CPelora& o) { return o.GetScaleFactor(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_SetScaleFactor(KLEM_HANDLE handle, int32_t value) {
  if (handle == nullptr) return kResultInvalidArgument;
  klem::ObjectOf<CPelora>(handle)->SetScaleFactor(value);
  return kResultOk;
}

KLEM_API uint32_t KLEM_CALL KLEM_Create(KLEM_HANDLE handle, int32_t width, int32_t height,
                                        uint32_t bitsPerPixel) {
  return klem::RunMember<CPelora>(
      handle, [&](CPelora& o) { return o.Create(width, height, bitsPerPixel); });
}

KLEM_API uint32_t KLEM_CALL KLEM_AttachNoFree(KLEM_HANDLE handle, void* memory, uint32_t sizeInBytes,
                                              int32_t width, int32_t height, uint32_t bitsPerPixel) {
  return klem::RunMember<CPelora>(handle, [&](CPelora& o) {
    return o.AttachNoFree(memory, sizeInBytes, width, height, bitsPerPixel);
  });
}

KLEM_API uint32_t KLEM_CALL KLEM_AttachNoFreeEx(KLEM_HANDLE handle, void* memory, uint32_t sizeInBytes,
                                                int32_t width, int32_t height, int32_t widthInBytes,
                                                uint32_t bitsPerPixel) {
  return klem::RunMember<CPelora>(handle, [&](CPelora& o) {
    return o.AttachNoFreeEx(memory, sizeInBytes, width, height, widthInBytes, bitsPerPixel);
  });
}

KLEM_API uint32_t KLEM_CALL KLEM_Clear(KLEM_HANDLE handle) {
  return klem::RunMember<CPelora>(handle, [](CPelora& o) {
    o.Clear();
    return true;
  });
}

KLEM_API uint32_t KLEM_CALL KLEM_GetWidth(KLEM_HANDLE handle, int32_t* valueOut) {
  return klem::ReadField<CPelora>(handle, valueOut, [](CPelora& o) { return o.GetWidth(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_GetHeight(KLEM_HANDLE handle, int32_t* valueOut) {
  return klem::ReadField<CPelora>(handle, valueOut, [](CPelora& o) { return o.GetHeight(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_GetBitsPerPixel(KLEM_HANDLE handle, uint32_t* valueOut) {
  return klem::ReadField<CPelora>(handle, valueOut,
                                  [](CPelora& o) { return o.GetBitsPerPixel(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_GetWidthBytes(KLEM_HANDLE handle, int32_t* valueOut) {
  return klem::ReadField<CPelora>(handle, valueOut, [](CPelora& o) { return o.GetWidthBytes(); });
}

KLEM_API uint32_t KLEM_CALL KLEM_GetImageMemory(KLEM_HANDLE handle, void** memoryOut) {
  return klem::ReadField<CPelora>(handle, memoryOut,
                                  [](CPelora& o) { return static_cast<void*>(o.GetImageMemory()); });
}

KLEM_API uint32_t KLEM_CALL KLEM_GetImageSizeInBytes(KLEM_HANDLE handle, uint32_t* valueOut) {
  return klem::ReadField<CPelora>(handle, valueOut,
                                  [](CPelora& o) { return o.GetImageSizeInBytes(); });
}

}  // extern "C"
