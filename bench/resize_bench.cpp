// Resize of a 1920 x 1080 image up by 2, down by 2 and down by 1.5 beside
// cv::resize. OpenCV lines up the pixel areas of the two images where klem
// lines up their corner pixels, so every counterpart is marked "~".
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

struct Scaled {
  Scaled(uint32_t bpp, int width, int height)
      : src(bpp, CvType8(bpp), 1), dst(bpp, CvType8(bpp), 2, 0, width, height) {}
  SharedImage src, dst;
};

std::vector<Case> ResizeCases() {
  struct Scale { const char* name; int width, height; };
  const Scale scales[] = {{"up 2x", 2 * kWidth, 2 * kHeight},
                          {"down 2x", kWidth / 2, kHeight / 2},
                          {"down 1.5x", kWidth * 2 / 3, kHeight * 2 / 3}};
  struct Method { const char* name; int mode, cv; bool downOnly; };
  const Method methods[] = {{"nearest", 3, cv::INTER_NEAREST, false},
                            {"linear", 1, cv::INTER_LINEAR, false},
                            {"cubic", 2, cv::INTER_CUBIC, false},
                            {"area", 4, cv::INTER_AREA, true}};
  std::vector<Case> cases;
  for (const Method& m : methods) {
    for (const Scale& s : scales) {
      if (m.downOnly && s.width > kWidth) continue;
      for (uint32_t bpp : {8u, 24u}) {
        cases.push_back({std::string("~Resize ") + m.name + " " + s.name, std::to_string(bpp), [=] {
                           auto o = std::make_shared<Scaled>(bpp, s.width, s.height);
                           return Timed{[=] { return KLEM_Resize(o->dst.handle, o->src.handle, s.width, s.height, m.mode); },
                                        [=] { cv::resize(o->src.mat, o->dst.mat, o->dst.mat.size(), 0, 0, m.cv); }};
                         }});
      }
    }
  }
  return cases;
}

const bool kRegistered = AddCases(ResizeCases());

}  // namespace
}  // namespace klem::bench
