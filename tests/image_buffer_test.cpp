// The image buffer beyond what the table of frame calls checks: colour
// tables, alignment, borrowed memory and the listener.
#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <vector>

#include "handle_test_support.h"
#include "platform/heap.h"

namespace klem::test {
namespace {

TEST(ImageBuffer, PalettesHoldTheirRampsAndPixelsAreAligned) {
  HostImage image;
  const CPalette& palette = image.Object().GetPalette();
  const auto entry = [&](uint32_t i) {
    const PaletteEntry& e = palette.Entries()[i];
    return std::array{e.blue, e.green, e.red, e.alpha};
  };
  using Bgra = std::array<uint8_t, 4>;
  ASSERT_EQ(KLEM_Create(image.h(), 2, 2, 1), KLEM_OK);
  EXPECT_EQ(palette.Count(), 2u);
  EXPECT_EQ(entry(0), (Bgra{0, 0, 0, 255}));
  EXPECT_EQ(entry(1), (Bgra{255, 255, 255, 255}));
  ASSERT_EQ(KLEM_Create(image.h(), 2, 2, 8), KLEM_OK);
  EXPECT_EQ(palette.Count(), 256u);
  EXPECT_EQ(entry(77), (Bgra{77, 77, 77, 255}));
  ASSERT_EQ(KLEM_Create(image.h(), 3, 3, 16), KLEM_OK);
  EXPECT_EQ(palette.Count(), 65536u);
  EXPECT_EQ(entry(0x1234), (Bgra{0, 0x12, 0x34, 255}));
  ASSERT_EQ(KLEM_Create(image.h(), 2, 2, 24), KLEM_OK);  // colour formats keep the table they had
  EXPECT_EQ(palette.Count(), 65536u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(image.Memory()) % platform::kPixelAlignment, 0u);
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
  EXPECT_EQ(image.GetErrorText(), "");
  image.SetErrorText("before clear");
  image.Clear();
  EXPECT_EQ(image.GetErrorText(), "before clear");
  EXPECT_FALSE(image.Create(100000, 100000, 8));  // one pixel instead
  EXPECT_EQ(image.GetErrorText(), "Can't allocate image in the size of 100000 x 100000!");
  EXPECT_FALSE(image.Create(0, 9, 8));  // refused requests change nothing
  EXPECT_EQ(listener.changes, 3);
}

}  // namespace
}  // namespace klem::test
