// Mirroring in place, left to right and top to bottom, beside OpenCV's flip
// of the same image onto itself.
#include <opencv2/core.hpp>

#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

std::vector<Case> MirrorCases() {
  std::vector<Case> cases;
  for (uint32_t bpp : {8u, 24u}) {
    for (bool horizontal : {true, false}) {
      cases.push_back({horizontal ? "mirror horizontal" : "mirror vertical", std::to_string(bpp), [=] {
                         auto image = std::make_shared<SharedImage>(bpp, CvType8(bpp), 1);
                         return Timed{[=] {
                                        return horizontal ? KLEM_MirrorHorizontal(image->handle)
                                                          : KLEM_MirrorVertical(image->handle);
                                      },
                                      [=] { cv::flip(image->mat, image->mat, horizontal ? 1 : 0); }};
                       }});
    }
  }
  return cases;
}

const bool kRegistered = AddCases(MirrorCases());

}  // namespace
}  // namespace klem::bench
