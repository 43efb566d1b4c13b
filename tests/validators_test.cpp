#include <gtest/gtest.h>

#include "frame/pelora.h"

namespace klem {
namespace {

struct Image : CPelora {
  Image(int32_t width, int32_t height, uint32_t bpp) {
    if (bpp == 9) {
      memory.resize(static_cast<size_t>(width) * height);
      AttachNoFree(memory.data(), static_cast<uint32_t>(memory.size()), width, height, 9);
    } else if (bpp != 0) {
      Create(width, height, bpp);
    }
  }
  std::vector<uint8_t> memory;
};

// Runs a check on a destination whose error text starts as a marker, and
// returns the text afterwards ("" when the check passed and left the marker).
template <typename Check>
std::string Outcome(CPelora& dest, Check check) {
  dest.SetErrorText("marker");
  const bool passed = check(dest);
  const std::string text = dest.GetErrorText();
  if (passed) return text == "marker" ? "" : "passed but changed the text to " + text;
  return text;
}

TEST(Validators, SizeAndFormatComparisonsInTheirOrder) {
  Image dest(10, 10, 8);
  const Image taller(10, 11, 24), wider(11, 10, 8), same(10, 10, 8), other(10, 10, 9);
  EXPECT_EQ(Outcome(dest, [&](CPelora& d) { return d.CheckSameSizeAndFormat(taller); }),
            "Pictures of different size!");
  EXPECT_EQ(Outcome(dest, [&](CPelora& d) { return d.CheckSameSize(wider); }),
            "Pictures of different size!");
  EXPECT_EQ(Outcome(dest, [&](CPelora& d) { return d.CheckSameSizeAndFormat(other); }),
            "Pictures have different format!");
  EXPECT_EQ(Outcome(dest, [&](CPelora& d) { return d.CheckSameFormat(taller); }),
            "Pictures have different format!");
  EXPECT_EQ(Outcome(dest, [&](CPelora& d) { return d.CheckSameSizeAndFormat(same); }), "");
  // Both sizes are compared before either format.
  EXPECT_EQ(Outcome(dest, [&](CPelora& d) { return d.CheckSameSizeAndFormat3(other, wider); }),
            "Pictures of different size!");
  EXPECT_EQ(Outcome(dest, [&](CPelora& d) { return d.CheckSameSizeAndFormat3(same, other); }),
            "Pictures have different format!");
  EXPECT_EQ(Outcome(dest, [&](CPelora& d) { return d.CheckSameSizeAndFormat3(same, same); }), "");
}

TEST(Validators, FormatRequirements) {
  Image gray(4, 4, 8), colour(4, 4, 24), bw(4, 4, 1), attached(4, 4, 9);
  const Image graySrc(4, 4, 8), colourSrc(4, 4, 24), small(3, 4, 24);
  EXPECT_EQ(Outcome(gray, [](CPelora& d) { return d.CheckDest8Bit(); }), "");
  EXPECT_EQ(Outcome(attached, [](CPelora& d) { return d.CheckDest8Bit(); }),
            "Require 8bit Destination bit depth!");
  EXPECT_EQ(Outcome(gray, [](CPelora& d) { return d.CheckDest24Bit(); }),
            "Require 24bit Destination bit depth!");
  EXPECT_EQ(Outcome(colour, [](CPelora& d) { return d.CheckDest1Bit(); }),
            "Require 1bit black&white Destination bit depth!");
  EXPECT_EQ(Outcome(bw, [](CPelora& d) { return d.CheckDest1Bit(); }), "");
  EXPECT_EQ(Outcome(gray, [&](CPelora& d) { return d.CheckSource8Bit(colourSrc); }),
            "Require 8bit Source bit depth!");
  EXPECT_EQ(Outcome(gray, [&](CPelora& d) { return d.CheckSource8Bit(small); }),
            "Pictures of different size!");
  EXPECT_EQ(Outcome(gray, [&](CPelora& d) { return d.CheckSource24Bit(graySrc); }),
            "Require 24bit Source bit depth!");
  EXPECT_EQ(Outcome(gray, [&](CPelora& d) { return d.CheckSource24Bit(small); }),
            "Pictures of different size!");
  EXPECT_EQ(Outcome(gray, [&](CPelora& d) { return d.CheckSource24Bit(colourSrc); }), "");
  EXPECT_EQ(Outcome(gray, [&](CPelora& d) { return d.CheckAll8Bit(&graySrc, nullptr, &colourSrc); }),
            "Require 8bit Destination bit depth!");
  EXPECT_EQ(Outcome(gray, [&](CPelora& d) { return d.CheckAll8Bit(&graySrc, nullptr, &gray); }), "");
}

TEST(Validators, SizeMemoryWidthAndHeight) {
  Image threeByFive(3, 5, 8), twoByFive(2, 5, 8), empty(0, 0, 0);
  EXPECT_EQ(Outcome(threeByFive, [](CPelora& d) { return d.CheckMinSize(3); }), "");
  EXPECT_EQ(Outcome(twoByFive, [](CPelora& d) { return d.CheckMinSize(3); }),
            "Imagesize 2x5 too small!");
  EXPECT_EQ(Outcome(empty, [](CPelora& d) { return d.CheckHasImageData(); }),
            "There is no imagedata available!");
  EXPECT_EQ(Outcome(threeByFive, [](CPelora& d) { return d.CheckHasImageData(); }), "");
  EXPECT_EQ(Outcome(threeByFive, [&](CPelora& d) { return d.CheckSourceHasImageData(empty); }),
            "There is no imagedata available!");
  threeByFive.Clear();
  EXPECT_EQ(Outcome(threeByFive, [](CPelora& d) { return d.CheckHasImageData(); }),
            "There is no imagedata available!");

  const Image a(4, 6, 8), b(4, 7, 24), c(5, 6, 8);
  Image dest(1, 1, 8);
  EXPECT_EQ(Outcome(dest, [&](CPelora& d) { return d.CheckSameWidth(a, nullptr, &b); }), "");
  EXPECT_EQ(Outcome(dest, [&](CPelora& d) { return d.CheckSameWidth(a, &b, nullptr, &c); }),
            "Width is not equal!");
  EXPECT_EQ(Outcome(dest, [&](CPelora& d) { return d.CheckSameHeight(a, nullptr, nullptr, &c); }), "");
  EXPECT_EQ(Outcome(dest, [&](CPelora& d) { return d.CheckSameHeight(a, &c, &b); }),
            "Height is not equal!");
}

}  // namespace
}  // namespace klem
