// Channel split, combine and swap beside their OpenCV calls.
#include <memory>
#include <opencv2/core.hpp>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

// A colour image of 3 or 4 bytes a pixel, as many channel images, and a
// second colour image for the swap.
struct Channels {
  explicit Channels(uint32_t bpp) : colour(bpp, CvType8(bpp), 1), other(bpp, CvType8(bpp), 2) {
    for (uint32_t c = 0; c < bpp / 8; ++c) {
      planes.push_back(std::make_unique<SharedImage>(8, CV_8UC1, 3 + c));
      mats.push_back(planes.back()->mat);
    }
  }
  KLEM_HANDLE Plane(size_t c) const { return planes[c]->handle; }
  SharedImage colour, other;
  std::vector<std::unique_ptr<SharedImage>> planes;
  std::vector<cv::Mat> mats;  // views of the channel images
};

using KlemCall = uint32_t (*)(Channels&);
using OpenCvCall = void (*)(Channels&);

void AddCase(std::vector<Case>& cases, const char* name, uint32_t bpp, KlemCall klem,
             OpenCvCall opencv) {
  cases.push_back({name, std::to_string(bpp), [=] {
                     auto o = std::make_shared<Channels>(bpp);
                     return Timed{[=] { return klem(*o); }, [=] { opencv(*o); }};
                   }});
}

// Bytes 0..2 reversed; OpenCV's pairs name (source channel, destination channel).
const int32_t kReverse[3] = {2, 1, 0};
const int kReversePairs[] = {0, 2, 1, 1, 2, 0};

std::vector<Case> ChannelCases() {
  std::vector<Case> cases;
  AddCase(
      cases, "split channels", 24,
      [](Channels& o) {
        return KLEM_SplitChannels(o.colour.handle, o.Plane(0), o.Plane(1), o.Plane(2));
      },
      [](Channels& o) { cv::split(o.colour.mat, o.mats); });
  AddCase(
      cases, "split channels", 32,
      [](Channels& o) {
        return KLEM_SplitChannelsRGBA(o.colour.handle, o.Plane(0), o.Plane(1), o.Plane(2),
                                      o.Plane(3));
      },
      [](Channels& o) { cv::split(o.colour.mat, o.mats); });
  AddCase(
      cases, "from channels", 24,
      [](Channels& o) {
        return KLEM_FromChannels(o.colour.handle, o.Plane(0), o.Plane(1), o.Plane(2));
      },
      [](Channels& o) { cv::merge(o.mats, o.colour.mat); });
  AddCase(
      cases, "from channels", 32,
      [](Channels& o) {
        return KLEM_FromChannelsRGBA(o.colour.handle, o.Plane(0), o.Plane(1), o.Plane(2),
                                     o.Plane(3));
      },
      [](Channels& o) { cv::merge(o.mats, o.colour.mat); });
  for (uint32_t bpp : {24u, 32u}) {
    AddCase(
        cases, "swap channels (mixChannels)", bpp,
        [](Channels& o) { return KLEM_SwapChannels(o.colour.handle, o.other.handle, kReverse, 3); },
        [](Channels& o) { cv::mixChannels(&o.other.mat, 1, &o.colour.mat, 1, kReversePairs, 3); });
  }
  return cases;
}

const bool kRegistered = AddCases(ChannelCases());

}  // namespace
}  // namespace klem::bench
