#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/library_texts.h"
#include "handle_test_support.h"

namespace klem::test {
namespace {

TEST(ExportedFrame, NullHandlesAndOutPointersAreRefused) {
  int32_t i32 = 5;
  uint32_t u32 = 5;
  void* memory = &i32;
  const char* text = "untouched";
  char buffer[KLEM_ERROR_BUFFER_SIZE] = "untouched";
  uint8_t pixels[3] = {};
  HostImage o;
  const uint32_t results[] = {
      KLEM_FreeCKorPelora(nullptr), KLEM_GetError(nullptr, buffer), KLEM_SetError(nullptr, "x"),
      KLEM_GetVersion(nullptr, &text), KLEM_GetProcessorDetected(nullptr, &text),
      KLEM_GetProcessorCodeUsed(nullptr, &text), KLEM_GetProcessorDetails(nullptr, &text),
      KLEM_GetScaleFactor(nullptr, &i32), KLEM_SetScaleFactor(nullptr, 3),
      KLEM_Create(nullptr, 1, 1, 8), KLEM_AttachNoFree(nullptr, pixels, 3, 1, 1, 24),
      KLEM_AttachNoFreeEx(nullptr, pixels, 3, 1, 1, 3, 25), KLEM_Clear(nullptr),
      KLEM_GetWidth(nullptr, &i32), KLEM_GetHeight(nullptr, &i32),
      KLEM_GetBitsPerPixel(nullptr, &u32), KLEM_GetWidthBytes(nullptr, &i32),
      KLEM_GetImageMemory(nullptr, &memory), KLEM_GetImageSizeInBytes(nullptr, &u32),
      KLEM_GetError(o.h(), nullptr), KLEM_GetVersion(o.h(), nullptr),
      KLEM_GetProcessorDetected(o.h(), nullptr), KLEM_GetScaleFactor(o.h(), nullptr),
      KLEM_GetWidth(o.h(), nullptr), KLEM_GetImageMemory(o.h(), nullptr),
  };
  for (uint32_t result : results) EXPECT_EQ(result, KLEM_INVALID_ARG);
  EXPECT_EQ((std::pair{i32, u32}), (std::pair{5, 5u}));
  EXPECT_EQ(memory, &i32);
  EXPECT_STREQ(text, "untouched");
  EXPECT_STREQ(buffer, "untouched");
}

TEST(ExportedFrame, ErrorTextIsCutToTheHostsBuffer) {
  HostImage o;
  KLEM_SetError(o.h(), std::string(5000, 'x').c_str());
  std::vector<char> buffer(KLEM_ERROR_BUFFER_SIZE + 16, '#');
  EXPECT_EQ(KLEM_GetError(o.h(), buffer.data()), KLEM_OK);
  EXPECT_EQ(std::string(buffer.data()), std::string(1023, 'x'));
  EXPECT_EQ(buffer[KLEM_ERROR_BUFFER_SIZE], '#');  // nothing written past the 1024 bytes
}

TEST(ExportedFrame, NewObjectsAndTheScaleFactorThatSurvivesClear) {
  HostImage a, b;
  EXPECT_EQ(a.Shape(), Geometry{});
  EXPECT_EQ(a.Error(), "");
  int32_t value = -1;
  EXPECT_EQ(KLEM_GetScaleFactor(a.h(), &value), KLEM_OK);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(KLEM_SetScaleFactor(a.h(), 3), KLEM_OK);
  KLEM_Clear(a.h());
  KLEM_Create(a.h(), 2, 2, 8);
  KLEM_GetScaleFactor(a.h(), &value);
  EXPECT_EQ(value, 3);
  KLEM_GetScaleFactor(b.h(), &value);
  EXPECT_EQ(value, 0);
}

TEST(ExportedFrame, HandsOutTheTextsOfThisProcessor) {
  HostImage o;
  const char *version = nullptr, *codeUsed = nullptr, *details = nullptr;
  ASSERT_EQ(KLEM_GetVersion(o.h(), &version), KLEM_OK);
  KLEM_Create(o.h(), 4, 4, 8);  // operations leave the handed-out text alone
  EXPECT_EQ(version, ComposeVersionText());
  EXPECT_EQ(std::string(version).rfind("5.0.5.6 ", 0), 0u);
  ASSERT_EQ(KLEM_GetProcessorCodeUsed(o.h(), &codeUsed), KLEM_OK);
  EXPECT_EQ(codeUsed, ComposeProcessorCodeUsedText());
  ASSERT_EQ(KLEM_GetProcessorDetails(o.h(), &details), KLEM_OK);  // two to three seconds
  EXPECT_EQ(std::string(details).rfind("CPU Frequence: ", 0), 0u) << details;
}

TEST(ProcessingObject, KernelErrorsAreComposedFromMessageStatusAndStatusText) {
  CPelora object;
  object.SetErrorText("previous");
  object.SetKernelError("Can't add image!", kernels::kStsNoErr);
  EXPECT_EQ(object.GetErrorText(), "previous");
  const struct {
    const char* message;
    kernels::KernelStatus status;
    const char* text;
  } cases[] = {
      {"Can't add!", -6, "Can't add! Error(-6)krnStsSizeErr: Wrong value of data size"},
      {"Can't add!", 1, "Can't add! Warning(1)krnStsNoOperation: No operation has been executed"},
      {"", 6, "Warning(6)krnStsDivByZero: Zero value(s) of the divisor in the function Div"},
      {"Can't divide!", -12345,  // unknown codes read as such
       "Can't divide! Error(-12345)krnStsUnknownStatusCodeErr: Unknown Status Code"},
  };
  for (const auto& c : cases) {
    object.SetKernelError(c.message, c.status);
    EXPECT_EQ(object.GetErrorText(), c.text);
  }
}

}  // namespace
}  // namespace klem::test
