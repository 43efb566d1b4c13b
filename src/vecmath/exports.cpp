// The exported interface of the vector-math object.
#include "frame/export_frame.h"
#include "klem/klem.h"
#include "vecmath/fast_math.h"

using klem::CFastMath;
using klem::kResultInvalidArgument;
using klem::kResultOk;

namespace {

uint32_t ReturnText(ZEV_HANDLE handle, const char** textOut,
                    const std::string& (*text)(CFastMath&)) {
  if (textOut == nullptr) return kResultInvalidArgument;
  return klem::RunMember<CFastMath>(handle, [&](CFastMath& object) {
    *textOut = object.ReturnText(text(object));
    return true;
  });
}

}  // namespace

extern "C" {

KLEM_API ZEV_HANDLE ZEV_CreateCFastMath(void) {
  try {
    return reinterpret_cast<ZEV_HANDLE>(new CFastMath());
  } catch (...) {
    return nullptr;  // the host learns of it by the null handle
  }
}

KLEM_API uint32_t ZEV_FreeCFastMath(ZEV_HANDLE handle) {
  if (handle == nullptr) return kResultInvalidArgument;
  delete klem::ObjectOf<CFastMath>(handle);
  return kResultOk;
}

KLEM_API uint32_t ZEV_GetError(ZEV_HANDLE handle, char* buffer) {
  return klem::CopyErrorText<CFastMath>(handle, buffer);
}

KLEM_API uint32_t ZEV_SetError(ZEV_HANDLE handle, const char* text) {
  return klem::RunMember<CFastMath>(handle, [&](CFastMath& object) {
    object.SetErrorText(text ? text : "");
    return true;
  });
}

KLEM_API uint32_t ZEV_GetVersion(ZEV_HANDLE handle, const char** textOut) {
  return ReturnText(handle, textOut,
                    [](CFastMath& o) -> const std::string& { return o.GetVersionText(); });
}

KLEM_API uint32_t ZEV_GetProcessorDetected(ZEV_HANDLE handle, const char** textOut) {
  return ReturnText(handle, textOut, [](CFastMath& o) -> const std::string& {
    return o.GetProcessorDetectedText();
  });
}

KLEM_API uint32_t ZEV_GetProcessorCodeUsed(ZEV_HANDLE handle, const char** textOut) {
  return ReturnText(handle, textOut, [](CFastMath& o) -> const std::string& {
    return o.GetProcessorCodeUsedText();
  });
}

KLEM_API uint32_t ZEV_Add(ZEV_HANDLE handle, const double* source, int32_t count,
                          const double* vector, double* destination, int32_t destinationCount) {
  return klem::RunMember<CFastMath>(handle, [&](CFastMath& o) {
    return o.Add(source, count, vector, destination, destinationCount);
  });
}

KLEM_API uint32_t ZEV_Sub(ZEV_HANDLE handle, const double* source, int32_t count,
                          const double* vector, double* destination, int32_t destinationCount) {
  return klem::RunMember<CFastMath>(handle, [&](CFastMath& o) {
    return o.Sub(source, count, vector, destination, destinationCount);
  });
}

KLEM_API uint32_t ZEV_Mul(ZEV_HANDLE handle, const double* source, int32_t count,
                          const double* vector, double* destination, int32_t destinationCount) {
  return klem::RunMember<CFastMath>(handle, [&](CFastMath& o) {
    return o.Mul(source, count, vector, destination, destinationCount);
  });
}

KLEM_API uint32_t ZEV_MulMatrix(ZEV_HANDLE handle, const double* matrix, int32_t width,
                                int32_t height, const double* source, int32_t count,
                                double* destination, int32_t destinationCount) {
  return klem::RunMember<CFastMath>(handle, [&](CFastMath& o) {
    return o.MulMatrix(matrix, width, height, source, count, destination, destinationCount);
  });
}

}  // extern "C"
