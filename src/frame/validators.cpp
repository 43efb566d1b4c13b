// Checks shared by the operations. Each stores exactly one message on the
// destination (this) and returns false at the first failure; none touches pixels.
#include <cstdio>
#include <initializer_list>

#include "frame/pelora.h"

namespace klem {
namespace {

constexpr const char* kDifferentSize = "Pictures of different size!";
constexpr const char* kDifferentFormat = "Pictures have different format!";
constexpr const char* kNeed8BitDest = "Require 8bit Destination bit depth!";
constexpr const char* kNoImageData = "There is no imagedata available!";

bool SameSize(const CKorImgBase& a, const CKorImgBase& b) {
  return a.GetHeight() == b.GetHeight() && a.GetWidth() == b.GetWidth();
}

bool AllPresentHaveFormat(uint32_t bpp, std::initializer_list<const CKorImgBase*> images) {
  for (const CKorImgBase* image : images) {
    if (image && image->GetBitsPerPixel() != bpp) return false;
  }
  return true;
}

template <typename Getter>
bool AllPresentMatch(const CKorImgBase& first, std::initializer_list<const CKorImgBase*> others,
                     Getter get) {
  for (const CKorImgBase* image : others) {
    if (image && get(*image) != get(first)) return false;
  }
  return true;
}

}  // namespace

bool CPelora::Fail(std::string_view message) {
  SetErrorText(message);
  return false;
}

bool CPelora::CheckSameSize(const CKorImgBase& src) {
  return SameSize(*this, src) || Fail(kDifferentSize);
}

bool CPelora::CheckSameFormat(const CKorImgBase& src) {
  return GetBitsPerPixel() == src.GetBitsPerPixel() || Fail(kDifferentFormat);
}

bool CPelora::CheckSameSizeAndFormat(const CKorImgBase& src) {
  return CheckSameSize(src) && CheckSameFormat(src);
}

bool CPelora::CheckSameSizeAndFormat3(const CKorImgBase& a, const CKorImgBase& b) {
  return CheckSameSize(a) && CheckSameSize(b) && CheckSameFormat(a) && CheckSameFormat(b);
}

bool CPelora::CheckDest1Bit() {
  return GetBitsPerPixel() == 1 || Fail("Require 1bit black&white Destination bit depth!");
}

bool CPelora::CheckSource8Bit(const CKorImgBase& src) {
  return CheckSameSize(src) && (src.GetBitsPerPixel() == 8 || Fail("Require 8bit Source bit depth!"));
}

bool CPelora::CheckDest8Bit() { return GetBitsPerPixel() == 8 || Fail(kNeed8BitDest); }

bool CPelora::CheckAll8Bit(const CKorImgBase* a, const CKorImgBase* b, const CKorImgBase* c,
                           const CKorImgBase* d) {
  return AllPresentHaveFormat(8, {a, b, c, d}) || Fail(kNeed8BitDest);
}

bool CPelora::CheckSource24Bit(const CKorImgBase& src) {
  return CheckSameSize(src) &&
         (src.GetBitsPerPixel() == 24 || Fail("Require 24bit Source bit depth!"));
}

bool CPelora::CheckDest24Bit() {
  return GetBitsPerPixel() == 24 || Fail("Require 24bit Destination bit depth!");
}

bool CPelora::CheckMinSize(int32_t minimum) {
  if (GetWidth() >= minimum && GetHeight() >= minimum) return true;
  char text[64];
  std::snprintf(text, sizeof text, "Imagesize %dx%d too small!", GetWidth(), GetHeight());
  return Fail(text);
}

bool CPelora::CheckHasImageData() { return GetImageMemory() != nullptr || Fail(kNoImageData); }

bool CPelora::CheckSourceHasImageData(const CKorImgBase& src) {
  return src.GetImageMemory() != nullptr || Fail(kNoImageData);
}

bool CPelora::CheckSameWidth(const CKorImgBase& first, const CKorImgBase* b, const CKorImgBase* c,
                             const CKorImgBase* d) {
  return AllPresentMatch(first, {b, c, d}, [](const CKorImgBase& i) { return i.GetWidth(); }) ||
         Fail("Width is not equal!");
}

bool CPelora::CheckSameHeight(const CKorImgBase& first, const CKorImgBase* b,
                              const CKorImgBase* c, const CKorImgBase* d) {
  return AllPresentMatch(first, {b, c, d}, [](const CKorImgBase& i) { return i.GetHeight(); }) ||
         Fail("Height is not equal!");
}

}  // namespace klem
