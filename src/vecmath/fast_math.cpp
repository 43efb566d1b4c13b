#include "vecmath/fast_math.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "frame/library_texts.h"
#include "kernels/dispatch.h"
#include "kernels/vecmath.h"

namespace klem {
namespace {

constexpr int32_t kVectorLength = 3;
constexpr int32_t kVectorStride = kVectorLength * sizeof(double);
constexpr int32_t kElementStride = sizeof(double);
constexpr const char* kCountMismatchText = "Source datalength differs from destination length!";

// Whether two arrays of count vectors share any byte.
bool Overlap(const double* a, const double* b, int32_t count) {
  const auto first = reinterpret_cast<std::uintptr_t>(a);
  const auto second = reinterpret_cast<std::uintptr_t>(b);
  const std::uintptr_t bytes = static_cast<std::uintptr_t>(count) * kVectorStride;
  return first < second + bytes && second < first + bytes;
}

}  // namespace

CFastMath::CFastMath() {
  kernels::InitKernelDispatch();
  versionText_ = ComposeVersionText();
  processorDetectedText_ = ComposeProcessorDetectedText();
  processorCodeUsedText_ = ComposeProcessorCodeUsedText();
}

const char* CFastMath::ReturnText(const std::string& text) {
  returnedText_ = text;
  return returnedText_.c_str();
}

bool CFastMath::BeginOperation(int32_t count, int32_t destinationCount) {
  errorText_.Clear();
  if (count <= 0) return false;
  if (count != destinationCount) {
    SetErrorText(kCountMismatchText);
    return false;
  }
  return true;
}

bool CFastMath::KernelResult(std::string_view message, kernels::KernelStatus status) {
  if (status == kernels::kStsNoErr) return true;
  SetErrorText(KernelErrorText(message, status).View());
  return false;
}

bool CFastMath::WithVector(
    std::string_view message,
    const kernels::KernelDispatchTable<kernels::VectorArrayVector64fFn>& kernel,
    const double* source, int32_t count, const double* vector, double* destination,
    int32_t destinationCount) {
  if (!BeginOperation(count, destinationCount)) return false;
  return KernelResult(message, kernel(source, kVectorStride, kElementStride, vector,
                                      kElementStride, destination, kVectorStride,
                                      kElementStride, kVectorLength, count));
}

bool CFastMath::Add(const double* source, int32_t count, const double* vector,
                    double* destination, int32_t destinationCount) {
  return WithVector("Can't add!", kernels::kAddVectorArrayVector64f, source, count, vector,
                    destination, destinationCount);
}

bool CFastMath::Sub(const double* source, int32_t count, const double* vector,
                    double* destination, int32_t destinationCount) {
  return WithVector("Can't sub!", kernels::kSubVectorArrayVector64f, source, count, vector,
                    destination, destinationCount);
}

bool CFastMath::Mul(const double* source, int32_t count, const double* vector,
                    double* destination, int32_t destinationCount) {
  // Element e of every vector scaled by vector[e]: one pass over the vectors,
  // where a pass per component would read and write them three times.
  return WithVector("Can't mul!", kernels::kMulVectorArrayVector64f, source, count, vector,
                    destination, destinationCount);
}

bool CFastMath::MulMatrix(const double* matrix, int32_t width, int32_t height,
                          const double* source, int32_t count, double* destination,
                          int32_t destinationCount) {
  constexpr const char* kMessage = "Can't multiply with matrix!";
  if (!BeginOperation(count, destinationCount)) return false;
  // Each destination vector holds three elements; more rows would write into
  // the next vector and past the last one.
  if (height > kVectorLength) return KernelResult(kMessage, kernels::kStsSizeMatchMatrixErr);
  // Every row reads the whole source vector, so a destination that overlaps
  // the source must not be written before all rows have read it.
  std::vector<double> sourceCopy;
  if (source != nullptr && destination != nullptr && Overlap(source, destination, count)) {
    sourceCopy.assign(source, source + static_cast<std::size_t>(count) * kVectorLength);
    source = sourceCopy.data();
  }
  // The kernel refuses every width but 3 before it looks at the row stride;
  // the clamp only keeps the product defined for absurd widths.
  const int32_t rowStride = std::clamp(width, 1, kVectorLength + 1) * kElementStride;
  return KernelResult(kMessage, kernels::kMulMatrixVectorArray64f(
                                    matrix, rowStride, kElementStride, width,
                                    height, source, kVectorStride, kElementStride,
                                    kVectorLength, destination, kVectorStride, kElementStride,
                                    count));
}

}  // namespace klem
