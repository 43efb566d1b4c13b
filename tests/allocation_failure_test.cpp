// The calls of the exported frame in one table: what each gives, and what it
// leaves behind whichever allocation fails. Every allocation of the test
// binary, the pixel heap's included, passes through the operator new below, so
// a test can make the n-th one from now fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <optional>
#include <set>

#include "frame/library_texts.h"
#include "handle_test_support.h"
#include "platform/heap.h"

namespace {

// Armed with n: the n-th allocation from now is refused, and with `exhaust`
// every one after it as well.
struct {
  int n = 0;
  bool exhaust = false, hit = false;
} g_refusal;

void Arm(int n, bool exhaust) { g_refusal = {n, exhaust, false}; }
bool Disarm() {  // whether an allocation was refused
  g_refusal.n = 0;
  return g_refusal.hit;
}

void* Allocate(std::size_t size, std::size_t alignment) noexcept {
  if (g_refusal.n > 0 && --g_refusal.n == 0) {
    g_refusal = {g_refusal.exhaust ? 1 : 0, g_refusal.exhaust, true};
    return nullptr;
  }
  if (size == 0) size = 1;
  if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
  if (size > SIZE_MAX - alignment) return nullptr;
  return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}
void* AllocateOrThrow(std::size_t size, std::size_t alignment) {
  if (void* p = Allocate(size, alignment)) return p;
  throw std::bad_alloc();
}

}  // namespace

using std::align_val_t;
using std::nothrow_t;
using std::size_t;
void* operator new(size_t n) { return AllocateOrThrow(n, 0); }
void* operator new[](size_t n) { return AllocateOrThrow(n, 0); }
void* operator new(size_t n, const nothrow_t&) noexcept { return Allocate(n, 0); }
void* operator new[](size_t n, const nothrow_t&) noexcept { return Allocate(n, 0); }
void* operator new(size_t n, align_val_t a) { return AllocateOrThrow(n, size_t(a)); }
void* operator new[](size_t n, align_val_t a) { return AllocateOrThrow(n, size_t(a)); }
void* operator new(size_t n, align_val_t a, const nothrow_t&) noexcept { return Allocate(n, size_t(a)); }
void* operator new[](size_t n, align_val_t a, const nothrow_t&) noexcept { return Allocate(n, size_t(a)); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, align_val_t) noexcept { std::free(p); }
void operator delete(void* p, size_t, align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t, align_val_t) noexcept { std::free(p); }
void operator delete(void* p, const nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, align_val_t, const nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, align_val_t, const nothrow_t&) noexcept { std::free(p); }

namespace klem::test {
namespace {

constexpr const char* kNoMemory = "Not enough memory for the operation!";
constexpr const char* kNoImageAtAll = "Can't allocate image! Out of memory!";
constexpr const char* kOnePixel = "Can't allocate image in the size of ";  // the rest: "W x H!"
constexpr const char* kMaxOnePixel = "Can't allocate image in the size of 2147483647 x 2147483647!";
constexpr const char* kInvalidSize = "Invalid Size!";
constexpr const char* kBadSize =
    "Invalid Image Size! The provided memory block must have the size necessary to store the "
    "image.\nFor 1Bit black white imagedata: ((Width+7)/8)*Height.\nFor 8Bit palette imagedata: "
    "Width*Height.\nFor 24Bit RGB imagedata: Width*3*Height";
constexpr int32_t kMax = INT32_MAX;
constexpr const char* kFloodFillNoMemory =
    "Can't apply floodfill! Error(-4)krnStsNoMemErr: Not enough memory for the operation";

TEST(AllocationFailure, TheCountdownReachesThePixelHeapWhichDescribesARefusal) {
  Arm(1, true);
  CMemoryBlock block;
  CErrorText failure;
  const bool allocated = block.Allocate(1234, &failure);
  EXPECT_TRUE(Disarm() && !allocated);
  EXPECT_EQ(failure.View(), "Out of memory error allocating 1234 bytes! Cannot allocate memory");
  EXPECT_EQ(platform::AllocateZeroed(SIZE_MAX - 3), nullptr);  // no rounding past the top
}

// Each call runs on fresh objects with the error text "stale"; `image` holds a
// 100 x 100 8-bit image unless the row wants it empty.
struct Fixture {
  explicit Fixture(bool emptyImage) {
    if (!emptyImage) KLEM_Create(h(), 100, 100, 8);
    if (image.Memory()) image.Memory()[5] = 42;
    KLEM_SetError(h(), "stale");
    ZEV_SetError(math.h(), "stale");
  }
  HostImage image;
  HostMath math;
  std::vector<uint8_t> host = std::vector<uint8_t>(400);
  double vectors[6] = {1, 2, 3, 4, 5, 6};
  KLEM_HANDLE h() const { return image.h(); }
  uint8_t* px() { return host.data(); }
};
using F = Fixture;

struct Row {
  const char* name;
  uint32_t (*call)(Fixture&);
  uint32_t status;  // and text of the run that meets no refusal
  std::string text;
  std::optional<Geometry> shape = {};  // of the image after that run
  // When given, exactly the texts that the runs with a refusal give; otherwise
  // they may give any of the texts of a failed allocation.
  std::optional<std::set<std::string>> failures = {};
  bool emptyImage = false;
};

const char* g_text;  // where the text getters put their pointer
const uint8_t kOnes[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
const int32_t kOnesInt[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
std::string NoBuffer(const char* message) { return ComposeKernelErrorText(message, kernels::kStsMemAllocErr); }
const double kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
const std::string kLongText(5000, 'x');

// One exported call on the objects of a fixture f.
#define CALL(...) []([[maybe_unused]] F& f) -> uint32_t { return __VA_ARGS__; }

const Row kRows[] = {
    {"create", CALL(KLEM_Create(f.h(), 100, 100, 8)), 0, "", {},
     {{kNoMemory, "Can't allocate image in the size of 100 x 100!", kNoImageAtAll}}, true},
    {"create over an image", CALL(KLEM_Create(f.h(), 200, 50, 16)), 0, "", {},
     {{kNoMemory, "Can't allocate image in the size of 200 x 50!", kNoImageAtAll}}},
    {"create 5 x 3 x 1", CALL(KLEM_Create(f.h(), 5, 3, 1)), 0, "", {{5, 3, 1, 0, 1, 3}}},
    {"create 9 x 2 x 1", CALL(KLEM_Create(f.h(), 9, 2, 1)), 0, "", {{9, 2, 2, 0, 1, 4}}},
    {"create 5 x 3 x 16", CALL(KLEM_Create(f.h(), 5, 3, 16)), 0, "", {{5, 3, 10, 2, 16, 30}}},
    {"create 5 x 3 x 24", CALL(KLEM_Create(f.h(), 5, 3, 24)), 0, "", {{5, 3, 15, 3, 24, 45}}},
    {"create 5 x 3 x 32", CALL(KLEM_Create(f.h(), 5, 3, 32)), 0, "", {{5, 3, 20, 4, 32, 60}}},
    {"create 5 x 3 x 48", CALL(KLEM_Create(f.h(), 5, 3, 48)), 0, "", {{5, 3, 30, 6, 48, 90}}},
    // Sizes that the 32-bit fields cannot describe fall back to one pixel.
    {"max x 1", CALL(KLEM_Create(f.h(), kMax, kMax, 1)), 1, kMaxOnePixel, {{1, 1, 1, 0, 1, 1}}},
    {"max x 8", CALL(KLEM_Create(f.h(), kMax, kMax, 8)), 1, kMaxOnePixel, {{1, 1, 1, 1, 8, 1}}},
    {"max x 16", CALL(KLEM_Create(f.h(), kMax, kMax, 16)), 1, kMaxOnePixel, {{1, 1, 2, 2, 16, 2}}},
    {"max x 24", CALL(KLEM_Create(f.h(), kMax, kMax, 24)), 1, kMaxOnePixel, {{1, 1, 3, 3, 24, 3}}},
    {"max x 32", CALL(KLEM_Create(f.h(), kMax, kMax, 32)), 1, kMaxOnePixel, {{1, 1, 4, 4, 32, 4}}},
    {"max x 48", CALL(KLEM_Create(f.h(), kMax, kMax, 48)), 1, kMaxOnePixel, {{1, 1, 6, 6, 48, 6}}},
    {"create 65537 x 65537", CALL(KLEM_Create(f.h(), 65537, 65537, 8)), 1,
     "Can't allocate image in the size of 65537 x 65537!", {}, {{kNoImageAtAll}}},
    {"create 0 x 10", CALL(KLEM_Create(f.h(), 0, 10, 8)), 1, kInvalidSize},
    {"create 10 x 0", CALL(KLEM_Create(f.h(), 10, 0, 8)), 1, kInvalidSize},
    {"create -5 x 3", CALL(KLEM_Create(f.h(), -5, 3, 8)), 1, kInvalidSize},
    {"create -5 x -3", CALL(KLEM_Create(f.h(), -5, -3, 8)), 1, kInvalidSize},
    {"create 65536 x 65536", CALL(KLEM_Create(f.h(), 65536, 65536, 8)), 1, kInvalidSize},
    {"create 0 x 3 x 9", CALL(KLEM_Create(f.h(), 0, 3, 9)), 1, kInvalidSize},
    {"attach 1", CALL(KLEM_AttachNoFree(f.h(), f.px(), 6, 10, 3, 1)), 0, "", {{10, 3, 2, 0, 1, 6}}},
    {"attach 9", CALL(KLEM_AttachNoFree(f.h(), f.px(), 30, 10, 3, 9)), 0, "", {{10, 3, 10, 1, 9, 30}}},
    {"attach 16", CALL(KLEM_AttachNoFree(f.h(), f.px(), 60, 10, 3, 16)), 0, "",
     {{10, 3, 20, 2, 16, 60}}, {{kNoMemory}}},
    {"ex 24 ignores the row", CALL(KLEM_AttachNoFreeEx(f.h(), f.px(), 90, 10, 3, 999, 24)), 0, "",
     {{10, 3, 30, 3, 24, 90}}},
    {"ex 25", CALL(KLEM_AttachNoFreeEx(f.h(), f.px(), 160, 10, 4, 40, 25)), 0, "",
     {{10, 4, 40, 3, 25, 160}}, {{kNoMemory}}},
    {"attach -1 x 3", CALL(KLEM_AttachNoFree(f.h(), f.px(), 30, -1, 3, 8)), 1, kInvalidSize},
    {"attach 10 x 0", CALL(KLEM_AttachNoFree(f.h(), f.px(), 30, 10, 0, 8)), 1, kInvalidSize},
    {"attach 0 x 3 x 7", CALL(KLEM_AttachNoFree(f.h(), f.px(), 30, 0, 3, 7)), 1, kInvalidSize},
    {"attach a byte more", CALL(KLEM_AttachNoFree(f.h(), f.px(), 91, 10, 3, 24)), 1, kBadSize},
    {"attach a byte less", CALL(KLEM_AttachNoFree(f.h(), f.px(), 89, 10, 3, 24)), 1, kBadSize},
    {"ex row -40", CALL(KLEM_AttachNoFreeEx(f.h(), f.px(), 160, 10, 4, -40, 25)), 1, kBadSize},
    {"attach 2^32 bytes", CALL(KLEM_AttachNoFree(f.h(), f.px(), 0, 65536, 32768, 16)), 1, kBadSize},
    {"attach max 1", CALL(KLEM_AttachNoFree(f.h(), f.px(), 16, kMax, kMax, 1)), 1, kBadSize},
    {"attach max 8", CALL(KLEM_AttachNoFree(f.h(), f.px(), 16, kMax, kMax, 8)), 1, kBadSize},
    {"attach max 16", CALL(KLEM_AttachNoFree(f.h(), f.px(), 16, kMax, kMax, 16)), 1, kBadSize},
    {"attach max 24", CALL(KLEM_AttachNoFree(f.h(), f.px(), 16, kMax, kMax, 24)), 1, kBadSize},
    {"ex max 25", CALL(KLEM_AttachNoFreeEx(f.h(), f.px(), 16, kMax, kMax, kMax, 25)), 1, kBadSize},
    {"attach no memory", CALL(KLEM_AttachNoFree(f.h(), nullptr, 3, 1, 1, 24)), 1,
     "Can't initialize linearray!"},
    {"ex short row", CALL(KLEM_AttachNoFreeEx(f.h(), f.px(), 116, 10, 4, 29, 25)), 1,
     "Invalid width in bytes specified!"},
    {"add no source", CALL(KLEM_Add(f.h(), nullptr)), 1, kNullSource},
    {"add", CALL(KLEM_Add(f.h(), f.h())), 0, ""},
    {"difference no sources", CALL(KLEM_Difference(f.h(), nullptr, nullptr)), 1, kNullSource},
    {"difference", CALL(KLEM_Difference(f.h(), f.h(), f.h())), 0, ""},
    {"divide by 0", CALL(KLEM_DivideConstant(f.h(), 0)), 1,
     "Can't divide constant! Error(-10)krnStsDivByZeroErr: An attempt to divide by zero"},
    {"flood fill", CALL(KLEM_FloodFill(f.h(), 0, 0, 7, 0, 0, 0)), 0, "", {}, {{kFloodFillNoMemory}}},
    {"flood fill range", CALL(KLEM_FloodFill(f.h(), 9, 9, 7, 1, 1, 1)), 0, "", {}, {{kFloodFillNoMemory}}},
    // The neighbourhood kernels' buffers (and the copy of a filter's source
    // when it is the destination) fail the call with the allocation status.
    {"erode", CALL(KLEM_Erode(f.h())), 0, "", {}, {{NoBuffer("Can't erode image!")}}},
    {"dilate with mask", CALL(KLEM_DilateEx(f.h(), kOnes, 3, 3)), 0, "", {},
     {{NoBuffer("Can't dilate image with mask!")}}},
    {"min filter in place", CALL(KLEM_Filter(f.h(), 2, f.h())), 0, "", {}, {{NoBuffer("Can't apply filter!")}}},
    {"box filter in place", CALL(KLEM_Filter(f.h(), 6, f.h())), 0, "", {}, {{NoBuffer("Can't apply filter!")}}},
    {"median in place", CALL(KLEM_Filter(f.h(), 9, f.h())), 0, "", {}, {{NoBuffer("Can't apply filter!")}}},
    {"user filter in place", CALL(KLEM_FilterUserDefined(f.h(), f.h(), kOnesInt, 3, 3, 1, 1, 9)), 0, "", {},
     {{NoBuffer("Can't apply user defined filter!")}}},
    {"set error", CALL(KLEM_SetError(f.h(), "abc")), 0, "abc"},
    {"set no error", CALL(KLEM_SetError(f.h(), nullptr)), 0, ""},
    {"set a long error", CALL(KLEM_SetError(f.h(), kLongText.c_str())), 0, std::string(1023, 'x')},
    {"vector set no error", CALL(ZEV_SetError(f.math.h(), nullptr)), 0, ""},
    {"vector set a long error", CALL(ZEV_SetError(f.math.h(), kLongText.c_str())), 0, std::string(1023, 'x')},
    {"clear", CALL(KLEM_Clear(f.h())), 0, "stale", {{0, 0, 0, 0, 0, 0}}},
    // Handing out a text leaves the error text alone.
    {"version", CALL(KLEM_GetVersion(f.h(), &g_text)), 0, "stale", {}, {{kNoMemory}}},
    {"processor detected", CALL(KLEM_GetProcessorDetected(f.h(), &g_text)), 0, "stale"},
    {"processor code used", CALL(KLEM_GetProcessorCodeUsed(f.h(), &g_text)), 0, "stale"},
    {"new image object", CALL(KLEM_FreeCKorPelora(KLEM_CreateCKorPelora()) == KLEM_OK ? 0 : 1), 0,
     "stale", {}, {{"stale"}}},
    {"new vector object", CALL(ZEV_FreeCFastMath(ZEV_CreateCFastMath()) == KLEM_OK ? 0 : 1), 0,
     "stale", {}, {{"stale"}}},
    {"vector add", CALL(ZEV_Add(f.math.h(), f.vectors, 2, f.vectors, f.vectors, 2)), 0, ""},
    {"vector add no vector", CALL(ZEV_Add(f.math.h(), f.vectors, 2, nullptr, f.vectors, 2)), 1,
     "Can't add! Error(-8)krnStsNullPtrErr: Null pointer error"},
    {"matrix in place",  // the source is copied before the destination is written
     CALL(ZEV_MulMatrix(f.math.h(), kIdentity, 3, 3, f.vectors, 2, f.vectors, 2)), 0, "", {},
     {{kNoMemory}}},
};

// The image describes memory that it really has: its size is rows times row
// length, its line array points into it, new memory is zero-filled and every
// byte of it can be written (the sanitizer build would catch a short block).
void ExpectConsistent(const HostImage& image, const uint8_t* memoryBefore) {
  const Geometry g = image.Shape();
  uint8_t* memory = image.Memory();
  EXPECT_EQ(memory != nullptr, g.bpp != 0) << g;
  EXPECT_EQ(uint64_t{g.size}, uint64_t(g.widthBytes) * uint64_t(g.height)) << g;
  if (memory == nullptr) return;
  for (int32_t y = 0; y < g.height; ++y) {
    ASSERT_EQ(image.Object().Line(y), memory + size_t(g.widthBytes) * y) << y;
  }
  if (memory != memoryBefore) {
    EXPECT_EQ(std::count(memory, memory + g.size, 0), g.size) << "not zero-filled";
  }
  std::memset(memory, 0x5A, g.size);
}

// A failed call leaves the image one pixel after the fallback of Create, empty
// when not even that could be had, and otherwise as it was.
void ExpectLeftAsTheTextSays(const HostImage& image, const std::string& text,
                             const Geometry& before, const uint8_t* memoryBefore) {
  const Geometry after = image.Shape();
  if (text.starts_with(kOnePixel)) {
    EXPECT_EQ((std::pair{after.width, after.height}), (std::pair{1, 1}));
  } else if (text == kNoImageAtAll) {
    EXPECT_EQ(after, Geometry{});
  } else {
    EXPECT_EQ(after, before);
    EXPECT_EQ(image.Memory(), memoryBefore);
    EXPECT_TRUE(image.Memory() != memoryBefore || !memoryBefore || memoryBefore[5] == 42);
  }
}

// For every n, the call with its n-th allocation refused (and, in a second
// round, every allocation from the n-th on) returns a status, leaves a
// consistent image and says why, until it meets no refusal and gives what it
// always gives.
TEST(AllocationFailure, EveryCallLeavesAConsistentObjectWhicheverAllocationIsRefused) {
  for (const Row& row : kRows) {
    std::set<std::string> seen;
    for (bool exhaust : {false, true}) {
      for (int n = 1;; ++n) {
        SCOPED_TRACE(::testing::Message() << row.name << ", allocation " << n
                                          << (exhaust ? " and all after it" : "") << " refused");
        ASSERT_LT(n, 100);
        Fixture f(row.emptyImage);
        const Geometry before = f.image.Shape();
        const uint8_t* memoryBefore = f.image.Memory();
        Arm(n, exhaust);
        const uint32_t status = row.call(f);
        const bool refused = Disarm();
        // A call changes the text of one object at most; its text, or "stale".
        const std::string imageText = f.image.Error(), vectorText = f.math.Error();
        const std::string text = imageText == "stale" ? vectorText : imageText;
        EXPECT_TRUE(imageText == "stale" || vectorText == "stale");
        const Geometry after = f.image.Shape();
        if (status != KLEM_OK) ExpectLeftAsTheTextSays(f.image, text, before, memoryBefore);
        ExpectConsistent(f.image, memoryBefore);
        if (!refused) {
          EXPECT_EQ(status, row.status);
          EXPECT_EQ(text, row.text);
          EXPECT_EQ(after, row.shape.value_or(after));
          break;
        }
        EXPECT_EQ(status, KLEM_FAILED);
        const bool allocationText =
            text == kNoMemory || text == kNoImageAtAll || text.starts_with(kOnePixel);
        EXPECT_TRUE(row.failures ? row.failures->contains(text) : allocationText) << text;
        seen.insert(text);
      }
    }
    EXPECT_EQ(seen, row.failures.value_or(seen)) << row.name;
  }
}

}  // namespace
}  // namespace klem::test
