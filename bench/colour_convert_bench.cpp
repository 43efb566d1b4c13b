// Colour conversions, CMY and the red/blue swaps beside their OpenCV calls.
// OpenCV has no photo YCC: its YCrCb conversions, the nearest in work, stand
// beside it, marked "~".
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <memory>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

struct Pair {
  explicit Pair(uint32_t bpp) : dst(bpp, CvType8(bpp), 1), src(bpp, CvType8(bpp), 2) {}
  SharedImage dst, src;
};

void AddConversion(std::vector<Case>& cases, const char* name, uint32_t (*klem)(KLEM_HANDLE, KLEM_HANDLE),
                   int code) {
  cases.push_back({name, "24", [=] {
                     auto o = std::make_shared<Pair>(24);
                     return Timed{[=] { return klem(o->dst.handle, o->src.handle); },
                                  [=] { cv::cvtColor(o->src.mat, o->dst.mat, code); }};
                   }});
}

using SwapCall = uint32_t (*)(KLEM_HANDLE, const uint8_t*, int32_t, uint8_t*, int32_t, int32_t,
                              int32_t, int32_t);

void AddSwap(std::vector<Case>& cases, const char* name, uint32_t bpp, SwapCall klem, int code) {
  cases.push_back({name, std::to_string(bpp), [=] {
                     auto o = std::make_shared<Pair>(bpp);
                     return Timed{[=] {
                                    const cv::Mat& s = o->src.mat;
                                    cv::Mat& d = o->dst.mat;
                                    return klem(o->dst.handle, s.data, int32_t(s.step), d.data,
                                                int32_t(d.step), s.cols, s.rows, 0);
                                  },
                                  [=] { cv::cvtColor(o->src.mat, o->dst.mat, code); }};
                   }});
}

std::vector<Case> ColourConvertCases() {
  std::vector<Case> cases;
  AddConversion(cases, "RGBtoYUV (cvtColor RGB2YUV)", KLEM_RGBtoYUV, cv::COLOR_RGB2YUV);
  AddConversion(cases, "YUVtoRGB (cvtColor YUV2RGB)", KLEM_YUVtoRGB, cv::COLOR_YUV2RGB);
  AddConversion(cases, "RGBtoXYZ (cvtColor RGB2XYZ)", KLEM_RGBtoXYZ, cv::COLOR_RGB2XYZ);
  AddConversion(cases, "XYZtoRGB (cvtColor XYZ2RGB)", KLEM_XYZtoRGB, cv::COLOR_XYZ2RGB);
  AddConversion(cases, "~RGBtoYCC (cvtColor RGB2YCrCb)", KLEM_RGBtoYCC, cv::COLOR_RGB2YCrCb);
  AddConversion(cases, "~YCCtoRGB (cvtColor YCrCb2RGB)", KLEM_YCCtoRGB, cv::COLOR_YCrCb2RGB);
  AddSwap(cases, "RGBtoBGR (cvtColor BGR2RGB)", 24, KLEM_RGBtoBGR, cv::COLOR_BGR2RGB);
  AddSwap(cases, "RGBAtoBGRA (cvtColor RGBA2BGRA)", 32, KLEM_RGBAtoBGRA, cv::COLOR_RGBA2BGRA);
  cases.push_back({"RGBtoCMY (bitwise_not)", "24", [] {
                     auto o = std::make_shared<Pair>(24);
                     return Timed{[=] { return KLEM_RGBtoCMY(o->dst.handle); },
                                  [=] { cv::bitwise_not(o->dst.mat, o->dst.mat); }};
                   }});
  return cases;
}

const bool kRegistered = AddCases(ColourConvertCases());

}  // namespace
}  // namespace klem::bench
