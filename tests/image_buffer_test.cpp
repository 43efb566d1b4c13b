#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "frame/pelora.h"
#include "frame/text_exception.h"
#include "platform/heap.h"

namespace klem {
namespace {

constexpr const char* kLongSizeText =
    "Invalid Image Size! The provided memory block must have the size necessary to store the "
    "image.\nFor 1Bit black white imagedata: ((Width+7)/8)*Height.\nFor 8Bit palette imagedata: "
    "Width*Height.\nFor 24Bit RGB imagedata: Width*3*Height";

struct Geometry {
  int32_t width, height, widthBytes, bytesPerPixel;
  uint32_t bpp, size;
};

Geometry GeometryOf(const CKorImgBase& image) {
  return {image.GetWidth(),        image.GetHeight(),       image.GetWidthBytes(),
          image.GetBytesPerPixel(), image.GetBitsPerPixel(), image.GetImageSizeInBytes()};
}

bool operator==(const Geometry& a, const Geometry& b) {
  return a.width == b.width && a.height == b.height && a.widthBytes == b.widthBytes &&
         a.bytesPerPixel == b.bytesPerPixel && a.bpp == b.bpp && a.size == b.size;
}

std::ostream& operator<<(std::ostream& os, const Geometry& g) {
  return os << g.width << "x" << g.height << " bpp " << g.bpp << " row " << g.widthBytes
            << " pixel " << g.bytesPerPixel << " size " << g.size;
}

TEST(ImageCreate, GeometryOfEveryFormat) {
  struct Case {
    uint32_t bpp;
    Geometry expected;
    uint32_t paletteEntries;
  };
  const Case cases[] = {
      {1, {5, 3, 1, 0, 1, 3}, 2},        {1, {9, 2, 2, 0, 1, 4}, 2},
      {8, {5, 3, 5, 1, 8, 15}, 256},     {16, {5, 3, 10, 2, 16, 30}, 65536},
      {24, {5, 3, 15, 3, 24, 45}, 0},    {32, {5, 3, 20, 4, 32, 60}, 0},
      {48, {5, 3, 30, 6, 48, 90}, 0},
  };
  for (const Case& c : cases) {
    CPelora image;
    ASSERT_TRUE(image.Create(c.expected.width, c.expected.height, c.bpp)) << c.bpp;
    EXPECT_EQ(GeometryOf(image), c.expected);
    EXPECT_EQ(image.GetErrorText(), "");
    EXPECT_EQ(image.GetPalette().Count(), c.paletteEntries);
    const uint8_t* memory = image.GetImageMemory();
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(memory) % platform::kPixelAlignment, 0u);
    for (uint32_t i = 0; i < c.expected.size; ++i) ASSERT_EQ(memory[i], 0) << i;
    for (int32_t y = 0; y < c.expected.height; ++y) {
      EXPECT_EQ(image.Line(y), memory + y * c.expected.widthBytes);
    }
  }
}

TEST(ImageCreate, PalettesHoldTheirRamps) {
  CPelora image;
  ASSERT_TRUE(image.Create(2, 2, 1));
  const PaletteEntry* bw = image.GetPalette().Entries();
  EXPECT_EQ((std::array{bw[0].blue, bw[0].green, bw[0].red, bw[0].alpha}),
            (std::array<uint8_t, 4>{0, 0, 0, 255}));
  EXPECT_EQ((std::array{bw[1].blue, bw[1].green, bw[1].red, bw[1].alpha}),
            (std::array<uint8_t, 4>{255, 255, 255, 255}));
  ASSERT_TRUE(image.Create(2, 2, 8));
  const PaletteEntry& gray = image.GetPalette().Entries()[77];
  EXPECT_EQ((std::array{gray.blue, gray.green, gray.red, gray.alpha}),
            (std::array<uint8_t, 4>{77, 77, 77, 255}));
  ASSERT_TRUE(image.Create(2, 2, 16));
  const PaletteEntry& hdr = image.GetPalette().Entries()[0x1234];
  EXPECT_EQ((std::array{hdr.blue, hdr.green, hdr.red, hdr.alpha}),
            (std::array<uint8_t, 4>{0, 0x12, 0x34, 255}));
  ASSERT_TRUE(image.Create(2, 2, 24));  // colour formats keep the table they had
  EXPECT_EQ(image.GetPalette().Count(), 65536u);
  image.Clear();
  EXPECT_EQ(image.GetPalette().Count(), 0u);
}

TEST(ImageCreate, RefusedRequestsLeaveThePreviousImage) {
  CPelora image;
  ASSERT_TRUE(image.Create(4, 3, 24));
  image.GetImageMemory()[5] = 42;
  const Geometry before = GeometryOf(image);
  const uint8_t* memoryBefore = image.GetImageMemory();
  struct Case {
    int32_t width, height;
    uint32_t bpp;
    const char* text;
  };
  const Case cases[] = {
      {0, 10, 8, "Invalid Size!"},
      {10, 0, 8, "Invalid Size!"},
      {-5, 3, 8, "Invalid Size!"},   // negative sizes are no image
      {-5, -3, 8, "Invalid Size!"},  // even when their product is positive
      {65536, 65536, 8, "Invalid Size!"},  // the 32-bit product wraps to 0
      {5, 3, 9, "Invalid bits per pixel value!"},
      {5, 3, 25, "Invalid bits per pixel value!"},
      {5, 3, 0, "Invalid bits per pixel value!"},
      {5, 3, 12, "Invalid bits per pixel value!"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(image.Create(c.width, c.height, c.bpp));
    EXPECT_EQ(image.GetErrorText(), c.text) << c.width << "x" << c.height << " " << c.bpp;
    EXPECT_EQ(GeometryOf(image), before);
    EXPECT_EQ(image.GetImageMemory(), memoryBefore);
    EXPECT_EQ(image.GetImageMemory()[5], 42);
  }
}

TEST(ImageCreate, SizesBeyondThe32BitFieldsFallBackToOnePixel) {
  CPelora image;
  // 100000 x 100000 x 3 bytes does not fit the size fields: never a short buffer.
  EXPECT_FALSE(image.Create(100000, 100000, 24));
  EXPECT_EQ(image.GetErrorText(), "Can't allocate image in the size of 100000 x 100000!");
  EXPECT_EQ(GeometryOf(image), (Geometry{1, 1, 3, 3, 24, 3}));
  ASSERT_NE(image.GetImageMemory(), nullptr);
  // A row longer than a signed 32-bit step cannot be described either.
  EXPECT_FALSE(image.Create(0x30000000, 1, 48));
  EXPECT_EQ(GeometryOf(image), (Geometry{1, 1, 6, 6, 48, 6}));
}

TEST(ImageCreate, RefusedAllocationKeepsAOnePixelImage) {
  CPelora image;
  platform::FailNextAllocationsForTesting(1);
  EXPECT_FALSE(image.Create(640, 480, 8));
  EXPECT_EQ(image.GetErrorText(), "Can't allocate image in the size of 640 x 480!");
  EXPECT_EQ(GeometryOf(image), (Geometry{1, 1, 1, 1, 8, 1}));
  EXPECT_EQ(image.Line(0), image.GetImageMemory());
}

TEST(ImageCreate, NoMemoryAtAllRaisesAndLeavesAnEmptyImage) {
  CPelora image;
  ASSERT_TRUE(image.Create(8, 8, 8));
  platform::FailNextAllocationsForTesting(2);
  try {
    image.Create(640, 480, 8);
    FAIL() << "expected an exception";
  } catch (const CTextException& e) {
    EXPECT_STREQ(e.GetText(), "Can't allocate image! Out of memory!");
    EXPECT_EQ(e.GetCode(), 0);
  }
  EXPECT_EQ(GeometryOf(image), (Geometry{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(image.GetImageMemory(), nullptr);
}

TEST(PlatformHeap, RefusalIsDescribedWithTheSystemMessage) {
  std::string failure;
  platform::FailNextAllocationsForTesting(1);
  EXPECT_EQ(platform::AllocateZeroed(1234, &failure), nullptr);
  EXPECT_EQ(failure, "Out of memory error allocating 1234 bytes! Cannot allocate memory");
  EXPECT_EQ(platform::AllocateZeroed(SIZE_MAX - 3, &failure), nullptr);
  EXPECT_EQ(failure.rfind("Out of memory error allocating ", 0), 0u);
}

TEST(ImageAttach, BorrowsTheCallersMemoryWithoutCopying) {
  std::vector<uint8_t> host(10 * 3 * 4);
  std::iota(host.begin(), host.end(), 0);
  {
    CPelora image;
    ASSERT_TRUE(image.AttachNoFree(host.data(), static_cast<uint32_t>(host.size()), 10, 4, 24));
    EXPECT_EQ(image.GetImageMemory(), host.data());
    EXPECT_EQ(GeometryOf(image), (Geometry{10, 4, 30, 3, 24, 120}));
    EXPECT_EQ(image.Line(3), host.data() + 90);
    image.Clear();  // forgets the memory, never releases it
    EXPECT_EQ(image.GetImageMemory(), nullptr);
    ASSERT_TRUE(image.AttachNoFree(host.data(), static_cast<uint32_t>(host.size()), 10, 4, 24));
  }  // destroying the image does not release it either (the sanitizer run would object)
  host[0] = 7;
  EXPECT_EQ(host[119], 119);
}

TEST(ImageAttach, AcceptedFormatsAndNeededSizes) {
  std::vector<uint8_t> host(400);
  struct Case {
    bool ex;
    uint32_t size;
    int32_t width, height, widthInBytes;
    uint32_t bpp;
    Geometry expected;
  };
  const Case cases[] = {
      {false, 2 * 3, 10, 3, 0, 1, {10, 3, 2, 0, 1, 6}},
      {false, 30, 10, 3, 0, 8, {10, 3, 10, 1, 8, 30}},
      {false, 30, 10, 3, 0, 9, {10, 3, 10, 1, 9, 30}},
      {false, 60, 10, 3, 0, 16, {10, 3, 20, 2, 16, 60}},
      {false, 120, 10, 3, 0, 32, {10, 3, 40, 4, 32, 120}},
      {false, 180, 10, 3, 0, 48, {10, 3, 60, 6, 48, 180}},
      {true, 90, 10, 3, 999, 24, {10, 3, 30, 3, 24, 90}},  // row length only counts for 25
      {true, 40 * 4, 10, 4, 40, 25, {10, 4, 40, 3, 25, 160}},
      {true, 30 * 4, 10, 4, 30, 25, {10, 4, 30, 3, 25, 120}},
  };
  for (const Case& c : cases) {
    CPelora image;
    const bool ok = c.ex ? image.AttachNoFreeEx(host.data(), c.size, c.width, c.height,
                                                c.widthInBytes, c.bpp)
                         : image.AttachNoFree(host.data(), c.size, c.width, c.height, c.bpp);
    ASSERT_TRUE(ok) << c.bpp << ": " << image.GetErrorText();
    EXPECT_EQ(GeometryOf(image), c.expected);
    EXPECT_EQ(image.Line(c.height - 1), host.data() + (c.height - 1) * c.expected.widthBytes);
  }
}

TEST(ImageAttach, RefusalsLeaveTheImageAsItWas) {
  std::vector<uint8_t> host(400);
  CPelora image;
  ASSERT_TRUE(image.Create(2, 2, 8));
  const uint8_t* owned = image.GetImageMemory();
  struct Case {
    bool ex;
    void* memory;
    uint32_t size;
    int32_t width, height, widthInBytes;
    uint32_t bpp;
    const char* text;
  };
  const Case cases[] = {
      {false, host.data(), 30, -1, 3, 0, 8, "Invalid Size!"},
      {false, host.data(), 30, 10, 0, 0, 8, "Invalid Size!"},
      {false, host.data(), 30, 10, 3, 0, 25, "Invalid bits per pixel value!"},
      {true, host.data(), 30, 10, 3, 0, 7, "Invalid bits per pixel value!"},
      {false, host.data(), 91, 10, 3, 0, 24, kLongSizeText},
      {false, host.data(), 89, 10, 3, 0, 24, kLongSizeText},
      {true, host.data(), 40 * 4, 10, 4, -40, 25, kLongSizeText},
      // 2^31 pixels of format 16 need 2^32 bytes: the needed size does not wrap to 0.
      {false, host.data(), 0, 65536, 32768, 0, 16, kLongSizeText},
  };
  for (const Case& c : cases) {
    const bool ok =
        c.ex ? image.AttachNoFreeEx(c.memory, c.size, c.width, c.height, c.widthInBytes, c.bpp)
             : image.AttachNoFree(c.memory, c.size, c.width, c.height, c.bpp);
    EXPECT_FALSE(ok);
    EXPECT_EQ(image.GetErrorText(), c.text) << c.width << "x" << c.height << " " << c.bpp;
    EXPECT_EQ(image.GetImageMemory(), owned);
    EXPECT_EQ(image.GetWidth(), 2);
  }
}

TEST(ImageAttach, ImpossibleRowLengthOrMemoryRaises) {
  std::vector<uint8_t> host(400);
  CPelora image;
  ASSERT_TRUE(image.Create(2, 2, 8));
  const auto expectThrow = [&](auto&& call, const char* text) {
    try {
      call();
      ADD_FAILURE() << "expected " << text;
    } catch (const CTextException& e) {
      EXPECT_STREQ(e.GetText(), text);
    }
    EXPECT_EQ(image.GetWidth(), 2);  // nothing changed before the check
    EXPECT_NE(image.GetImageMemory(), nullptr);
  };
  expectThrow([&] { image.AttachNoFreeEx(host.data(), 29 * 4, 10, 4, 29, 25); },
              "Invalid width in bytes specified!");
  expectThrow([&] { image.AttachNoFree(nullptr, 30, 10, 3, 8); }, "Can't initialize linearray!");
}

TEST(ImageClear, EmptiesGeometryButKeepsTheErrorText) {
  CPelora image;
  ASSERT_TRUE(image.Create(3, 3, 32));
  image.SetErrorText("kept");
  image.Clear();
  EXPECT_EQ(GeometryOf(image), (Geometry{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(image.GetImageMemory(), nullptr);
  EXPECT_EQ(image.GetErrorText(), "kept");
  EXPECT_EQ(image.GetResolution().dotsPerInchX, 96);
  EXPECT_EQ(image.GetResolution().dotsPerInchY, 96);
}

// An image with a listener, as other images of the base layer use them.
class ListenedImage : public CKorImgBase {
 public:
  using CKorImgBase::CKorImgBase;
  int32_t GetClassType() const override { return 1; }
};

class MeddlingListener : public CKorImgBase {
 public:
  int32_t GetClassType() const override { return 2; }
  void OnImageChanged() override {
    ++changes;
    if (watched) watched->SetErrorText("changed by the listener");
  }
  int changes = 0;
  CKorImgBase* watched = nullptr;
};

TEST(ImageListener, IsToldOfEveryChangeAndCannotAlterTheErrorText) {
  MeddlingListener listener;
  ListenedImage image(&listener);
  listener.watched = &image;
  std::vector<uint8_t> host(6);
  ASSERT_TRUE(image.Create(2, 2, 8));
  EXPECT_EQ(image.GetErrorText(), "");
  ASSERT_TRUE(image.AttachNoFree(host.data(), 6, 2, 1, 24));
  image.SetErrorText("before clear");
  image.Clear();
  EXPECT_EQ(image.GetErrorText(), "before clear");
  platform::FailNextAllocationsForTesting(1);
  EXPECT_FALSE(image.Create(9, 9, 8));
  EXPECT_EQ(image.GetErrorText(), "Can't allocate image in the size of 9 x 9!");
  EXPECT_EQ(listener.changes, 4);
  EXPECT_FALSE(image.Create(0, 9, 8));  // refused requests change nothing
  EXPECT_EQ(listener.changes, 4);
}

}  // namespace
}  // namespace klem
