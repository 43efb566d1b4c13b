#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "frame/library_texts.h"
#include "kernel_test_support.h"
#include "kernels/vecmath.h"
#include "klem/klem.h"

namespace klem::kernels {
namespace {

// A normal double with a pattern no computation here produces.
const double kSentinel = std::bit_cast<double>(0xA5A5A5A5A5A5A5A5ull);
constexpr int32_t kTailDoubles = 4;

// count vectors of `length` doubles laid out by byte strides; every double of
// the storage that is not an element (gaps, and a tail after the last vector)
// holds the sentinel, and so do the elements until they are filled.
class VectorArray {
 public:
  VectorArray(int32_t count, int32_t length, int32_t vectorStride, int32_t elementStride)
      : count_(count), length_(length), vectorStride_(vectorStride),
        elementStride_(elementStride),
        storage_(Index(count - 1, length - 1) + 1 + kTailDoubles, kSentinel),
        isElement_(storage_.size(), false) {
    for (int32_t i = 0; i < count; ++i) {
      for (int32_t e = 0; e < length; ++e) isElement_[Index(i, e)] = true;
    }
  }

  template <typename Draw>
  VectorArray& Fill(Draw draw) {
    for (int32_t i = 0; i < count_; ++i) {
      for (int32_t e = 0; e < length_; ++e) At(i, e) = draw();
    }
    return *this;
  }

  double* data() { return storage_.data(); }
  double& At(int32_t i, int32_t e) { return storage_[Index(i, e)]; }
  int32_t vectorStride() const { return vectorStride_; }
  int32_t elementStride() const { return elementStride_; }

  bool NonElementsIntact() const {
    for (size_t k = 0; k < storage_.size(); ++k) {
      if (!isElement_[k] && !SameBits(storage_[k], kSentinel)) return false;
    }
    return true;
  }
  bool AllSentinel() const {
    for (double v : storage_) {
      if (!SameBits(v, kSentinel)) return false;
    }
    return true;
  }
  bool SameBitsAs(const VectorArray& other) const {
    return storage_.size() == other.storage_.size() &&
           std::memcmp(storage_.data(), other.storage_.data(), storage_.size() * sizeof(double)) == 0;
  }
  static bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

 private:
  size_t Index(int32_t i, int32_t e) const {
    return (static_cast<size_t>(i) * vectorStride_ + static_cast<size_t>(e) * elementStride_) /
           sizeof(double);
  }

  int32_t count_, length_, vectorStride_, elementStride_;
  std::vector<double> storage_;
  std::vector<bool> isElement_;
};

// Mostly ordinary values, with zeros of both signs, infinities, NaN,
// subnormals and values near overflow mixed in.
class ValueSource {
 public:
  explicit ValueSource(uint32_t seed) : rng_(seed) {}
  double operator()() {
    if (pick_(rng_) == 0) return kEdgeValues[edge_(rng_)];
    return ordinary_(rng_);
  }

 private:
  static constexpr double kEdgeValues[] = {0.0,
                                        -0.0,
                                        std::numeric_limits<double>::infinity(),
                                        -std::numeric_limits<double>::infinity(),
                                        std::numeric_limits<double>::quiet_NaN(),
                                        std::numeric_limits<double>::denorm_min(),
                                        -3e-310,
                                        1e308,
                                        -std::numeric_limits<double>::max(),
                                        1.0 / 3.0};
  std::mt19937 rng_;
  std::uniform_int_distribution<int32_t> pick_{0, 15};
  std::uniform_int_distribution<size_t> edge_{0, std::size(kEdgeValues) - 1};
  std::uniform_real_distribution<double> ordinary_{-1000.0, 1000.0};
};

struct Layout {
  int32_t elementStride, padding;  // vector stride = length * elementStride + padding
  int32_t VectorStride(int32_t length) const { return length * elementStride + padding; }
};

// With length 3 the vector strides are 24, 32, 40, 48, 56 and 80 bytes.
const Layout kLayouts[] = {{8, 0}, {8, 8}, {8, 16}, {16, 0}, {16, 8}, {24, 8}};
constexpr int32_t kLayoutCount = static_cast<int32_t>(std::size(kLayouts));

VectorArray MakeArray(int32_t count, int32_t length, const Layout& layout) {
  return VectorArray(count, length, layout.VectorStride(length), layout.elementStride);
}

// Every count up to 33 (odd and even, around the pairs a path may take at
// once), then a large odd count.
std::vector<int32_t> TestCounts() {
  std::vector<int32_t> counts;
  for (int32_t count = 1; count <= 33; ++count) counts.push_back(count);
  counts.push_back(1001);
  return counts;
}

// Runs `call` on the generic entry and on every other entry this processor
// runs, each on its own copy of `destination`; expects success, the generic
// result equal in every bit to `reference(i, e)`, and every path equal in
// every byte (gaps and tail included) to the generic.
template <typename Fn, typename Call, typename Reference>
void ExpectPathsMatchGeneric(const KernelDispatchTable<Fn>& table, const VectorArray& destination,
                             int32_t count, int32_t length, Call call, Reference reference,
                             const std::string& context) {
  VectorArray expected = destination;
  ASSERT_EQ(call(table.Entry(kPathGeneric), expected), kStsNoErr) << context;
  ASSERT_TRUE(expected.NonElementsIntact()) << "g0 " << context;
  for (int32_t i = 0; i < count; ++i) {
    for (int32_t e = 0; e < length; ++e) {
      ASSERT_TRUE(VectorArray::SameBits(expected.At(i, e), reference(i, e)))
          << "g0 vector " << i << " element " << e << " " << context;
    }
  }
  for (int32_t path = 1; path <= HighestRunnableCodePath(); ++path) {
    VectorArray actual = destination;
    ASSERT_EQ(call(table.Entry(path), actual), kStsNoErr) << test::PathName(path) << " " << context;
    ASSERT_TRUE(actual.SameBitsAs(expected)) << test::PathName(path) << " " << context;
  }
}

std::string Describe(int32_t count, int32_t length, int32_t srcLayout, int32_t dstLayout,
                     const std::string& extra) {
  return extra + " count " + std::to_string(count) + " length " + std::to_string(length) +
         " layouts " + std::to_string(srcLayout) + "/" + std::to_string(dstLayout);
}

TEST(VecKernelPaths, AddAndSubMatchGeneric) {
  struct Kernel {
    const char* name;
    const KernelDispatchTable<VectorArrayVector64fFn>* table;
    double (*op)(double, double);
  };
  const Kernel kernels[] = {
      {"add", &kAddVectorArrayVector64f, [](double s, double v) { return s + v; }},
      {"sub", &kSubVectorArrayVector64f, [](double s, double v) { return s - v; }}};
  ValueSource values(11);
  for (const Kernel& k : kernels) {
    for (int32_t length = 1; length <= 4; ++length) {
      for (int32_t count : TestCounts()) {
        for (int32_t a = 0; a < kLayoutCount; ++a) {
          const int32_t b = (a + count) % kLayoutCount;
          VectorArray src = MakeArray(count, length, kLayouts[a]);
          src.Fill(values);
          const int32_t vecStride = 8 * (1 + a % 2);
          VectorArray vec(1, length, length * vecStride, vecStride);
          vec.Fill(values);
          const VectorArray dst = MakeArray(count, length, kLayouts[b]);
          ExpectPathsMatchGeneric(
              *k.table, dst, count, length,
              [&](VectorArrayVector64fFn* fn, VectorArray& d) {
                return fn(src.data(), src.vectorStride(), src.elementStride(), vec.data(),
                          vecStride, d.data(), d.vectorStride(), d.elementStride(), length, count);
              },
              [&](int32_t i, int32_t e) { return k.op(src.At(i, e), vec.At(0, e)); },
              Describe(count, length, a, b, k.name));
          // In place: the destination is the source.
          ExpectPathsMatchGeneric(
              *k.table, src, count, length,
              [&](VectorArrayVector64fFn* fn, VectorArray& d) {
                return fn(d.data(), d.vectorStride(), d.elementStride(), vec.data(), vecStride,
                          d.data(), d.vectorStride(), d.elementStride(), length, count);
              },
              [&](int32_t i, int32_t e) { return k.op(src.At(i, e), vec.At(0, e)); },
              Describe(count, length, a, a, std::string(k.name) + " in place"));
        }
      }
    }
  }
}

TEST(VecKernelPaths, MulByScalarMatchesGeneric) {
  ValueSource values(12);
  for (int32_t length = 1; length <= 4; ++length) {
    for (int32_t count : TestCounts()) {
      for (int32_t a = 0; a < kLayoutCount; ++a) {
        const int32_t b = (a + count) % kLayoutCount;
        VectorArray src = MakeArray(count, length, kLayouts[a]);
        src.Fill(values);
        const double factor = values();
        const VectorArray dst = MakeArray(count, length, kLayouts[b]);
        const std::string context = Describe(count, length, a, b, "factor " + std::to_string(factor));
        ExpectPathsMatchGeneric(
            kMulVectorArrayScalar64f, dst, count, length,
            [&](VectorArrayScalar64fFn* fn, VectorArray& d) {
              return fn(src.data(), src.vectorStride(), src.elementStride(), factor, d.data(),
                        d.vectorStride(), d.elementStride(), length, count);
            },
            [&](int32_t i, int32_t e) { return src.At(i, e) * factor; }, context);
        ExpectPathsMatchGeneric(
            kMulVectorArrayScalar64f, src, count, length,
            [&](VectorArrayScalar64fFn* fn, VectorArray& d) {
              return fn(d.data(), d.vectorStride(), d.elementStride(), factor, d.data(),
                        d.vectorStride(), d.elementStride(), length, count);
            },
            [&](int32_t i, int32_t e) { return src.At(i, e) * factor; }, context + " in place");
      }
    }
  }
}

TEST(VecKernelPaths, MatrixTimesVectorsMatchesGeneric) {
  ValueSource values(13);
  for (int32_t width = 1; width <= 4; ++width) {
    for (int32_t height = 1; height <= 4; ++height) {
      for (int32_t count : TestCounts()) {
        for (int32_t a = 0; a < kLayoutCount; ++a) {
          const int32_t b = (a + count) % kLayoutCount;
          // Matrix rows laid out like the vectors of another layout.
          const Layout& m = kLayouts[(a + 2) % kLayoutCount];
          VectorArray matrix = MakeArray(height, width, m);
          matrix.Fill(values);
          VectorArray src = MakeArray(count, width, kLayouts[a]);
          src.Fill(values);
          const VectorArray dst = MakeArray(count, height, kLayouts[b]);
          ExpectPathsMatchGeneric(
              kMulMatrixVectorArray64f, dst, count, height,
              [&](MatrixVectorArray64fFn* fn, VectorArray& d) {
                return fn(matrix.data(), matrix.vectorStride(), matrix.elementStride(), width,
                          height, src.data(), src.vectorStride(), src.elementStride(), width,
                          d.data(), d.vectorStride(), d.elementStride(), count);
              },
              [&](int32_t i, int32_t r) {
                double sum = matrix.At(r, 0) * src.At(i, 0);
                for (int32_t c = 1; c < width; ++c) sum += matrix.At(r, c) * src.At(i, c);
                return sum;
              },
              Describe(count, width, a, b, "height " + std::to_string(height)));
        }
      }
    }
  }
}

// --- argument checks: status order, the same on every path, nothing written ---

template <typename Fn, typename Args, typename Call>
void ExpectRefusedOnEveryPath(const KernelDispatchTable<Fn>& table, const Args& args,
                              KernelStatus expected, Call call, const std::string& context) {
  for (int32_t path = 0; path <= HighestRunnableCodePath(); ++path) {
    VectorArray dst(3, 3, 24, 8);
    Args a = args;
    if (a.dst != nullptr) a.dst = dst.data();
    EXPECT_EQ(call(table.Entry(path), a), expected) << test::PathName(path) << " " << context;
    if (expected != kStsNoErr) {
      EXPECT_TRUE(dst.AllSentinel()) << test::PathName(path) << " " << context;
    }
  }
}

double g_values[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
double g_placeholder[1];  // replaced by each run's own destination

struct VectorArgs {
  const double* src = g_values;
  int32_t srcVectorStride = 24, srcElementStride = 8;
  const double* vec = g_values;
  int32_t vecElementStride = 8;
  double* dst = g_placeholder;
  int32_t dstVectorStride = 24, dstElementStride = 8, length = 3, count = 3;
};

TEST(VecKernelChecks, AddAndSubRefuseInOrder) {
  struct Case {
    const char* what;
    void (*change)(VectorArgs&);
    KernelStatus expected;
  };
  const Case cases[] = {
      {"valid", [](VectorArgs&) {}, kStsNoErr},
      {"null source", [](VectorArgs& a) { a.src = nullptr; }, kStsNullPtrErr},
      {"null vector", [](VectorArgs& a) { a.vec = nullptr; }, kStsNullPtrErr},
      {"null destination", [](VectorArgs& a) { a.dst = nullptr; }, kStsNullPtrErr},
      {"null before size", [](VectorArgs& a) { a.vec = nullptr; a.length = 0; }, kStsNullPtrErr},
      {"length 0", [](VectorArgs& a) { a.length = 0; }, kStsSizeErr},
      {"size before stride", [](VectorArgs& a) { a.length = -1; a.srcVectorStride = 12; }, kStsSizeErr},
      {"source vector stride", [](VectorArgs& a) { a.srcVectorStride = 12; }, kStsStrideMatrixErr},
      {"source element stride", [](VectorArgs& a) { a.srcElementStride = 0; }, kStsStrideMatrixErr},
      {"vector element stride", [](VectorArgs& a) { a.vecElementStride = -8; }, kStsStrideMatrixErr},
      {"destination vector stride", [](VectorArgs& a) { a.dstVectorStride = 4; }, kStsStrideMatrixErr},
      {"destination element stride", [](VectorArgs& a) { a.dstElementStride = 20; }, kStsStrideMatrixErr},
      {"stride before count", [](VectorArgs& a) { a.dstElementStride = 9; a.count = 0; }, kStsStrideMatrixErr},
      {"count 0", [](VectorArgs& a) { a.count = 0; }, kStsCountMatrixErr},
      {"count -1", [](VectorArgs& a) { a.count = -1; }, kStsCountMatrixErr},
  };
  for (const auto* table : {&kAddVectorArrayVector64f, &kSubVectorArrayVector64f}) {
    for (const Case& c : cases) {
      VectorArgs args;
      c.change(args);
      ExpectRefusedOnEveryPath(*table, args, c.expected,
                               [](VectorArrayVector64fFn* fn, const VectorArgs& a) {
                                 return fn(a.src, a.srcVectorStride, a.srcElementStride, a.vec,
                                           a.vecElementStride, a.dst, a.dstVectorStride,
                                           a.dstElementStride, a.length, a.count);
                               },
                               c.what);
    }
  }
}

TEST(VecKernelChecks, MulByScalarRefusesInOrder) {
  struct Case {
    const char* what;
    void (*change)(VectorArgs&);
    KernelStatus expected;
  };
  const Case cases[] = {
      {"valid", [](VectorArgs&) {}, kStsNoErr},
      {"null source", [](VectorArgs& a) { a.src = nullptr; }, kStsNullPtrErr},
      {"null destination", [](VectorArgs& a) { a.dst = nullptr; }, kStsNullPtrErr},
      {"null before count", [](VectorArgs& a) { a.src = nullptr; a.count = 0; }, kStsNullPtrErr},
      {"count 0", [](VectorArgs& a) { a.count = 0; }, kStsCountMatrixErr},
      {"count before size", [](VectorArgs& a) { a.count = -2; a.length = 0; }, kStsCountMatrixErr},
      {"length 0", [](VectorArgs& a) { a.length = 0; }, kStsSizeErr},
      {"size before stride", [](VectorArgs& a) { a.length = 0; a.srcElementStride = 3; }, kStsSizeErr},
      {"source vector stride", [](VectorArgs& a) { a.srcVectorStride = 20; }, kStsStrideMatrixErr},
      {"source element stride", [](VectorArgs& a) { a.srcElementStride = -16; }, kStsStrideMatrixErr},
      {"destination vector stride", [](VectorArgs& a) { a.dstVectorStride = 0; }, kStsStrideMatrixErr},
      {"destination element stride", [](VectorArgs& a) { a.dstElementStride = 7; }, kStsStrideMatrixErr},
  };
  for (const Case& c : cases) {
    VectorArgs args;
    c.change(args);
    ExpectRefusedOnEveryPath(kMulVectorArrayScalar64f, args, c.expected,
                             [](VectorArrayScalar64fFn* fn, const VectorArgs& a) {
                               return fn(a.src, a.srcVectorStride, a.srcElementStride, 2.0, a.dst,
                                         a.dstVectorStride, a.dstElementStride, a.length, a.count);
                             },
                             c.what);
  }
}

TEST(VecKernelChecks, MatrixTimesVectorsRefusesInOrder) {
  struct MatrixArgs {
    const double* matrix = g_values;
    int32_t rowStride = 24, elementStride = 8, width = 3, height = 3;
    const double* src = g_values;
    int32_t srcVectorStride = 24, srcElementStride = 8, srcLength = 3;
    double* dst = g_placeholder;
    int32_t dstVectorStride = 24, dstElementStride = 8, count = 3;
  };
  struct Case {
    const char* what;
    void (*change)(MatrixArgs&);
    KernelStatus expected;
  };
  const Case cases[] = {
      {"valid", [](MatrixArgs&) {}, kStsNoErr},
      {"null matrix", [](MatrixArgs& a) { a.matrix = nullptr; }, kStsNullPtrErr},
      {"null source", [](MatrixArgs& a) { a.src = nullptr; }, kStsNullPtrErr},
      {"null destination", [](MatrixArgs& a) { a.dst = nullptr; }, kStsNullPtrErr},
      {"null before count", [](MatrixArgs& a) { a.matrix = nullptr; a.count = 0; }, kStsNullPtrErr},
      {"count 0", [](MatrixArgs& a) { a.count = 0; }, kStsCountMatrixErr},
      {"count before size", [](MatrixArgs& a) { a.count = 0; a.width = 0; }, kStsCountMatrixErr},
      {"source length 0", [](MatrixArgs& a) { a.srcLength = 0; }, kStsSizeErr},
      {"width 0", [](MatrixArgs& a) { a.width = 0; }, kStsSizeErr},
      {"height 0", [](MatrixArgs& a) { a.height = 0; }, kStsSizeErr},
      {"size before match", [](MatrixArgs& a) { a.srcLength = -1; a.width = 2; }, kStsSizeErr},
      {"width 4", [](MatrixArgs& a) { a.width = 4; a.rowStride = 32; }, kStsSizeMatchMatrixErr},
      {"match before stride", [](MatrixArgs& a) { a.width = 2; a.rowStride = 12; }, kStsSizeMatchMatrixErr},
      {"row stride", [](MatrixArgs& a) { a.rowStride = 12; }, kStsStrideMatrixErr},
      {"matrix element stride", [](MatrixArgs& a) { a.elementStride = 0; }, kStsStrideMatrixErr},
      {"source vector stride", [](MatrixArgs& a) { a.srcVectorStride = -24; }, kStsStrideMatrixErr},
      {"source element stride", [](MatrixArgs& a) { a.srcElementStride = 4; }, kStsStrideMatrixErr},
      {"destination vector stride", [](MatrixArgs& a) { a.dstVectorStride = 23; }, kStsStrideMatrixErr},
      {"destination element stride", [](MatrixArgs& a) { a.dstElementStride = 1; }, kStsStrideMatrixErr},
      {"stride before height fit", [](MatrixArgs& a) { a.height = 9; a.dstElementStride = 1; }, kStsStrideMatrixErr},
      {"height past the vector", [](MatrixArgs& a) { a.height = 4; }, kStsSizeMatchMatrixErr},
      {"rows spread past the vector", [](MatrixArgs& a) { a.dstElementStride = 16; }, kStsSizeMatchMatrixErr},
      {"rows spread within the vector", [](MatrixArgs& a) { a.height = 1; a.dstElementStride = 16; }, kStsNoErr},
  };
  for (const Case& c : cases) {
    MatrixArgs args;
    c.change(args);
    ExpectRefusedOnEveryPath(kMulMatrixVectorArray64f, args, c.expected,
                             [](MatrixVectorArray64fFn* fn, const MatrixArgs& a) {
                               return fn(a.matrix, a.rowStride, a.elementStride, a.width, a.height,
                                         a.src, a.srcVectorStride, a.srcElementStride, a.srcLength,
                                         a.dst, a.dstVectorStride, a.dstElementStride, a.count);
                             },
                             c.what);
  }
}

}  // namespace
}  // namespace klem::kernels

// --- the exported interface ----------------------------------------------------

namespace {

using klem::ComposeKernelErrorText;

constexpr double kUnwritten = -777.25;

class FastMath {
 public:
  FastMath() : handle_(ZEV_CreateCFastMath()) {}
  FastMath(const FastMath&) = delete;
  FastMath& operator=(const FastMath&) = delete;
  ~FastMath() { ZEV_FreeCFastMath(handle_); }

  ZEV_HANDLE h() const { return handle_; }
  std::string Error() const {
    char buffer[KLEM_ERROR_BUFFER_SIZE];
    EXPECT_EQ(ZEV_GetError(handle_, buffer), KLEM_OK);
    return buffer;
  }

 private:
  ZEV_HANDLE handle_;
};

using VectorOperation = uint32_t (*)(ZEV_HANDLE, const double*, int32_t, const double*, double*,
                                     int32_t);

const double kSource[] = {1, 2, 3, 4, 5, 6};

TEST(FastMathExports, VectorOperationsComputeEveryComponent) {
  struct Case {
    const char* name;
    VectorOperation op;
    double vector[3];
    double expected[6];
  };
  const Case cases[] = {
      {"add", ZEV_Add, {10, 20, 30}, {11, 22, 33, 14, 25, 36}},
      {"sub", ZEV_Sub, {10, 20, 30}, {-9, -18, -27, -6, -15, -24}},
      {"mul", ZEV_Mul, {2, 0, -1}, {2, 0, -3, 8, 0, -6}},
  };
  for (const Case& c : cases) {
    FastMath fm;
    double dst[7] = {kUnwritten, kUnwritten, kUnwritten, kUnwritten, kUnwritten, kUnwritten,
                     kUnwritten};
    ASSERT_EQ(c.op(fm.h(), kSource, 2, c.vector, dst, 2), KLEM_OK) << c.name;
    EXPECT_EQ(fm.Error(), "") << c.name;
    for (int k = 0; k < 6; ++k) EXPECT_EQ(dst[k], c.expected[k]) << c.name << " " << k;
    EXPECT_EQ(dst[6], kUnwritten) << c.name;

    // In place gives the same.
    double inPlace[6];
    std::memcpy(inPlace, kSource, sizeof inPlace);
    ASSERT_EQ(c.op(fm.h(), inPlace, 2, c.vector, inPlace, 2), KLEM_OK) << c.name;
    for (int k = 0; k < 6; ++k) EXPECT_EQ(inPlace[k], c.expected[k]) << c.name << " in place " << k;
  }
}

TEST(FastMathExports, VectorOperationsRefuseBadCountsAndMissingVectors) {
  struct Case {
    const char* name;
    VectorOperation op;
    const char* message;
  };
  const Case cases[] = {{"add", ZEV_Add, "Can't add!"},
                        {"sub", ZEV_Sub, "Can't sub!"},
                        {"mul", ZEV_Mul, "Can't mul!"}};
  const double vector[3] = {1, 2, 3};
  const std::string mismatch = "Source datalength differs from destination length!";
  for (const Case& c : cases) {
    FastMath fm;
    double dst[9] = {kUnwritten, kUnwritten, kUnwritten, kUnwritten, kUnwritten,
                     kUnwritten, kUnwritten, kUnwritten, kUnwritten};
    const double source[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (int32_t count : {0, -1}) {
      ASSERT_EQ(ZEV_SetError(fm.h(), "earlier"), KLEM_OK);
      EXPECT_EQ(c.op(fm.h(), source, count, vector, dst, count), KLEM_FAILED) << c.name;
      EXPECT_EQ(fm.Error(), "") << c.name << " count " << count;
    }
    EXPECT_EQ(c.op(fm.h(), source, 3, vector, dst, 2), KLEM_FAILED) << c.name;
    EXPECT_EQ(fm.Error(), mismatch) << c.name;
    EXPECT_EQ(c.op(fm.h(), source, 3, nullptr, dst, 3), KLEM_FAILED) << c.name;
    EXPECT_EQ(fm.Error(), ComposeKernelErrorText(c.message, klem::kernels::kStsNullPtrErr))
        << c.name;
    EXPECT_EQ(c.op(fm.h(), nullptr, 3, vector, dst, 3), KLEM_FAILED) << c.name;
    EXPECT_EQ(fm.Error(), ComposeKernelErrorText(c.message, klem::kernels::kStsNullPtrErr))
        << c.name;
    for (double v : dst) EXPECT_EQ(v, kUnwritten) << c.name;
    // A later success clears the text.
    EXPECT_EQ(c.op(fm.h(), source, 3, vector, dst, 3), KLEM_OK) << c.name;
    EXPECT_EQ(fm.Error(), "") << c.name;
  }
}

TEST(FastMathExports, MatrixTimesVectors) {
  const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  const double rows[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  struct Case {
    const char* name;
    const double* matrix;
    int32_t height;
    double expected[6];  // kUnwritten where the destination must keep its value
  };
  const Case cases[] = {
      {"identity", identity, 3, {1, 2, 3, 4, 5, 6}},
      {"rows", rows, 3, {14, 32, 50, 32, 77, 122}},
      {"two rows", rows, 2, {14, 32, kUnwritten, 32, 77, kUnwritten}},
      {"one row", rows, 1, {14, kUnwritten, kUnwritten, 32, kUnwritten, kUnwritten}},
  };
  for (const Case& c : cases) {
    FastMath fm;
    double dst[7] = {kUnwritten, kUnwritten, kUnwritten, kUnwritten, kUnwritten, kUnwritten,
                     kUnwritten};
    ASSERT_EQ(ZEV_MulMatrix(fm.h(), c.matrix, 3, c.height, kSource, 2, dst, 2), KLEM_OK) << c.name;
    EXPECT_EQ(fm.Error(), "") << c.name;
    for (int k = 0; k < 6; ++k) EXPECT_EQ(dst[k], c.expected[k]) << c.name << " " << k;
    EXPECT_EQ(dst[6], kUnwritten) << c.name;
  }
}

TEST(FastMathExports, MatrixTimesVectorsInPlaceReadsTheWholeSourceFirst) {
  const double rows[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  FastMath fm;
  double data[6] = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(ZEV_MulMatrix(fm.h(), rows, 3, 3, data, 2, data, 2), KLEM_OK);
  const double expected[6] = {14, 32, 50, 32, 77, 122};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(data[k], expected[k]) << k;
}

TEST(FastMathExports, MatrixTimesVectorsRefusals) {
  const double matrix[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  const std::string message = "Can't multiply with matrix!";
  const std::string mismatch = "Source datalength differs from destination length!";
  struct Case {
    const char* name;
    const double* matrix;
    int32_t width, height, count, destinationCount;
    std::string error;
  };
  const Case cases[] = {
      {"count 0", matrix, 3, 3, 0, 0, ""},
      {"count -2", matrix, 3, 3, -2, -2, ""},
      {"counts differ", matrix, 3, 3, 3, 2, mismatch},
      {"width 4", matrix, 4, 3, 3, 3, ComposeKernelErrorText(message, -204)},
      {"width 2", matrix, 2, 3, 3, 3, ComposeKernelErrorText(message, -204)},
      {"width 0", matrix, 0, 3, 3, 3, ComposeKernelErrorText(message, -6)},
      {"height 4", matrix, 3, 4, 3, 3, ComposeKernelErrorText(message, -204)},
      {"height 0", matrix, 3, 0, 3, 3, ComposeKernelErrorText(message, -6)},
      {"null matrix", nullptr, 3, 3, 3, 3, ComposeKernelErrorText(message, -8)},
  };
  const double source[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (const Case& c : cases) {
    FastMath fm;
    ASSERT_EQ(ZEV_SetError(fm.h(), "earlier"), KLEM_OK);
    double dst[12];
    for (double& v : dst) v = kUnwritten;
    EXPECT_EQ(ZEV_MulMatrix(fm.h(), c.matrix, c.width, c.height, source, c.count, dst,
                            c.destinationCount),
              KLEM_FAILED)
        << c.name;
    EXPECT_EQ(fm.Error(), c.error) << c.name;
    for (double v : dst) EXPECT_EQ(v, kUnwritten) << c.name;
  }
}

TEST(FastMathExports, NullHandleAndNullOutPointersAreRefused) {
  const char* text = "untouched";
  char buffer[KLEM_ERROR_BUFFER_SIZE] = "untouched";
  const double values[3] = {1, 2, 3};
  double dst[3] = {kUnwritten, kUnwritten, kUnwritten};
  FastMath fm;
  const uint32_t results[] = {
      ZEV_FreeCFastMath(nullptr),
      ZEV_GetError(nullptr, buffer),
      ZEV_SetError(nullptr, "x"),
      ZEV_GetVersion(nullptr, &text),
      ZEV_GetProcessorDetected(nullptr, &text),
      ZEV_GetProcessorCodeUsed(nullptr, &text),
      ZEV_Add(nullptr, values, 1, values, dst, 1),
      ZEV_Sub(nullptr, values, 1, values, dst, 1),
      ZEV_Mul(nullptr, values, 1, values, dst, 1),
      ZEV_MulMatrix(nullptr, values, 3, 1, values, 1, dst, 1),
      ZEV_GetError(fm.h(), nullptr),
      ZEV_GetVersion(fm.h(), nullptr),
      ZEV_GetProcessorDetected(fm.h(), nullptr),
      ZEV_GetProcessorCodeUsed(fm.h(), nullptr),
  };
  for (uint32_t result : results) EXPECT_EQ(result, KLEM_INVALID_ARG);
  EXPECT_STREQ(text, "untouched");
  EXPECT_STREQ(buffer, "untouched");
  for (double v : dst) EXPECT_EQ(v, kUnwritten);
}

TEST(FastMathExports, TextsMatchTheImageObject) {
  FastMath fm;
  KLEM_HANDLE image = KLEM_CreateCKorPelora();
  ASSERT_NE(fm.h(), nullptr);
  ASSERT_NE(image, nullptr);
  using Getter = uint32_t (*)(ZEV_HANDLE, const char**);
  using ImageGetter = uint32_t (*)(KLEM_HANDLE, const char**);
  const std::pair<Getter, ImageGetter> getters[] = {
      {ZEV_GetVersion, KLEM_GetVersion},
      {ZEV_GetProcessorDetected, KLEM_GetProcessorDetected},
      {ZEV_GetProcessorCodeUsed, KLEM_GetProcessorCodeUsed},
  };
  for (const auto& [get, getImage] : getters) {
    const char* ours = nullptr;
    const char* theirs = nullptr;
    ASSERT_EQ(get(fm.h(), &ours), KLEM_OK);
    ASSERT_EQ(getImage(image, &theirs), KLEM_OK);
    ASSERT_NE(ours, nullptr);
    EXPECT_FALSE(std::string(ours).empty());
    EXPECT_STREQ(ours, theirs);
  }
  KLEM_FreeCKorPelora(image);
}

TEST(FastMathExports, ErrorTextRoundTripsAndIsCutToTheBuffer) {
  FastMath fm;
  EXPECT_EQ(fm.Error(), "");
  ASSERT_EQ(ZEV_SetError(fm.h(), "something"), KLEM_OK);
  EXPECT_EQ(fm.Error(), "something");
  ASSERT_EQ(ZEV_SetError(fm.h(), nullptr), KLEM_OK);
  EXPECT_EQ(fm.Error(), "");

  std::string longText(2000, 'q');
  for (size_t k = 0; k < longText.size(); ++k) longText[k] = static_cast<char>('a' + k % 26);
  ASSERT_EQ(ZEV_SetError(fm.h(), longText.c_str()), KLEM_OK);
  char buffer[KLEM_ERROR_BUFFER_SIZE + 8];
  std::memset(buffer, 'x', sizeof buffer);
  ASSERT_EQ(ZEV_GetError(fm.h(), buffer), KLEM_OK);
  EXPECT_EQ(std::string(buffer), longText.substr(0, KLEM_ERROR_BUFFER_SIZE - 1));
  EXPECT_EQ(buffer[KLEM_ERROR_BUFFER_SIZE], 'x');  // nothing past the buffer
}

}  // namespace
