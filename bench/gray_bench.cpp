// Gray and black-and-white beside their OpenCV calls. The binary threshold
// is only the closest counterpart of the conversion to bits: it neither
// diffuses errors nor packs 8 pixels a byte.
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <memory>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

// A colour source, its 8-bit gray, a 24-bit gray and a 1-bit destination.
struct Gray {
  Gray() : colour(24, CV_8UC3, 1), gray(8, CV_8UC1, 2), gray24(24, CV_8UC3, 3), bits(KLEM_CreateCKorPelora()) {
    KLEM_Create(bits, kWidth, kHeight, 1);
  }
  ~Gray() { KLEM_FreeCKorPelora(bits); }
  SharedImage colour, gray, gray24;
  KLEM_HANDLE bits;
  cv::Mat planes[3], binary;  // OpenCV's gray planes and threshold result, kept between calls
};

using KlemCall = uint32_t (*)(Gray&);
using OpenCvCall = void (*)(Gray&);

void AddCase(std::vector<Case>& cases, const char* name, const char* format, KlemCall klem,
             OpenCvCall opencv) {
  cases.push_back({name, format, [=] {
                     auto o = std::make_shared<Gray>();
                     return Timed{[=] { return klem(*o); }, [=] { opencv(*o); }};
                   }});
}

std::vector<Case> GrayCases() {
  std::vector<Case> cases;
  AddCase(
      cases, "grayscale 8 bit (cvtColor RGB2GRAY)", "24 to 8",
      [](Gray& o) { return KLEM_Grayscale8Bit(o.gray.handle, o.colour.handle); },
      [](Gray& o) { cv::cvtColor(o.colour.mat, o.gray.mat, cv::COLOR_RGB2GRAY); });
  AddCase(
      cases, "grayscale (cvtColor RGB2GRAY + merge)", "24 to 24",
      [](Gray& o) { return KLEM_Grayscale(o.gray24.handle, o.colour.handle); },
      [](Gray& o) {
        cv::cvtColor(o.colour.mat, o.planes[0], cv::COLOR_RGB2GRAY);
        o.planes[1] = o.planes[2] = o.planes[0];
        cv::merge(o.planes, 3, o.gray24.mat);
      });
  AddCase(
      cases, "~convert to 1 bit (threshold BINARY)", "8 to 1",
      [](Gray& o) { return KLEM_ConvertTo1Bit(o.bits, o.gray.handle, 128); },
      [](Gray& o) { cv::threshold(o.gray.mat, o.binary, 128, 255, cv::THRESH_BINARY); });
  return cases;
}

const bool kRegistered = AddCases(GrayCases());

}  // namespace
}  // namespace klem::bench
