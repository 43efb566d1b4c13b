// Fill, copies, crops and bordered copies beside their OpenCV calls.
#include <opencv2/core.hpp>

#include <memory>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

constexpr int kBorder = 16;
// The rectangle of the crops: 1280 x 720 from (100, 50), put at (300, 200).
const cv::Rect kRect(100, 50, 1280, 720);
constexpr int kColumn = 300, kRow = 200;

// dst is written; src is read; mask has about half its bytes nonzero; small is
// the source of the bordered copies, the crop the destination of KLEM_Crop.
struct Operands {
  explicit Operands(uint32_t bpp)
      : dst(bpp, CvType8(bpp), 1), src(bpp, CvType8(bpp), 2), mask(8, CV_8UC1, 3),
        small(bpp, CvType8(bpp), 4, 0, kWidth - 2 * kBorder, kHeight - 2 * kBorder),
        crop(bpp, CvType8(bpp), 5, 0, kRect.width, kRect.height) {
    mask.mat.setTo(0, mask.mat < 128);
  }
  SharedImage dst, src, mask, small, crop;
};

void AddCase(std::vector<Case>& cases, const char* name, std::vector<uint32_t> formats,
             uint32_t (*klem)(Operands&), void (*opencv)(Operands&)) {
  for (uint32_t bpp : formats) {
    cases.push_back({name, std::to_string(bpp), [=] {
                       auto o = std::make_shared<Operands>(bpp);
                       return Timed{[=] { return klem(*o); }, [=] { opencv(*o); }};
                     }});
  }
}

std::vector<Case> CopyCases() {
  std::vector<Case> cases;
  AddCase(cases, "fill (setTo)", {8, 24, 32}, [](Operands& o) { return KLEM_Fill(o.dst.handle, 0x04030201); },
          [](Operands& o) { o.dst.mat.setTo(cv::Scalar(1, 2, 3, 4)); });
  AddCase(cases, "copy", {8, 24}, [](Operands& o) { return KLEM_Copy(o.dst.handle, o.src.handle); },
          [](Operands& o) { o.src.mat.copyTo(o.dst.mat); });
  AddCase(cases, "copy with mask", {8, 24},
          [](Operands& o) { return KLEM_CopyWithMask(o.dst.handle, o.src.handle, o.mask.handle); },
          [](Operands& o) { o.src.mat.copyTo(o.dst.mat, o.mask.mat); });
  AddCase(cases, "crop 1280x720 (ROI copyTo)", {8, 24},
          [](Operands& o) {
            return KLEM_Crop(o.crop.handle, o.src.handle, kRect.x, kRect.y, kRect.br().x - 1, kRect.br().y - 1);
          },
          [](Operands& o) { o.src.mat(kRect).copyTo(o.crop.mat); });
  AddCase(cases, "crop to 1280x720 (ROI copyTo)", {8, 24},
          [](Operands& o) {
            return KLEM_CropTo(o.dst.handle, o.src.handle, kRect.x, kRect.y, kRect.br().x - 1, kRect.br().y - 1,
                               kColumn, kRow);
          },
          [](Operands& o) {
            cv::Mat target = o.dst.mat(cv::Rect(kColumn, kRow, kRect.width, kRect.height));
            o.src.mat(kRect).copyTo(target);
          });
  AddCase(cases, "const border 16 (copyMakeBorder)", {8, 24},
          [](Operands& o) {
            return KLEM_CopyWithConstBorder(o.dst.handle, o.small.handle, kBorder, kBorder, 0x030201);
          },
          [](Operands& o) {
            cv::copyMakeBorder(o.small.mat, o.dst.mat, kBorder, kBorder, kBorder, kBorder, cv::BORDER_CONSTANT,
                               cv::Scalar(1, 2, 3));
          });
  AddCase(cases, "replicate border 16 (copyMakeBorder)", {8, 24},
          [](Operands& o) { return KLEM_CopyWithReplicateBorder(o.dst.handle, o.small.handle, kBorder, kBorder); },
          [](Operands& o) {
            cv::copyMakeBorder(o.small.mat, o.dst.mat, kBorder, kBorder, kBorder, kBorder, cv::BORDER_REPLICATE);
          });
  return cases;
}

const bool kRegistered = AddCases(CopyCases());

}  // namespace
}  // namespace klem::bench
