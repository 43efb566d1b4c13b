// Host memory of 16-bit images attached at an odd address: every operation
// gives the same status, text and bytes as on the same pixels at an aligned
// address (and, under UndefinedBehaviorSanitizer, reads and writes no 16-bit
// sample through a misaligned pointer).
#include <functional>

#include "handle_test_support.h"

namespace klem::test {
namespace {

constexpr int32_t kWidth = 37, kHeight = 5;  // odd rows keep every row start odd

using Op = std::function<uint32_t(KLEM_HANDLE image, KLEM_HANDLE other)>;

struct Case {
  const char* name;
  Op op;
  uint32_t otherFormat = 0;  // 0: the image's own format
};

const Case kCases[] = {
    {"Add", KLEM_Add},
    {"Subtract", KLEM_Subtract},
    {"Multiply", KLEM_Multiply},
    {"Divide", KLEM_Divide},
    {"And", KLEM_And},
    {"Or", KLEM_Or},
    {"Xor", KLEM_Xor},
    {"Copy", KLEM_Copy},
    {"Difference", [](KLEM_HANDLE h, KLEM_HANDLE o) { return KLEM_Difference(h, o, o); }},
    {"DifferenceConstant", [](KLEM_HANDLE h, KLEM_HANDLE o) { return KLEM_DifferenceConstant(h, o, 0x1234); }},
    {"AddConstant", [](KLEM_HANDLE h, KLEM_HANDLE) { return KLEM_AddConstant(h, 0x2345); }},
    {"SubtractConstant", [](KLEM_HANDLE h, KLEM_HANDLE) { return KLEM_SubtractConstant(h, 0x2345); }},
    {"MultiplyConstant", [](KLEM_HANDLE h, KLEM_HANDLE) { return KLEM_MultiplyConstant(h, 3); }},
    {"DivideConstant", [](KLEM_HANDLE h, KLEM_HANDLE) { return KLEM_DivideConstant(h, 7); }},
    {"AndConstant", [](KLEM_HANDLE h, KLEM_HANDLE) { return KLEM_AndConstant(h, 0xF0F0); }},
    {"OrConstant", [](KLEM_HANDLE h, KLEM_HANDLE) { return KLEM_OrConstant(h, 0x0F0F); }},
    {"XorConstant", [](KLEM_HANDLE h, KLEM_HANDLE) { return KLEM_XorConstant(h, 0x5A5A); }},
    {"Invert", [](KLEM_HANDLE h, KLEM_HANDLE) { return KLEM_Invert(h); }},
    {"Scale", [](KLEM_HANDLE h, KLEM_HANDLE) { return KLEM_Scale(h, 1, 2, 3, 0); }},
    {"Fill", [](KLEM_HANDLE h, KLEM_HANDLE) { return KLEM_Fill(h, 0x123456); }},
    {"MirrorHorizontal", [](KLEM_HANDLE h, KLEM_HANDLE) { return KLEM_MirrorHorizontal(h); }},
    {"HDRScaleDown", [](KLEM_HANDLE h, KLEM_HANDLE o) { return KLEM_HDRScaleDown(o, h); }, 8},
    {"HDRScaleDown 24", [](KLEM_HANDLE h, KLEM_HANDLE o) { return KLEM_HDRScaleDown(o, h); }, 24},
};

// An image attached at offset bytes into buffer, holding pixels.
void AttachAt(HostImage& image, std::vector<uint8_t>& buffer, size_t offset, uint32_t format,
              const std::vector<uint8_t>& pixels) {
  std::memcpy(buffer.data() + offset, pixels.data(), pixels.size());
  ASSERT_EQ(KLEM_AttachNoFree(image.h(), buffer.data() + offset, uint32_t(pixels.size()), kWidth, kHeight, format),
            KLEM_OK);
}

TEST(MisalignedHostMemory, SixteenBitImagesAtOddAddressesGiveTheAlignedResults) {
  for (uint32_t format : {16u, 48u}) {
    const size_t size = size_t(kWidth) * format / 8 * kHeight;
    for (const Case& c : kCases) {
      SCOPED_TRACE(std::string(c.name) + " on format " + std::to_string(format));
      const uint32_t otherFormat = c.otherFormat ? c.otherFormat : format;
      const size_t otherSize = size_t(kWidth) * otherFormat / 8 * kHeight;
      struct Run {
        uint32_t status;
        std::string text;
        std::vector<uint8_t> image, other;
      } runs[2];
      for (size_t offset : {0, 1}) {
        std::vector<uint8_t> buffer(size + 16), otherBuffer(otherSize + 16);
        HostImage image, other;
        AttachAt(image, buffer, offset, format, Pattern(size, 1));
        AttachAt(other, otherBuffer, offset, otherFormat, Pattern(otherSize, 2));
        Run& run = runs[offset];
        run.status = c.op(image.h(), other.h());
        run.text = image.Error() + "|" + other.Error();
        run.image.assign(buffer.begin() + offset, buffer.begin() + offset + size);
        run.other.assign(otherBuffer.begin() + offset, otherBuffer.begin() + offset + otherSize);
      }
      EXPECT_EQ(runs[1].status, runs[0].status);
      EXPECT_EQ(runs[1].text, runs[0].text);
      EXPECT_EQ(runs[1].image, runs[0].image);
      EXPECT_EQ(runs[1].other, runs[0].other);
    }
  }
}

}  // namespace
}  // namespace klem::test
