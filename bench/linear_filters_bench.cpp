// The linear filters beside OpenCV's closest calls. OpenCV filters the same
// inner region (the source view reaches its real neighbours) into the same
// region of its destination. "~" marks calls with other weights, rounding or
// sign: Sobel dx differs in sign (klem keeps left minus right), the 5x5 Gauss
// in its weights, the Laplace and the high passes are 8-neighbour kernels, the
// low passes round unlike blur, the rest run through filter2D.
#include <memory>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

struct Filtering {
  explicit Filtering(uint32_t bpp) : source(bpp, CvType8(bpp), 1), dest(bpp, CvType8(bpp), 2) {}
  SharedImage source, dest;
};

// src and dst are the inner regions; whole is the whole source image.
using OpenCvCall = void (*)(const cv::Mat& src, cv::Mat& dst, const cv::Mat& whole);

void AddCase(std::vector<Case>& cases, const char* name, int32_t number, int32_t radius, OpenCvCall opencv) {
  for (uint32_t bpp : {8u, 24u}) {
    cases.push_back({name, bpp == 8 ? "8" : "24", [=] {
                       auto o = std::make_shared<Filtering>(bpp);
                       return Timed{[=] { return KLEM_Filter(o->dest.handle, number, o->source.handle); },
                                    [=] {
                                      const cv::Rect inner(radius, radius, kWidth - 2 * radius, kHeight - 2 * radius);
                                      cv::Mat region = o->dest.mat(inner);
                                      opencv(o->source.mat(inner), region, o->source.mat);
                                    }};
                     }});
  }
}

template <int N>
cv::Mat Kernel(const float (&k)[N * N]) {
  return cv::Mat(N, N, CV_32F, const_cast<float*>(k)).clone();
}

void Filter2D(const cv::Mat& src, cv::Mat& dst, const cv::Mat& kernel) { cv::filter2D(src, dst, CV_8U, kernel); }

std::vector<Case> LinearFilterCases() {
  static const cv::Mat sharpen =
      Kernel<3>({-1 / 8.f, -1 / 8.f, -1 / 8.f, -1 / 8.f, 2.f, -1 / 8.f, -1 / 8.f, -1 / 8.f, -1 / 8.f});
  static const cv::Mat prewittDy = Kernel<3>({-1, -1, -1, 0, 0, 0, 1, 1, 1});
  static const cv::Mat prewittDx = Kernel<3>({1, 0, -1, 1, 0, -1, 1, 0, -1});
  static const cv::Mat highPass3 = Kernel<3>({-1, -1, -1, -1, 8, -1, -1, -1, -1});
  static const cv::Mat highPass5 = [] {
    cv::Mat k(5, 5, CV_32F, cv::Scalar(-1));
    k.at<float>(2, 2) = 24;
    return k;
  }();
  std::vector<Case> cases;
  AddCase(cases, "box 3x3 (blur)", 5, 1, [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) { cv::blur(s, d, {3, 3}); });
  AddCase(cases, "box 5x5 (blur)", 6, 2, [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) { cv::blur(s, d, {5, 5}); });
  AddCase(cases, "~sharpen (filter2D)", 7, 1,
          [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) { Filter2D(s, d, sharpen); });
  AddCase(cases, "~prewitt dy (filter2D)", 14, 1,
          [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) { Filter2D(s, d, prewittDy); });
  AddCase(cases, "~prewitt dx (filter2D)", 15, 1,
          [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) { Filter2D(s, d, prewittDx); });
  AddCase(cases, "sobel dy (Sobel)", 16, 1,
          [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) { cv::Sobel(s, d, CV_8U, 0, 1); });
  AddCase(cases, "~sobel dx (Sobel)", 17, 1,
          [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) { cv::Sobel(s, d, CV_8U, 1, 0); });
  // The saturating difference from the view one pixel up and left: the same result.
  AddCase(cases, "diagonal (subtract shifted views)", 18, 1, [](const cv::Mat& s, cv::Mat& d, const cv::Mat& whole) {
    cv::subtract(s, whole(cv::Rect(0, 0, s.cols, s.rows)), d);
  });
  AddCase(cases, "~laplace 3x3 (Laplacian 3)", 20, 1,
          [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) { cv::Laplacian(s, d, CV_8U, 3); });
  AddCase(cases, "~laplace 5x5 (Laplacian 5)", 21, 2,
          [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) { cv::Laplacian(s, d, CV_8U, 5); });
  AddCase(cases, "gauss 3x3 (GaussianBlur)", 22, 1, [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) {
    cv::GaussianBlur(s, d, {3, 3}, 0);
  });
  AddCase(cases, "~gauss 5x5 (GaussianBlur)", 23, 2, [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) {
    cv::GaussianBlur(s, d, {5, 5}, 0);
  });
  AddCase(cases, "~low pass 3x3 (blur)", 24, 1, [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) {
    cv::blur(s, d, {3, 3});
  });
  AddCase(cases, "~low pass 5x5 (blur)", 25, 2, [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) {
    cv::blur(s, d, {5, 5});
  });
  AddCase(cases, "~high pass 3x3 (filter2D)", 26, 1,
          [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) { Filter2D(s, d, highPass3); });
  AddCase(cases, "~high pass 5x5 (filter2D)", 27, 2,
          [](const cv::Mat& s, cv::Mat& d, const cv::Mat&) { Filter2D(s, d, highPass5); });
  return cases;
}

const bool kRegistered = AddCases(LinearFilterCases());

}  // namespace
}  // namespace klem::bench
