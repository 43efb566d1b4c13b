// The median filters beside OpenCV on the same inner region (OpenCV reads the
// real neighbours around it). OpenCV has no row or column median: the
// erosion with the same 3x1, 5x1, 1x3 or 1x5 row is the closest cost class.
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

struct Filtered {
  Filtered(uint32_t bpp, int width, int height)
      : src(bpp, CvType8(bpp), 1), dst(bpp, CvType8(bpp), 2),
        region(width / 2, height / 2, kWidth - 2 * (width / 2), kHeight - 2 * (height / 2)),
        element(cv::getStructuringElement(cv::MORPH_RECT, cv::Size(width, height))) {}
  SharedImage src, dst;
  cv::Rect region;
  cv::Mat element;
};

std::vector<Case> MedianCases() {
  const struct { int32_t number; const char* name; int width, height; bool median; } filters[] = {
      {8, "median 3x3 (medianBlur 3)", 3, 3, true},
      {9, "median 5x5 (medianBlur 5)", 5, 5, true},
      {10, "~median row 3 (erode 3x1)", 3, 1, false},
      {11, "~median row 5 (erode 5x1)", 5, 1, false},
      {12, "~median column 3 (erode 1x3)", 1, 3, false},
      {13, "~median column 5 (erode 1x5)", 1, 5, false}};
  std::vector<Case> cases;
  for (const auto& f : filters) {
    for (uint32_t bpp : {8u, 24u}) {
      cases.push_back({f.name, std::to_string(bpp), [f, bpp] {
                         auto o = std::make_shared<Filtered>(bpp, f.width, f.height);
                         return Timed{[o, f] { return KLEM_Filter(o->dst.handle, f.number, o->src.handle); },
                                      [o, f] {
                                        cv::Mat out = o->dst.mat(o->region);
                                        if (f.median) {
                                          cv::medianBlur(o->src.mat(o->region), out, f.width);
                                        } else {
                                          cv::erode(o->src.mat(o->region), out, o->element);
                                        }
                                      }};
                       }});
    }
  }
  return cases;
}

const bool kRegistered = AddCases(MedianCases());

}  // namespace
}  // namespace klem::bench
