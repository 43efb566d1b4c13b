// Arithmetic, logic, scaling and vector math beside their OpenCV calls.
#include <opencv2/core.hpp>

#include <memory>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

// dst is written, a and b are read, hdr is the 16-bit source of the scale-down.
struct Operands {
  explicit Operands(uint32_t bpp)
      : dst(bpp, CvType8(bpp), 1), a(bpp, CvType8(bpp), 2, 1), b(bpp, CvType8(bpp), 3, 1),
        hdr(2 * bpp, CV_16UC(static_cast<int>(bpp / 8)), 4) {}
  SharedImage dst, a, b, hdr;
};

using KlemCall = uint32_t (*)(Operands&);
using OpenCvCall = void (*)(Operands&);

// One case on formats 8 and 24 with the given scale factor.
void AddImageCase(std::vector<Case>& cases, const char* name, int32_t scaleFactor, KlemCall klem,
                  OpenCvCall opencv, uint32_t expected = KLEM_OK) {
  for (uint32_t bpp : {8u, 24u}) {
    cases.push_back({name, std::to_string(bpp), [=] {
                       auto o = std::make_shared<Operands>(bpp);
                       KLEM_SetScaleFactor(o->dst.handle, scaleFactor);
                       return Timed{[=] { return klem(*o); }, [=] { opencv(*o); }, expected};
                     }});
  }
}

// Vectors of a 24-bit image's pixel count / 20, seen by OpenCV as one row of
// 3-channel doubles.
constexpr int kVectors = kWidth * kHeight / 20;
const double kVector[3] = {1.5, -2.25, 3.0};
const double kMatrix[9] = {0.5, 1.5, -2, 3, 0.25, 1, -1, 2, 0.75};

struct Vectors {
  Vectors()
      : math(ZEV_CreateCFastMath()), source(3 * kVectors), result(3 * kVectors),
        sourceMat(1, kVectors, CV_64FC3, source.data()), resultMat(1, kVectors, CV_64FC3, result.data()) {
    cv::RNG(5).fill(sourceMat, cv::RNG::UNIFORM, cv::Scalar::all(-1000), cv::Scalar::all(1000));
  }
  ~Vectors() { ZEV_FreeCFastMath(math); }
  ZEV_HANDLE math;
  std::vector<double> source, result;
  cv::Mat sourceMat, resultMat;
};

void AddVectorCase(std::vector<Case>& cases, const char* name, uint32_t (*klem)(Vectors&),
                   void (*opencv)(Vectors&)) {
  cases.push_back({name, "vec", [=] {
                     auto v = std::make_shared<Vectors>();
                     return Timed{[=] { return klem(*v); }, [=] { opencv(*v); }};
                   }});
}

std::vector<Case> ArithmeticCases() {
  std::vector<Case> cases;
  constexpr uint32_t k3 = 0x070503;
  AddImageCase(cases, "add", 0, [](Operands& o) { return KLEM_Add(o.dst.handle, o.a.handle); },
               [](Operands& o) { cv::add(o.dst.mat, o.a.mat, o.dst.mat); });
  AddImageCase(cases, "add /2", 1, [](Operands& o) { return KLEM_Add(o.dst.handle, o.a.handle); },
               [](Operands& o) { cv::addWeighted(o.dst.mat, 0.5, o.a.mat, 0.5, 0, o.dst.mat); });
  AddImageCase(cases, "add constant", 0, [](Operands& o) { return KLEM_AddConstant(o.dst.handle, k3); },
               [](Operands& o) { cv::add(o.dst.mat, cv::Scalar(3, 5, 7), o.dst.mat); });
  AddImageCase(cases, "subtract", 0, [](Operands& o) { return KLEM_Subtract(o.dst.handle, o.a.handle); },
               [](Operands& o) { cv::subtract(o.dst.mat, o.a.mat, o.dst.mat); });
  AddImageCase(cases, "subtract constant", 0,
               [](Operands& o) { return KLEM_SubtractConstant(o.dst.handle, k3); },
               [](Operands& o) { cv::subtract(o.dst.mat, cv::Scalar(3, 5, 7), o.dst.mat); });
  AddImageCase(cases, "multiply /256", 8, [](Operands& o) { return KLEM_Multiply(o.dst.handle, o.a.handle); },
               [](Operands& o) { cv::multiply(o.dst.mat, o.a.mat, o.dst.mat, 1.0 / 256); });
  AddImageCase(cases, "multiply constant", 0,
               [](Operands& o) { return KLEM_MultiplyConstant(o.dst.handle, k3); },
               [](Operands& o) { cv::multiply(o.dst.mat, cv::Scalar(3, 5, 7), o.dst.mat); });
  // The divisor's samples start at 1: no division by zero, whose warning would fail the call.
  AddImageCase(cases, "divide", 0, [](Operands& o) { return KLEM_Divide(o.dst.handle, o.a.handle); },
               [](Operands& o) { cv::divide(o.dst.mat, o.a.mat, o.dst.mat); });
  AddImageCase(cases, "divide constant", 0, [](Operands& o) { return KLEM_DivideConstant(o.dst.handle, k3); },
               [](Operands& o) { cv::divide(o.dst.mat, cv::Scalar(3, 5, 7), o.dst.mat); });
  AddImageCase(cases, "difference", 0,
               [](Operands& o) { return KLEM_Difference(o.dst.handle, o.a.handle, o.b.handle); },
               [](Operands& o) { cv::absdiff(o.a.mat, o.b.mat, o.dst.mat); });
  AddImageCase(cases, "difference constant", 0,
               [](Operands& o) { return KLEM_DifferenceConstant(o.dst.handle, o.a.handle, 9); },
               [](Operands& o) { cv::absdiff(o.a.mat, cv::Scalar::all(9), o.dst.mat); });
  AddImageCase(cases, "and", 0, [](Operands& o) { return KLEM_And(o.dst.handle, o.a.handle); },
               [](Operands& o) { cv::bitwise_and(o.dst.mat, o.a.mat, o.dst.mat); });
  AddImageCase(cases, "and constant", 0, [](Operands& o) { return KLEM_AndConstant(o.dst.handle, k3); },
               [](Operands& o) { cv::bitwise_and(o.dst.mat, cv::Scalar(3, 5, 7), o.dst.mat); });
  AddImageCase(cases, "or", 0, [](Operands& o) { return KLEM_Or(o.dst.handle, o.a.handle); },
               [](Operands& o) { cv::bitwise_or(o.dst.mat, o.a.mat, o.dst.mat); });
  AddImageCase(cases, "or constant", 0, [](Operands& o) { return KLEM_OrConstant(o.dst.handle, k3); },
               [](Operands& o) { cv::bitwise_or(o.dst.mat, cv::Scalar(3, 5, 7), o.dst.mat); });
  AddImageCase(cases, "xor", 0, [](Operands& o) { return KLEM_Xor(o.dst.handle, o.a.handle); },
               [](Operands& o) { cv::bitwise_xor(o.dst.mat, o.a.mat, o.dst.mat); });
  AddImageCase(cases, "xor constant", 0, [](Operands& o) { return KLEM_XorConstant(o.dst.handle, k3); },
               [](Operands& o) { cv::bitwise_xor(o.dst.mat, cv::Scalar(3, 5, 7), o.dst.mat); });
  AddImageCase(cases, "invert", 0, [](Operands& o) { return KLEM_Invert(o.dst.handle); },
               [](Operands& o) { cv::bitwise_not(o.dst.mat, o.dst.mat); });
  AddImageCase(cases, "scale right 1", 0, [](Operands& o) { return KLEM_Scale(o.dst.handle, 1, 1, 1, 0); },
               [](Operands& o) { o.dst.mat.convertTo(o.dst.mat, -1, 0.5); });
  AddImageCase(cases, "hdr scale down", 0,
               [](Operands& o) { return KLEM_HDRScaleDown(o.dst.handle, o.hdr.handle); },
               [](Operands& o) { o.hdr.mat.convertTo(o.dst.mat, o.dst.mat.type(), 1.0 / 257); });

  AddVectorCase(
      cases, "vector add",
      [](Vectors& v) { return ZEV_Add(v.math, v.source.data(), kVectors, kVector, v.result.data(), kVectors); },
      [](Vectors& v) { cv::add(v.sourceMat, cv::Scalar(kVector[0], kVector[1], kVector[2]), v.resultMat); });
  AddVectorCase(
      cases, "vector mul",
      [](Vectors& v) { return ZEV_Mul(v.math, v.source.data(), kVectors, kVector, v.result.data(), kVectors); },
      [](Vectors& v) { cv::multiply(v.sourceMat, cv::Scalar(kVector[0], kVector[1], kVector[2]), v.resultMat); });
  AddVectorCase(
      cases, "vector matrix",
      [](Vectors& v) {
        return ZEV_MulMatrix(v.math, kMatrix, 3, 3, v.source.data(), kVectors, v.result.data(), kVectors);
      },
      [](Vectors& v) {
        cv::transform(v.sourceMat, v.resultMat, cv::Mat(3, 3, CV_64F, const_cast<double*>(kMatrix)));
      });
  return cases;
}

const bool kRegistered = AddCases(ArithmeticCases());

}  // namespace
}  // namespace klem::bench
