#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "frame/pelora.h"

namespace klem {
namespace {

// An image of a size and format; format 9 is attached host memory.
struct Image : CPelora {
  Image(int32_t width, int32_t height, uint32_t bpp) : memory(size_t(width) * height) {
    if (bpp == 9) AttachNoFree(memory.data(), uint32_t(memory.size()), width, height, 9);
    if (bpp != 9 && bpp != 0) Create(width, height, bpp);
  }
  std::vector<uint8_t> memory;
};

struct Images {
  Image gray{10, 10, 8}, sameGray{10, 10, 8}, attached{10, 10, 9}, colour{10, 10, 24};
  Image taller{10, 11, 24}, wider{11, 10, 8}, bw{10, 10, 1}, empty{0, 0, 0};
  Image threeByFive{3, 5, 8}, twoByFive{2, 5, 8}, a{4, 6, 8}, b{4, 7, 24}, c{5, 6, 8};
  Image cleared{3, 3, 8};
  Images() { cleared.Clear(); }
};

// One check d.Check...(...) on the image `dest` of a fresh set of images i.
#define ON(dest, ...) \
  &Images::dest, [](CPelora& d, [[maybe_unused]] Images& i) { return __VA_ARGS__; }

const struct {
  Image Images::*dest;
  std::function<bool(CPelora&, Images&)> check;
  const char* text;  // "" when the check passes
} kCases[] = {
    {ON(gray, d.CheckSameSizeAndFormat(i.taller)), "Pictures of different size!"},
    {ON(gray, d.CheckSameSize(i.wider)), "Pictures of different size!"},
    {ON(gray, d.CheckSameSizeAndFormat(i.attached)), "Pictures have different format!"},
    {ON(gray, d.CheckSameFormat(i.taller)), "Pictures have different format!"},
    {ON(gray, d.CheckSameSizeAndFormat(i.sameGray)), ""},
    // Both sizes are compared before either format.
    {ON(gray, d.CheckSameSizeAndFormat3(i.attached, i.wider)), "Pictures of different size!"},
    {ON(gray, d.CheckSameSizeAndFormat3(i.sameGray, i.attached)), "Pictures have different format!"},
    {ON(gray, d.CheckSameSizeAndFormat3(i.sameGray, i.sameGray)), ""},
    {ON(gray, d.CheckDest8Bit()), ""},
    {ON(attached, d.CheckDest8Bit()), "Require 8bit Destination bit depth!"},
    {ON(gray, d.CheckDest24Bit()), "Require 24bit Destination bit depth!"},
    {ON(colour, d.CheckDest1Bit()), "Require 1bit black&white Destination bit depth!"},
    {ON(bw, d.CheckDest1Bit()), ""},
    {ON(gray, d.CheckSource8Bit(i.colour)), "Require 8bit Source bit depth!"},
    {ON(gray, d.CheckSource8Bit(i.taller)), "Pictures of different size!"},
    {ON(gray, d.CheckSource24Bit(i.sameGray)), "Require 24bit Source bit depth!"},
    {ON(gray, d.CheckSource24Bit(i.taller)), "Pictures of different size!"},
    {ON(gray, d.CheckSource24Bit(i.colour)), ""},
    {ON(gray, d.CheckAll8Bit(&i.sameGray, nullptr, &i.colour)), "Require 8bit Destination bit depth!"},
    {ON(gray, d.CheckAll8Bit(&i.sameGray, nullptr, &i.gray)), ""},
    {ON(threeByFive, d.CheckMinSize(3)), ""},
    {ON(twoByFive, d.CheckMinSize(3)), "Imagesize 2x5 too small!"},
    {ON(empty, d.CheckHasImageData()), "There is no imagedata available!"},
    {ON(gray, d.CheckHasImageData()), ""},
    {ON(gray, d.CheckSourceHasImageData(i.empty)), "There is no imagedata available!"},
    {ON(cleared, d.CheckHasImageData()), "There is no imagedata available!"},
    {ON(gray, d.CheckSameWidth(i.a, nullptr, &i.b)), ""},
    {ON(gray, d.CheckSameWidth(i.a, &i.b, nullptr, &i.c)), "Width is not equal!"},
    {ON(gray, d.CheckSameHeight(i.a, nullptr, nullptr, &i.c)), ""},
    {ON(gray, d.CheckSameHeight(i.a, &i.c, &i.b)), "Height is not equal!"},
};

// A failing check stores its one message on the destination; a passing one
// leaves the text that was there.
TEST(Validators, MessagesInTheirOrder) {
  for (const auto& c : kCases) {
    Images images;
    CPelora& dest = images.*c.dest;
    dest.SetErrorText("marker");
    const bool passed = c.check(dest, images);
    EXPECT_EQ(passed, *c.text == '\0') << c.text;
    EXPECT_EQ(dest.GetErrorText(), passed ? "marker" : c.text);
  }
}

}  // namespace
}  // namespace klem
