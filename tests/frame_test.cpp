// The frame below the operations: the exported functions that are not
// operations, the image buffer, and the validators. The calls of the frame
// with what each gives stand in the table of allocation_failure_test.cpp.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "frame/library_texts.h"
#include "handle_test_support.h"
#include "platform/heap.h"

namespace klem::test {
namespace {

TEST(ExportedFrame, ScaleFactorBelongsToTheObjectAndSurvivesClear) {
  HostImage a, b;
  int32_t value = -1, fresh = -1;
  EXPECT_EQ(KLEM_SetScaleFactor(a.h(), 3), KLEM_OK);
  KLEM_Clear(a.h());
  EXPECT_EQ(KLEM_GetScaleFactor(a.h(), &value) | KLEM_GetScaleFactor(b.h(), &fresh), KLEM_OK);
  EXPECT_EQ((std::pair{value, fresh}), (std::pair{3, 0}));  // a new object's is 0
}

TEST(ExportedFrame, HandsOutTheTextsOfThisProcessor) {
  HostImage o;
  const char *version = nullptr, *details = nullptr;
  ASSERT_EQ(KLEM_GetVersion(o.h(), &version), KLEM_OK);
  KLEM_Create(o.h(), 4, 4, 8);  // operations leave the handed-out text alone
  EXPECT_EQ(version, ComposeVersionText());
  ASSERT_EQ(KLEM_GetProcessorDetails(o.h(), &details), KLEM_OK);  // two to three seconds
  EXPECT_EQ(std::string(details).rfind("CPU Frequence: ", 0), 0u) << details;
  // The vector object's texts are the image object's.
  HostMath math;
  using Getter = uint32_t (*)(ZEV_HANDLE, const char**);
  const std::pair<Getter, uint32_t (*)(KLEM_HANDLE, const char**)> getters[] = {
      {ZEV_GetVersion, KLEM_GetVersion},
      {ZEV_GetProcessorDetected, KLEM_GetProcessorDetected},
      {ZEV_GetProcessorCodeUsed, KLEM_GetProcessorCodeUsed}};
  for (const auto& [get, getImage] : getters) {
    const char *ours = nullptr, *theirs = nullptr;
    ASSERT_EQ(get(math.h(), &ours), KLEM_OK);
    ASSERT_EQ(getImage(o.h(), &theirs), KLEM_OK);
    EXPECT_NE(std::string(ours), "");
    EXPECT_STREQ(ours, theirs);
  }
}

TEST(ProcessingObject, KernelErrorsAreComposedFromMessageStatusAndStatusText) {
  CPelora object;
  object.SetErrorText("previous");
  const std::tuple<const char*, kernels::KernelStatus, const char*> cases[] = {
      {"Can't add!", kernels::kStsNoErr, "previous"},  // status 0 changes nothing
      {"Can't add!", 1, "Can't add! Warning(1)krnStsNoOperation: No operation has been executed"},
      {"", 6, "Warning(6)krnStsDivByZero: Zero value(s) of the divisor in the function Div"},
      {"Can't divide!", -12345,  // unknown codes read as such
       "Can't divide! Error(-12345)krnStsUnknownStatusCodeErr: Unknown Status Code"}};
  for (const auto& [message, status, text] : cases) {
    object.SetKernelError(message, status);
    EXPECT_EQ(object.GetErrorText(), text);
  }
}

TEST(ImageBuffer, PalettesHoldTheirRampsAndPixelsAreAligned) {
  HostImage image;
  // Format, entries, an index and its blue, green, red, alpha; 24 bits keep the table.
  const std::tuple<uint32_t, uint32_t, uint32_t, std::array<uint8_t, 4>> cases[] = {
      {1, 2, 0, {0, 0, 0, 255}}, {1, 2, 1, {255, 255, 255, 255}}, {8, 256, 77, {77, 77, 77, 255}},
      {16, 65536, 0x1234, {0, 0x12, 0x34, 255}}, {24, 65536, 0x1234, {0, 0x12, 0x34, 255}}};
  for (const auto& [bpp, entries, index, bgra] : cases) {
    ASSERT_EQ(KLEM_Create(image.h(), 3, 2, bpp), KLEM_OK);
    const CPalette& palette = image.Object().GetPalette();
    const PaletteEntry& e = palette.Entries()[index];
    EXPECT_EQ(palette.Count(), entries) << bpp;
    EXPECT_EQ((std::array{e.blue, e.green, e.red, e.alpha}), bgra) << bpp;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(image.Memory()) % platform::kPixelAlignment, 0u);
  }
}

TEST(ImageBuffer, ClearForgetsBorrowedMemoryAndTheColourTable) {
  std::vector<uint8_t> host(120);
  std::iota(host.begin(), host.end(), 0);
  {
    HostImage image;
    ASSERT_EQ(KLEM_AttachNoFree(image.h(), host.data(), 40, 10, 4, 9), KLEM_OK);
    EXPECT_EQ(image.Memory(), host.data());
    EXPECT_EQ(image.Object().GetPalette().Count(), 256u);
    KLEM_Clear(image.h());
    EXPECT_EQ(image.Memory(), nullptr);
    EXPECT_EQ(image.Object().GetPalette().Count(), 0u);
    ASSERT_EQ(KLEM_AttachNoFree(image.h(), host.data(), 120, 10, 4, 24), KLEM_OK);
  }  // neither Clear nor destroying the image releases it (the sanitizer run would object)
  EXPECT_EQ(host[119], 119);
}

// An image of the base layer that serves as another image's listener, and
// tries to change the error text of the image it listens to.
struct Listener : CKorImgBase {
  using CKorImgBase::CKorImgBase;
  int32_t GetClassType() const override { return 1; }
  void OnImageChanged() override { ++changes, watched->SetErrorText("changed by the listener"); }
  int changes = 0;
  CKorImgBase* watched = nullptr;
};

TEST(ImageBuffer, ListenerIsToldOfEveryChangeAndCannotAlterTheErrorText) {
  Listener listener, image(&listener);
  listener.watched = &image;
  ASSERT_TRUE(image.Create(2, 2, 8));
  image.SetErrorText("before clear");
  image.Clear();
  EXPECT_EQ(image.GetErrorText(), "before clear");
  EXPECT_FALSE(image.Create(100000, 100000, 8));  // one pixel instead
  EXPECT_EQ(image.GetErrorText(), "Can't allocate image in the size of 100000 x 100000!");
  EXPECT_FALSE(image.Create(0, 9, 8));  // refused requests change nothing
  EXPECT_EQ(listener.changes, 3);
}

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
}  // namespace klem::test
