// Erosion, dilation and the min/max rank filters beside OpenCV's erode and
// dilate on the same inner region (OpenCV reads the real neighbours around
// it). klem erodes and dilates in place, OpenCV into another image of the
// same size: those cases are marked "~".
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

struct Operands {
  explicit Operands(uint32_t bpp) : src(bpp, CvType8(bpp), 1), dst(bpp, CvType8(bpp), 2) {}
  SharedImage src, dst;
};

// The region a square window of `side` computes.
cv::Rect Inner(int side) {
  const int r = side / 2;
  return {r, r, kWidth - 2 * r, kHeight - 2 * r};
}

void CvMinMax(const Operands& o, int side, bool erode) {
  const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_RECT, {side, side});
  const cv::Rect inner = Inner(side);
  cv::Mat to = o.dst.mat(inner);
  if (erode) {
    cv::erode(o.src.mat(inner), to, kernel);
  } else {
    cv::dilate(o.src.mat(inner), to, kernel);
  }
}

std::vector<Case> MorphologyCases() {
  static const std::vector<uint8_t> kOnes5x5(25, 1);
  std::vector<Case> cases;
  for (uint32_t bpp : {8u, 24u}) {
    const std::string format = std::to_string(bpp);
    for (bool erode : {true, false}) {
      const std::string op = erode ? "erode" : "dilate";
      cases.push_back({"~" + op + " 3x3 in place", format, [=] {
                         auto o = std::make_shared<Operands>(bpp);
                         return Timed{[=] { return erode ? KLEM_Erode(o->src.handle) : KLEM_Dilate(o->src.handle); },
                                      [=] { CvMinMax(*o, 3, erode); }};
                       }});
      cases.push_back({"~" + op + " mask 5x5 ones in place", format, [=] {
                         auto o = std::make_shared<Operands>(bpp);
                         return Timed{[=] {
                                        return erode ? KLEM_ErodeEx(o->src.handle, kOnes5x5.data(), 5, 5)
                                                     : KLEM_DilateEx(o->src.handle, kOnes5x5.data(), 5, 5);
                                      },
                                      [=] { CvMinMax(*o, 5, erode); }};
                       }});
    }
    for (int32_t number = 1; number <= 4; ++number) {
      const int side = number % 2 == 1 ? 3 : 5;
      const bool erode = number <= 2;
      const std::string name = "filter " + std::to_string(number) + (erode ? " min " : " max ") +
                               std::to_string(side) + "x" + std::to_string(side);
      cases.push_back({name, format, [=] {
                         auto o = std::make_shared<Operands>(bpp);
                         return Timed{[=] { return KLEM_Filter(o->dst.handle, number, o->src.handle); },
                                      [=] { CvMinMax(*o, side, erode); }};
                       }});
    }
  }
  return cases;
}

const bool kRegistered = AddCases(MorphologyCases());

}  // namespace
}  // namespace klem::bench
