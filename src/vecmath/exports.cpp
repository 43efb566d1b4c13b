// The exported interface of the vector-math object.
#include "frame/export_frame.h"
#include "klem/klem.h"
#include "vecmath/fast_math.h"

using klem::CFastMath;

extern "C" {

KLEM_API ZEV_HANDLE KLEM_CALL ZEV_CreateCFastMath(void) {
  return klem::CreateObject<CFastMath, ZEV_HANDLE>();
}

KLEM_API uint32_t KLEM_CALL ZEV_FreeCFastMath(ZEV_HANDLE handle) {
  return klem::FreeObject<CFastMath>(handle);
}

KLEM_API uint32_t KLEM_CALL ZEV_GetError(ZEV_HANDLE handle, char* buffer) {
  return klem::CopyErrorText<CFastMath>(handle, buffer);
}

KLEM_API uint32_t KLEM_CALL ZEV_SetError(ZEV_HANDLE handle, const char* text) {
  return klem::StoreErrorText<CFastMath>(handle, text);
}

KLEM_API uint32_t KLEM_CALL ZEV_GetVersion(ZEV_HANDLE handle, const char** textOut) {
  return klem::HandOutText<CFastMath>(handle, textOut,
                    [](CFastMath& o) -> const std::string& { return o.GetVersionText(); });
}

KLEM_API uint32_t KLEM_CALL ZEV_GetProcessorDetected(ZEV_HANDLE handle, const char** textOut) {
  return klem::HandOutText<CFastMath>(handle, textOut, [](CFastMath& o) -> const std::string& {
    return o.GetProcessorDetectedText();
  });
}

KLEM_API uint32_t KLEM_CALL ZEV_GetProcessorCodeUsed(ZEV_HANDLE handle, const char** textOut) {
  return klem::HandOutText<CFastMath>(handle, textOut, [](CFastMath& o) -> const std::string& {
    return o.GetProcessorCodeUsedText();
  });
}

KLEM_API uint32_t KLEM_CALL ZEV_Add(ZEV_HANDLE handle, const double* source, int32_t count,
                                    const double* vector, double* destination, int32_t destinationCount) {
  return klem::RunMember<CFastMath>(handle, [&](CFastMath& o) {
    return o.Add(source, count, vector, destination, destinationCount);
  });
}

KLEM_API uint32_t KLEM_CALL ZEV_Sub(ZEV_HANDLE handle, const double* source, int32_t count,
                                    const double* vector, double* destination, int32_t destinationCount) {
  return klem::RunMember<CFastMath>(handle, [&](CFastMath& o) {
    return o.Sub(source, count, vector, destination, destinationCount);
  });
}

KLEM_API uint32_t KLEM_CALL ZEV_Mul(ZEV_HANDLE handle, const double* source, int32_t count,
                                    const double* vector, double* destination, int32_t destinationCount) {
  return klem::RunMember<CFastMath>(handle, [&](CFastMath& o) {
    return o.Mul(source, count, vector, destination, destinationCount);
  });
}

KLEM_API uint32_t KLEM_CALL ZEV_MulMatrix(ZEV_HANDLE handle, const double* matrix, int32_t width,
                                          int32_t height, const double* source, int32_t count,
                                          double* destination, int32_t destinationCount) {
  return klem::RunMember<CFastMath>(handle, [&](CFastMath& o) {
    return o.MulMatrix(matrix, width, height, source, count, destination, destinationCount);
  });
}

}  // extern "C"
