// The object behind every ZEV_ handle: arithmetic on arrays of 3-vectors of
// doubles (24 bytes a vector), and the texts the host reads back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "frame/error_text.h"
#include "kernels/kernel_types.h"
#include "kernels/vecmath.h"

namespace klem {

class CFastMath {
 public:
  CFastMath();

  std::string_view GetErrorText() const { return errorText_.View(); }
  void SetErrorText(std::string_view text) noexcept { errorText_.Assign(text); }

  const std::string& GetVersionText() const { return versionText_; }
  const std::string& GetProcessorDetectedText() const { return processorDetectedText_; }
  const std::string& GetProcessorCodeUsedText() const { return processorCodeUsedText_; }
  // Copies a text into the returned-text member and hands out its characters,
  // valid until the next text-returning call on this object.
  const char* ReturnText(const std::string& text);

  // destination[i] = source[i] + vector (- vector, * vector component-wise).
  // count must equal destinationCount; count < 1 fails without a text.
  bool Add(const double* source, int32_t count, const double* vector, double* destination,
           int32_t destinationCount);
  bool Sub(const double* source, int32_t count, const double* vector, double* destination,
           int32_t destinationCount);
  bool Mul(const double* source, int32_t count, const double* vector, double* destination,
           int32_t destinationCount);
  // destination[i][r] = sum over c of matrix[r][c] * source[i][c] for r < height
  // (1 to 3); the matrix is row-major and must be 3 wide. Elements from height
  // up of each destination vector are left alone.
  bool MulMatrix(const double* matrix, int32_t width, int32_t height, const double* source,
                 int32_t count, double* destination, int32_t destinationCount);

 private:
  // Clears the error text and checks the counts every operation shares.
  bool BeginOperation(int32_t count, int32_t destinationCount);
  bool KernelResult(std::string_view message, kernels::KernelStatus status);
  // Add and Sub: one kernel call over count vectors with the fixed vector.
  bool WithVector(std::string_view message,
                  const kernels::KernelDispatchTable<kernels::VectorArrayVector64fFn>& kernel,
                  const double* source, int32_t count, const double* vector, double* destination,
                  int32_t destinationCount);

  CErrorText errorText_;
  std::string versionText_;
  std::string processorDetectedText_;
  std::string processorCodeUsedText_;
  std::string returnedText_;
};

}  // namespace klem
