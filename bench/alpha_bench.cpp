// Alpha operations beside the closest OpenCV calls. OpenCV has premultiplying
// but no compositing, so the overlays are timed against the same arithmetic
// written with its per-element calls.
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <memory>
#include <vector>

#include "bench_support.h"

namespace klem::bench {
namespace {

// dst is written, a and b are the sources, plane an 8-bit alpha image; the
// scratch images hold what OpenCV builds from the alphas.
struct Operands {
  explicit Operands(uint32_t bpp)
      : dst(bpp, CvType8(bpp), 1), a(bpp, CvType8(bpp), 2), b(bpp, CvType8(bpp), 3),
        plane(8, CV_8UC1, 4), out(a.mat.size(), a.mat.type()),
        alphaA(a.mat.size(), a.mat.type(), cv::Scalar::all(255)),
        alphaB(a.mat.size(), a.mat.type(), cv::Scalar::all(255)), inverseA(a.mat.size(), a.mat.type()),
        constant(a.mat.size(), CV_8UC1, cv::Scalar(200)) {}
  SharedImage dst, a, b, plane;
  cv::Mat out, alphaA, alphaB, inverseA, constant;
};

using KlemCall = uint32_t (*)(Operands&);
using OpenCvCall = void (*)(Operands&);

void AddAlphaCase(std::vector<Case>& cases, const char* name, std::vector<uint32_t> formats,
                  KlemCall klem, OpenCvCall opencv) {
  for (uint32_t bpp : formats) {
    cases.push_back({name, std::to_string(bpp), [=] {
                       auto o = std::make_shared<Operands>(bpp);
                       return Timed{[=] { return klem(*o); }, [=] { opencv(*o); }};
                     }});
  }
}

// The alphas of A as (aA, aA, aA, 255) and 255 - aA in every channel, of B as
// (aB, aB, aB, 255): the multipliers that premultiply colour and keep alpha.
void OpenCvAlphas(Operands& o, bool straight) {
  const int toColour[] = {3, 0, 3, 1, 3, 2}, toAll[] = {3, 0, 3, 1, 3, 2, 3, 3};
  if (straight) {
    cv::mixChannels(&o.a.mat, 1, &o.alphaA, 1, toColour, 3);
    cv::mixChannels(&o.b.mat, 1, &o.alphaB, 1, toColour, 3);
  }
  cv::mixChannels(&o.a.mat, 1, &o.inverseA, 1, toAll, 4);
  cv::subtract(cv::Scalar::all(255), o.inverseA, o.inverseA);
}

std::vector<Case> AlphaCases() {
  std::vector<Case> cases;
  // klem premultiplies in place; OpenCV writes another image.
  AddAlphaCase(cases, "premultiply (cv to other)", {32},
               [](Operands& o) { return KLEM_AlphaPremultiply(o.dst.handle); },
               [](Operands& o) { cv::cvtColor(o.a.mat, o.out, cv::COLOR_RGBA2mRGBA); });
  AddAlphaCase(cases, "premultiply const (multiply)", {8, 24, 32},
               [](Operands& o) { return KLEM_AlphaPremultiplyWithConstant(o.dst.handle, 77); },
               [](Operands& o) { cv::multiply(o.dst.mat, cv::Scalar::all(77), o.dst.mat, 1.0 / 255); });
  AddAlphaCase(cases, "alpha const (mixChannels)", {32},
               [](Operands& o) { return KLEM_ApplyAlphaChannelConstant(o.dst.handle, 200); },
               [](Operands& o) {
                 const int toAlpha[] = {0, 3};
                 cv::mixChannels(&o.constant, 1, &o.dst.mat, 1, toAlpha, 1);
               });
  AddAlphaCase(cases, "alpha plane (insertChannel)", {32},
               [](Operands& o) { return KLEM_ApplyAlphaChannel(o.dst.handle, o.plane.handle); },
               [](Operands& o) { cv::insertChannel(o.plane.mat, o.dst.mat, 3); });
  // mul(A, aA) + mul(mul(B, aB), 255 - aA), alpha aA + mul(aB, 255 - aA).
  AddAlphaCase(cases, "over, straight (cv arith)", {32},
               [](Operands& o) { return KLEM_AlphaOverlay(o.dst.handle, o.a.handle, o.b.handle, 0); },
               [](Operands& o) {
                 OpenCvAlphas(o, true);
                 cv::multiply(o.a.mat, o.alphaA, o.out, 1.0 / 255);
                 cv::multiply(o.b.mat, o.alphaB, o.dst.mat, 1.0 / 255);
                 cv::multiply(o.dst.mat, o.inverseA, o.dst.mat, 1.0 / 255);
                 cv::add(o.out, o.dst.mat, o.dst.mat);
               });
  // sat(A + mul(B, 255 - aA)) on every byte.
  AddAlphaCase(cases, "over, premul (cv arith)", {32},
               [](Operands& o) { return KLEM_AlphaOverlay(o.dst.handle, o.a.handle, o.b.handle, 6); },
               [](Operands& o) {
                 OpenCvAlphas(o, false);
                 cv::multiply(o.b.mat, o.inverseA, o.dst.mat, 1.0 / 255);
                 cv::add(o.a.mat, o.dst.mat, o.dst.mat);
               });
  // mul(A, 90) + mul(mul(B, 170), 165) as A * 90/255 + B * 170 * 165/255^2.
  AddAlphaCase(cases, "over const (addWeighted)", {24, 32},
               [](Operands& o) {
                 return KLEM_AlphaOverlayWithConstant(o.dst.handle, o.a.handle, 90, o.b.handle, 170, 0);
               },
               [](Operands& o) {
                 cv::addWeighted(o.a.mat, 90.0 / 255, o.b.mat, 170.0 * 165 / (255.0 * 255), 0, o.dst.mat);
               });
  return cases;
}

const bool kRegistered = AddCases(AlphaCases());

}  // namespace
}  // namespace klem::bench
