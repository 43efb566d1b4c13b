// What every family's benchmark file shares: images that klem and OpenCV see
// alike, and the list of cases the runner (klem_bench.cpp) times.
//
// A family adds its cases from its own file:
//   const bool kRegistered = klem::bench::AddCases(RegionCases());
// Each case's setup builds fresh operands for one benchmark and returns the
// two calls to time; state they share lives in a shared_ptr both capture.
#pragma once

#include <opencv2/core.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "klem/klem.h"

namespace klem::bench {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// An image that klem and OpenCV share: the Mat views the handle's own memory.
struct SharedImage {
  SharedImage(uint32_t bpp, int cvType, uint32_t seed, int minValue = 0, int width = kWidth,
              int height = kHeight)
      : handle(KLEM_CreateCKorPelora()) {
    KLEM_Create(handle, width, height, bpp);
    void* memory = nullptr;
    KLEM_GetImageMemory(handle, &memory);
    int32_t step = 0;
    KLEM_GetWidthBytes(handle, &step);
    mat = cv::Mat(height, width, cvType, memory, static_cast<size_t>(step));
    const int maxValue = CV_MAT_DEPTH(cvType) == CV_16U ? 65535 : 255;
    cv::RNG rng(seed);
    rng.fill(mat, cv::RNG::UNIFORM, cv::Scalar::all(minValue), cv::Scalar::all(maxValue + 1));
  }
  SharedImage(const SharedImage&) = delete;
  SharedImage& operator=(const SharedImage&) = delete;
  ~SharedImage() { KLEM_FreeCKorPelora(handle); }
  KLEM_HANDLE handle;
  cv::Mat mat;
};

// The OpenCV type of a klem colour format of 8-bit samples.
inline int CvType8(uint32_t bpp) { return CV_8UC(static_cast<int>(bpp / 8)); }

// The two calls one case times. klem's result must be expectedResult on
// every call (KLEM_OK unless a warning belongs to the operation).
struct Timed {
  std::function<uint32_t()> klem;
  std::function<void()> opencv;
  uint32_t expectedResult = KLEM_OK;
};

struct Case {
  std::string name;    // the operation, and the OpenCV call where it is not the obvious one
  std::string format;  // the klem colour format, or what the case runs on
  std::function<Timed()> setup;
};

// Adds cases to the list the runner times; returns true so that a file can
// call it in the initialiser of a constant.
bool AddCases(std::vector<Case> cases);
const std::vector<Case>& AllCases();

}  // namespace klem::bench
