// Look-up tables, gamma and thresholds beside their OpenCV calls. Counterparts
// that do not compute the same bytes are marked with a leading "~".
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <memory>
#include <vector>

#include "bench_support.h"
#include "kernels/lookup.h"

namespace klem::bench {
namespace {

// The curves of the three byte positions (linear: a cheap table to build, the
// mapping is what is timed) and their tables for OpenCV.
const int32_t kLevels[3][4] = {{0, 64, 192, 256}, {0, 100, 200, 256}, {10, 50, 90, 256}};
const int32_t kValues[3][4] = {{255, 180, 60, 0}, {0, 120, 160, 255}, {30, 60, 200, 240}};

cv::Mat CurveTable(int32_t c) {
  cv::Mat table(1, 256, CV_8U);
  kernels::BuildLookupTable(kernels::LookupModeLinear, kValues[c], kLevels[c], 4, table.ptr());
  return table;
}

struct LookupOperands {
  explicit LookupOperands(uint32_t bpp) : src(bpp, CvType8(bpp), 1), dst(bpp, CvType8(bpp), 2) {
    std::vector<cv::Mat> tables = {CurveTable(0), CurveTable(1), CurveTable(2)};
    if (bpp == 8) {
      table = tables[0];
    } else {
      cv::merge(tables, table);
    }
  }
  SharedImage src, dst;
  cv::Mat table;
};

struct InPlace {
  explicit InPlace(uint32_t bpp) : image(bpp, CvType8(bpp), 3) {}
  SharedImage image;
};

using ThresholdCall = uint32_t (*)(KLEM_HANDLE);
using OpenCvCall = void (*)(cv::Mat&);

void AddThresholdCase(std::vector<Case>& cases, const char* name, ThresholdCall klem,
                      OpenCvCall opencv) {
  for (uint32_t bpp : {8u, 24u}) {
    cases.push_back({name, std::to_string(bpp), [=] {
                       auto o = std::make_shared<InPlace>(bpp);
                       return Timed{[=] { return klem(o->image.handle); },
                                    [=] { opencv(o->image.mat); }};
                     }});
  }
}

std::vector<Case> LookupCases() {
  std::vector<Case> cases;
  cases.push_back({"lookup table linear", "8", [] {
                     auto o = std::make_shared<LookupOperands>(8);
                     return Timed{[=] {
                                    return KLEM_LookUpTable8Bit(o->dst.handle, o->src.handle, kValues[0],
                                                                kLevels[0], 4, 1);
                                  },
                                  [=] { cv::LUT(o->src.mat, o->table, o->dst.mat); }};
                   }});
  cases.push_back({"lookup table linear", "24", [] {
                     auto o = std::make_shared<LookupOperands>(24);
                     return Timed{[=] {
                                    return KLEM_LookUpTable(o->dst.handle, o->src.handle, kLevels[0], kValues[0],
                                                            4, kLevels[1], kValues[1], 4, kLevels[2],
                                                            kValues[2], 4, 1);
                                  },
                                  [=] { cv::LUT(o->src.mat, o->table, o->dst.mat); }};
                   }});
  // Forward and inverse in turn keep the image's values spread.
  cases.push_back({"gamma forward+inverse", "24", [] {
                     auto o = std::make_shared<InPlace>(24);
                     auto tables = std::make_shared<std::vector<cv::Mat>>();
                     for (const uint8_t* t : {kernels::GammaForwardTable(), kernels::GammaInverseTable()}) {
                       tables->push_back(cv::Mat(1, 256, CV_8U, const_cast<uint8_t*>(t)).clone());
                     }
                     return Timed{[=] {
                                    return KLEM_GammaCorrection(o->image.handle, 0) |
                                           KLEM_GammaCorrection(o->image.handle, 1);
                                  },
                                  [=] {
                                    cv::LUT(o->image.mat, (*tables)[0], o->image.mat);
                                    cv::LUT(o->image.mat, (*tables)[1], o->image.mat);
                                  }};
                   }});
  AddThresholdCase(
      cases, "threshold GT", [](KLEM_HANDLE h) { return KLEM_ThresholdGT(h, 0x808080); },
      [](cv::Mat& m) { cv::threshold(m, m, 128, 255, cv::THRESH_TRUNC); });
  AddThresholdCase(
      cases, "threshold LT (max)", [](KLEM_HANDLE h) { return KLEM_ThresholdLT(h, 0x808080); },
      [](cv::Mat& m) { cv::max(m, cv::Scalar::all(128), m); });
  // Greater than t becomes 0: TOZERO_INV exactly.
  AddThresholdCase(
      cases, "threshold GTVal 0", [](KLEM_HANDLE h) { return KLEM_ThresholdGTVal(h, 0x808080, 0); },
      [](cv::Mat& m) { cv::threshold(m, m, 128, 255, cv::THRESH_TOZERO_INV); });
  // TOZERO also zeroes the samples equal to t.
  AddThresholdCase(
      cases, "~threshold LTVal 0 (TOZERO)",
      [](KLEM_HANDLE h) { return KLEM_ThresholdLTVal(h, 0x808080, 0); },
      [](cv::Mat& m) { cv::threshold(m, m, 128, 255, cv::THRESH_TOZERO); });
  AddThresholdCase(
      cases, "~threshold LTValGTVal (2 calls)",
      [](KLEM_HANDLE h) { return KLEM_ThresholdLTValGTVal(h, 0x404040, 0, 0xC0C0C0, 0); },
      [](cv::Mat& m) {
        cv::threshold(m, m, 64, 255, cv::THRESH_TOZERO);
        cv::threshold(m, m, 192, 255, cv::THRESH_TOZERO_INV);
      });
  return cases;
}

const bool kRegistered = AddCases(LookupCases());

}  // namespace
}  // namespace klem::bench
