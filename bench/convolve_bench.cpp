// The user-defined filter and antialias beside OpenCV's filter2D on the same
// inner region (the source's real neighbours around it), the kernel given to
// OpenCV as floats divided by the divisor. The kernels are symmetric, so
// convolution and OpenCV's correlation weigh the same samples.
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

struct Convolution {
  Convolution(uint32_t bpp, std::vector<int32_t> k, int32_t s, int32_t d)
      : source(bpp, CvType8(bpp), 1), dest(bpp, CvType8(bpp), 2), kernel(std::move(k)), side(s), divisor(d) {
    cv::Mat(side, side, CV_32S, kernel.data()).convertTo(cvKernel, CV_32F, 1.0 / divisor);
    const int r = side / 2;
    const cv::Rect inner(r, r, kWidth - 2 * r, kHeight - 2 * r);
    sourceInner = source.mat(inner);
    destInner = dest.mat(inner);
  }
  SharedImage source, dest;
  std::vector<int32_t> kernel;
  int32_t side, divisor;
  cv::Mat cvKernel, sourceInner, destInner;
};

std::vector<int32_t> Outer(const std::vector<int32_t>& v) {
  std::vector<int32_t> k;
  for (int32_t a : v) {
    for (int32_t b : v) k.push_back(a * b);
  }
  return k;
}

std::vector<Case> ConvolveCases() {
  const struct {
    const char* name;
    std::vector<int32_t> kernel;
    int32_t side, divisor;
  } kernels[] = {
      {"3x3 /20", {1, 2, 1, 2, 8, 2, 1, 2, 1}, 3, 20},
      {"3x3 /16", Outer({1, 2, 1}), 3, 16},
      {"5x5 /25", std::vector<int32_t>(25, 1), 5, 25},
      {"5x5 /256", Outer({1, 4, 6, 4, 1}), 5, 256},
  };
  std::vector<Case> cases;
  for (uint32_t bpp : {8u, 24u}) {
    for (const auto& k : kernels) {
      const std::string name = std::string("user-defined filter ") + k.name + " (filter2D)";
      cases.push_back({name, std::to_string(bpp), [=] {
                         auto o = std::make_shared<Convolution>(bpp, k.kernel, k.side, k.divisor);
                         return Timed{[=] {
                                        return KLEM_FilterUserDefined(o->dest.handle, o->source.handle,
                                                                      o->kernel.data(), o->side, o->side,
                                                                      o->side / 2, o->side / 2, o->divisor);
                                      },
                                      [=] { cv::filter2D(o->sourceInner, o->destInner, -1, o->cvKernel); }};
                       }});
    }
    cases.push_back({"antialias (filter2D 3x3 /20)", std::to_string(bpp), [=] {
                       auto o = std::make_shared<Convolution>(bpp, kernels[0].kernel, 3, 20);
                       return Timed{[=] { return KLEM_Antialias(o->dest.handle, o->source.handle); },
                                    [=] { cv::filter2D(o->sourceInner, o->destInner, -1, o->cvKernel); }};
                     }});
  }
  return cases;
}

const bool kRegistered = AddCases(ConvolveCases());

}  // namespace
}  // namespace klem::bench
