// The vector kernels' results and statuses, and the ZEV_ interface; that every
// entry equals the generic one is kernel_paths_test's job.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "frame/library_texts.h"
#include "kernel_test_support.h"
#include "handle_test_support.h"
#include "kernels/vecmath.h"

namespace klem::kernels {
namespace {

// A double no computation here produces: it marks what must stay unwritten.
const double kSentinel = std::bit_cast<double>(0xA5A5A5A5A5A5A5A5ull);

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Vectors of three elements 16 bytes apart, 56 bytes between vectors: the gaps
// and the tail hold the sentinel.
struct Spread {
  static constexpr int32_t kVector = 56, kElement = 16, kCount = 5;
  double& At(int32_t i, int32_t e) { return storage[(i * kVector + e * kElement) / 8]; }
  bool IsElement(size_t k) const {
    return k < kCount * kVector / 8 && k * 8 % kVector % kElement == 0 && k * 8 % kVector < 3 * kElement;
  }
  double* data() { return storage.data(); }
  std::vector<double> storage = std::vector<double>(kCount * kVector / 8 + 2, kSentinel);
};

// Sums of products in order and values near the limits, so that another order
// or a fused multiply-add would change bits.
TEST(VecKernels, GenericResultsAreThePlainDoubleOperationsInOrder) {
  Spread src, dst;
  const double vec[3] = {0.1, -1e300, 3.0};
  const double matrix[9] = {1.5, -2, 1e-3, 0, 7, -0.25, 3, 3, 3};
  for (int32_t i = 0; i < Spread::kCount; ++i) {
    for (int32_t e = 0; e < 3; ++e) src.At(i, e) = (i + 1) * (e - 1.3) * 1e299;
  }
  const auto check = [&](KernelStatus status, auto expected, const char* what) {
    ASSERT_EQ(status, kStsNoErr) << what;
    for (size_t k = 0; k < dst.storage.size(); ++k) {
      EXPECT_TRUE(dst.IsElement(k) || SameBits(dst.storage[k], kSentinel)) << what << " gap " << k;
    }
    for (int32_t i = 0; i < Spread::kCount; ++i) {
      for (int32_t e = 0; e < 3; ++e) {
        EXPECT_TRUE(SameBits(dst.At(i, e), expected(i, e))) << what << " " << i << "," << e;
      }
    }
  };
  const int32_t v = Spread::kVector, el = Spread::kElement;
  check(generic::AddVectorArrayVector64f(src.data(), v, el, vec, 8, dst.data(), v, el, 3, 5),
        [&](int32_t i, int32_t e) { return src.At(i, e) + vec[e]; }, "add");
  check(generic::SubVectorArrayVector64f(src.data(), v, el, vec, 8, dst.data(), v, el, 3, 5),
        [&](int32_t i, int32_t e) { return src.At(i, e) - vec[e]; }, "sub");
  check(generic::MulVectorArrayScalar64f(src.data(), v, el, -3.5, dst.data(), v, el, 3, 5),
        [&](int32_t i, int32_t e) { return src.At(i, e) * -3.5; }, "mul");
  check(generic::MulMatrixVectorArray64f(matrix, 24, 8, 3, 3, src.data(), v, el, 3, dst.data(), v, el, 5),
        [&](int32_t i, int32_t r) {
          double sum = matrix[3 * r] * src.At(i, 0);
          sum += matrix[3 * r + 1] * src.At(i, 1);
          return sum + matrix[3 * r + 2] * src.At(i, 2);
        },
        "matrix");
}

// --- argument checks: status order, the same on every entry, nothing written ---

double g_values[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

// One valid call changed by each row; each row's status on every entry, and a
// refused call leaves the destination (sentinels) alone.
template <typename Args>
using Change = std::tuple<const char*, void (*)(Args&), KernelStatus>;

template <typename Args, typename Call>
std::vector<test::StatusCase> Rows(const std::vector<Change<Args>>& cases, Call call) {
  std::vector<test::StatusCase> rows;
  for (const auto& [what, change, expected] : cases) {
    rows.push_back({what, expected, [what = std::string(what), change = change, call](int32_t entry) {
                      std::vector<double> dst(9, kSentinel);
                      Args args;
                      args.dst = dst.data();
                      change(args);
                      const KernelStatus status = call(entry, args);
                      for (double d : dst) EXPECT_TRUE(status == kStsNoErr || SameBits(d, kSentinel)) << what;
                      return status;
                    }});
  }
  return rows;
}

struct VectorArgs {
  const double* src = g_values;
  int32_t srcVectorStride = 24, srcElementStride = 8;
  const double* vec = g_values;
  int32_t vecElementStride = 8;
  double* dst = nullptr;
  int32_t dstVectorStride = 24, dstElementStride = 8, length = 3, count = 3;
};

TEST(VecKernels, AddSubAndMulRefuseInOrder) {
  using A = VectorArgs;
  const std::vector<Change<A>> withVector = {
      {"valid", [](A&) {}, kStsNoErr},
      {"null source", [](A& a) { a.src = nullptr; }, kStsNullPtrErr},
      {"null vector", [](A& a) { a.vec = nullptr; }, kStsNullPtrErr},
      {"null destination", [](A& a) { a.dst = nullptr; }, kStsNullPtrErr},
      {"null before size", [](A& a) { a.vec = nullptr; a.length = 0; }, kStsNullPtrErr},
      {"length 0", [](A& a) { a.length = 0; }, kStsSizeErr},
      {"size before stride", [](A& a) { a.length = -1; a.srcVectorStride = 12; }, kStsSizeErr},
      {"source vector stride", [](A& a) { a.srcVectorStride = 12; }, kStsStrideMatrixErr},
      {"source element stride", [](A& a) { a.srcElementStride = 0; }, kStsStrideMatrixErr},
      {"vector element stride", [](A& a) { a.vecElementStride = -8; }, kStsStrideMatrixErr},
      {"destination vector stride", [](A& a) { a.dstVectorStride = 4; }, kStsStrideMatrixErr},
      {"destination element stride", [](A& a) { a.dstElementStride = 20; }, kStsStrideMatrixErr},
      {"stride before count", [](A& a) { a.dstElementStride = 9; a.count = 0; }, kStsStrideMatrixErr},
      {"count -1", [](A& a) { a.count = -1; }, kStsCountMatrixErr},
  };
  for (const auto* table : {&kAddVectorArrayVector64f, &kSubVectorArrayVector64f}) {
    test::ExpectStatusesOnEveryEntry(Rows(withVector, [table](int32_t entry, const A& a) {
      return table->Entry(entry)(a.src, a.srcVectorStride, a.srcElementStride, a.vec, a.vecElementStride,
                                 a.dst, a.dstVectorStride, a.dstElementStride, a.length, a.count);
    }));
  }
  // The scalar form checks the count before the size.
  test::ExpectStatusesOnEveryEntry(Rows<A>(
      {{"valid", [](A&) {}, kStsNoErr},
       {"null source", [](A& a) { a.src = nullptr; }, kStsNullPtrErr},
       {"null destination", [](A& a) { a.dst = nullptr; }, kStsNullPtrErr},
       {"null before count", [](A& a) { a.src = nullptr; a.count = 0; }, kStsNullPtrErr},
       {"count before size", [](A& a) { a.count = -2; a.length = 0; }, kStsCountMatrixErr},
       {"size before stride", [](A& a) { a.length = 0; a.srcElementStride = 3; }, kStsSizeErr},
       {"source vector stride", [](A& a) { a.srcVectorStride = 20; }, kStsStrideMatrixErr},
       {"destination element stride", [](A& a) { a.dstElementStride = 7; }, kStsStrideMatrixErr}},
      [](int32_t entry, const A& a) {
        return kMulVectorArrayScalar64f.Entry(entry)(a.src, a.srcVectorStride, a.srcElementStride, 2.0,
                                                     a.dst, a.dstVectorStride, a.dstElementStride, a.length,
                                                     a.count);
      }));
}

TEST(VecKernels, MatrixTimesVectorsRefusesInOrder) {
  struct A {
    const double* matrix = g_values;
    int32_t rowStride = 24, elementStride = 8, width = 3, height = 3;
    const double* src = g_values;
    int32_t srcVectorStride = 24, srcElementStride = 8, srcLength = 3;
    double* dst = nullptr;
    int32_t dstVectorStride = 24, dstElementStride = 8, count = 3;
  };
  test::ExpectStatusesOnEveryEntry(Rows<A>(
      {{"valid", [](A&) {}, kStsNoErr},
       {"null matrix", [](A& a) { a.matrix = nullptr; }, kStsNullPtrErr},
       {"null source", [](A& a) { a.src = nullptr; }, kStsNullPtrErr},
       {"null destination", [](A& a) { a.dst = nullptr; }, kStsNullPtrErr},
       {"null before count", [](A& a) { a.matrix = nullptr; a.count = 0; }, kStsNullPtrErr},
       {"count before size", [](A& a) { a.count = 0; a.width = 0; }, kStsCountMatrixErr},
       {"source length 0", [](A& a) { a.srcLength = 0; }, kStsSizeErr},
       {"height 0", [](A& a) { a.height = 0; }, kStsSizeErr},
       {"size before match", [](A& a) { a.srcLength = -1; a.width = 2; }, kStsSizeErr},
       {"width 4", [](A& a) { a.width = 4; a.rowStride = 32; }, kStsSizeMatchMatrixErr},
       {"match before stride", [](A& a) { a.width = 2; a.rowStride = 12; }, kStsSizeMatchMatrixErr},
       {"row stride", [](A& a) { a.rowStride = 12; }, kStsStrideMatrixErr},
       {"matrix element stride", [](A& a) { a.elementStride = 0; }, kStsStrideMatrixErr},
       {"source vector stride", [](A& a) { a.srcVectorStride = -24; }, kStsStrideMatrixErr},
       {"destination vector stride", [](A& a) { a.dstVectorStride = 23; }, kStsStrideMatrixErr},
       {"stride before height fit", [](A& a) { a.height = 9; a.dstElementStride = 1; }, kStsStrideMatrixErr},
       {"height past the vector", [](A& a) { a.height = 4; }, kStsSizeMatchMatrixErr},
       {"rows spread past the vector", [](A& a) { a.dstElementStride = 16; }, kStsSizeMatchMatrixErr},
       {"rows spread within the vector", [](A& a) { a.height = 1; a.dstElementStride = 16; }, kStsNoErr}},
      [](int32_t entry, const A& a) {
        return kMulMatrixVectorArray64f.Entry(entry)(a.matrix, a.rowStride, a.elementStride, a.width,
                                                     a.height, a.src, a.srcVectorStride, a.srcElementStride,
                                                     a.srcLength, a.dst, a.dstVectorStride,
                                                     a.dstElementStride, a.count);
      }));
}

}  // namespace
}  // namespace klem::kernels

// --- the exported interface ----------------------------------------------------

namespace {

using klem::ComposeKernelErrorText;

constexpr double kUnwritten = -777.25;
const double kSource[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
const std::string kMismatch = "Source datalength differs from destination length!";

using VectorOperation = uint32_t (*)(ZEV_HANDLE, const double*, int32_t, const double*, double*, int32_t);

TEST(FastMathExports, VectorOperationsComputeEveryComponentAndRefuseBadArguments) {
  struct Case {
    const char* message;
    VectorOperation op;
    double vector[3];
    double expected[6];
  };
  const Case cases[] = {
      {"Can't add!", ZEV_Add, {10, 20, 30}, {11, 22, 33, 14, 25, 36}},
      {"Can't sub!", ZEV_Sub, {10, 20, 30}, {-9, -18, -27, -6, -15, -24}},
      {"Can't mul!", ZEV_Mul, {2, 0, -1}, {2, 0, -3, 8, 0, -6}},
  };
  for (const Case& c : cases) {
    klem::test::HostMath fm;
    std::vector<double> dst(7, kUnwritten), inPlace(kSource, kSource + 6);
    ASSERT_EQ(c.op(fm.h(), kSource, 2, c.vector, dst.data(), 2), KLEM_OK) << c.message;
    ASSERT_EQ(c.op(fm.h(), inPlace.data(), 2, c.vector, inPlace.data(), 2), KLEM_OK) << c.message;
    EXPECT_EQ(fm.Error(), "");
    for (int k = 0; k < 6; ++k) EXPECT_EQ(dst[k], c.expected[k]) << c.message << " " << k;
    for (int k = 0; k < 6; ++k) EXPECT_EQ(inPlace[k], c.expected[k]) << c.message << " in place " << k;
    EXPECT_EQ(dst[6], kUnwritten) << c.message;

    std::vector<double> untouched(9, kUnwritten);
    const auto refuse = [&](const double* src, int32_t count, const double* vec, int32_t dstCount,
                            const std::string& error) {
      ZEV_SetError(fm.h(), "earlier");
      EXPECT_EQ(c.op(fm.h(), src, count, vec, untouched.data(), dstCount), KLEM_FAILED) << c.message;
      EXPECT_EQ(fm.Error(), error) << c.message << " count " << count;
    };
    refuse(kSource, 0, c.vector, 0, "");  // no text for an empty count
    refuse(kSource, -1, c.vector, -1, "");
    refuse(kSource, 3, c.vector, 2, kMismatch);
    refuse(kSource, 3, nullptr, 3, ComposeKernelErrorText(c.message, klem::kernels::kStsNullPtrErr));
    refuse(nullptr, 3, c.vector, 3, ComposeKernelErrorText(c.message, klem::kernels::kStsNullPtrErr));
    for (double v : untouched) EXPECT_EQ(v, kUnwritten) << c.message;
  }
}

TEST(FastMathExports, MatrixTimesVectors) {
  const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  const double rows[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  struct Case {
    const char* name;
    const double* matrix;
    int32_t width, height, count, dstCount;
    std::string error;
    double expected[6];  // kUnwritten where the destination keeps its value
  };
  const std::string message = "Can't multiply with matrix!";
  const Case cases[] = {
      {"identity", identity, 3, 3, 2, 2, "", {1, 2, 3, 4, 5, 6}},
      {"rows", rows, 3, 3, 2, 2, "", {14, 32, 50, 32, 77, 122}},
      {"two rows", rows, 3, 2, 2, 2, "", {14, 32, kUnwritten, 32, 77, kUnwritten}},
      {"one row", rows, 3, 1, 2, 2, "", {14, kUnwritten, kUnwritten, 32, kUnwritten, kUnwritten}},
      {"count 0", rows, 3, 3, 0, 0, "", {}},
      {"counts differ", rows, 3, 3, 3, 2, kMismatch, {}},
      {"width 4", rows, 4, 3, 2, 2, ComposeKernelErrorText(message, -204), {}},
      {"width 2", rows, 2, 3, 2, 2, ComposeKernelErrorText(message, -204), {}},
      {"width 0", rows, 0, 3, 2, 2, ComposeKernelErrorText(message, -6), {}},
      {"height 4", rows, 3, 4, 2, 2, ComposeKernelErrorText(message, -204), {}},
      {"height 0", rows, 3, 0, 2, 2, ComposeKernelErrorText(message, -6), {}},
      {"null matrix", nullptr, 3, 3, 2, 2, ComposeKernelErrorText(message, -8), {}},
  };
  for (const Case& c : cases) {
    klem::test::HostMath fm;
    ZEV_SetError(fm.h(), "earlier");
    std::vector<double> dst(7, kUnwritten);
    const bool ok = c.error.empty() && c.count > 0;
    EXPECT_EQ(ZEV_MulMatrix(fm.h(), c.matrix, c.width, c.height, kSource, c.count, dst.data(), c.dstCount),
              ok ? KLEM_OK : KLEM_FAILED)
        << c.name;
    EXPECT_EQ(fm.Error(), c.error) << c.name;
    for (int k = 0; k < 7; ++k) EXPECT_EQ(dst[k], ok && k < 6 ? c.expected[k] : kUnwritten) << c.name << k;
  }
  // In place, every row reads the whole source vector before it is written.
  klem::test::HostMath fm;
  double data[6] = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(ZEV_MulMatrix(fm.h(), rows, 3, 3, data, 2, data, 2), KLEM_OK);
  EXPECT_EQ(std::vector<double>(data, data + 6), (std::vector<double>{14, 32, 50, 32, 77, 122}));
}

}  // namespace
