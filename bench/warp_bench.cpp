// Rotation, shear and perspective warp beside OpenCV's. The turn by a right
// angle stands beside cv::rotate; the warps beside warpAffine and
// warpPerspective, marked "~": OpenCV fills the background that klem leaves
// alone.
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

struct Pair {
  Pair(uint32_t bpp, int width, int height)
      : src(bpp, CvType8(bpp), 2), dst(bpp, CvType8(bpp), 1, 0, width, height) {}
  SharedImage src, dst;
};

struct Method {
  const char* name;
  int32_t mode;
  int cvFlag;
};
constexpr Method kMethods[] = {{"nearest", 3, cv::INTER_NEAREST},
                               {"linear", 1, cv::INTER_LINEAR},
                               {"cubic", 2, cv::INTER_CUBIC}};

using WarpCall = std::function<uint32_t(const Pair&, int32_t mode)>;
using CvCall = std::function<void(const Pair&, int flag)>;

void AddWarps(std::vector<Case>& cases, const std::string& name, int width, int height,
              WarpCall klem, CvCall opencv) {
  for (uint32_t bpp : {8u, 24u}) {
    for (const Method& m : kMethods) {
      cases.push_back({name + " " + m.name, std::to_string(bpp), [=] {
                         auto o = std::make_shared<Pair>(bpp, width, height);
                         return Timed{[=] { return klem(*o, m.mode); },
                                      [=] { opencv(*o, m.cvFlag); }};
                       }});
    }
  }
}

// The source rectangle's corners carried inwards unevenly.
cv::Mat PerspectiveMatrix() {
  const cv::Point2f from[] = {{0, 0}, {kWidth - 1.0f, 0}, {kWidth - 1.0f, kHeight - 1.0f},
                              {0, kHeight - 1.0f}};
  const cv::Point2f to[] = {{60, 30}, {1850, 0}, {1919, 1079}, {0, 1000}};
  return cv::getPerspectiveTransform(from, to);
}

std::vector<Case> WarpCases() {
  std::vector<Case> cases;
  for (uint32_t bpp : {8u, 24u}) {
    cases.push_back({"Rotate 90 (rotate 90 clockwise)", std::to_string(bpp), [=] {
                       auto o = std::make_shared<Pair>(bpp, kHeight, kWidth);
                       return Timed{[=] { return KLEM_Rotate(o->dst.handle, o->src.handle, 90.0, 0); },
                                    [=] {
                                      cv::Mat d = o->dst.mat;
                                      cv::rotate(o->src.mat, d, cv::ROTATE_90_CLOCKWISE);
                                    }};
                     }});
  }
  // 30 degrees about the centre, into an image of the source's size.
  AddWarps(
      cases, "~RotateCenter 30 (warpAffine)", kWidth, kHeight,
      [](const Pair& o, int32_t mode) {
        return KLEM_RotateCenter(o.dst.handle, o.src.handle, 30.0, kWidth / 2, kHeight / 2, mode);
      },
      [](const Pair& o, int flag) {
        cv::Mat d = o.dst.mat;
        const cv::Mat m = cv::getRotationMatrix2D(cv::Point2f(kWidth / 2, kHeight / 2), -30.0, 1.0);
        cv::warpAffine(o.src.mat, d, m, d.size(), flag);
      });
  // Shear (0.2, 0.1) into its bounding box.
  const int shearWidth = static_cast<int>(kWidth + 0.2 * (kHeight - 1));
  const int shearHeight = static_cast<int>(kHeight + 0.1 * (kWidth - 1));
  AddWarps(
      cases, "~Shear 0.2 0.1 (warpAffine)", shearWidth, shearHeight,
      [](const Pair& o, int32_t mode) { return KLEM_Shear(o.dst.handle, o.src.handle, 0.2, 0.1, mode); },
      [](const Pair& o, int flag) {
        cv::Mat d = o.dst.mat;
        const cv::Mat m = (cv::Mat_<double>(2, 3) << 1.0, 0.2, 0.0, 0.1, 1.0, 0.0);
        cv::warpAffine(o.src.mat, d, m, d.size(), flag);
      });
  AddWarps(
      cases, "~WarpPerspective (warpPerspective)", kWidth, kHeight,
      [](const Pair& o, int32_t mode) {
        const cv::Mat m = PerspectiveMatrix();
        return KLEM_WarpPerspective(o.dst.handle, o.src.handle, m.ptr<double>(), 9, mode);
      },
      [](const Pair& o, int flag) {
        cv::Mat d = o.dst.mat;
        cv::warpPerspective(o.src.mat, d, PerspectiveMatrix(), d.size(), flag);
      });
  return cases;
}

const bool kRegistered = AddCases(WarpCases());

}  // namespace
}  // namespace klem::bench
