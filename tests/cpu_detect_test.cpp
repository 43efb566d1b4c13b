// Processor detection is driven here with made-up processors, so every rule
// can be checked whatever machine runs the tests; then the dispatch built on
// it, with the test-only setter of the kernel entry.
#include "kernels/cpu_detect.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "frame/library_texts.h"
#include "kernels/dispatch.h"

namespace klem::kernels {
namespace {

// Builds the CPUID snapshot of an imaginary processor. It starts as a
// reference-vendor processor with CPUID, highest basic leaf 4 and no features.
class FakeCpu {
 public:
  FakeCpu() {
    s_.hasCpuid = true;
    s_.leaf0 = {4, 0x756E6547u, 0x6C65746Eu, 0x49656E69u};
    s_.extendedMaxLeaf = 0x80000001u;
  }
  // Models from 16 on carry their high bits in the extended model.
  FakeCpu(uint32_t family, uint32_t model, CpuFeatureMask features = 0) : FakeCpu() {
    Family(family, model & 15, model >> 4).Features(features);
  }

  FakeCpu& NoCpuid() { s_.hasCpuid = false; return *this; }
  FakeCpu& Vendor(uint32_t ebx, uint32_t edx, uint32_t ecx) {
    s_.leaf0 = {s_.leaf0.eax, ebx, ecx, edx};
    return *this;
  }
  // A vendor that differs from the reference only in the last register.
  FakeCpu& OtherVendor() { return Vendor(0x756E6547u, 0x49656E69u, 0x12345678u); }
  FakeCpu& MaxLeaf(uint32_t leaf) { s_.leaf0.eax = leaf; return *this; }
  FakeCpu& Family(uint32_t family, uint32_t model, uint32_t extModel = 0, uint32_t extFamily = 0) {
    s_.leaf1.eax = (s_.leaf1.eax & 0xF000000Fu) | (model << 4) | (family << 8) |
                   (extModel << 16) | (extFamily << 20);
    return *this;
  }
  // Sets the leaf-1 flags of the given features: MMX, SSE, SSE2 in EDX, the rest in ECX.
  FakeCpu& Features(CpuFeatureMask m) {
    const int edxBits[] = {23, 25, 26}, ecxBits[] = {0, 9, 22, 19, 20};
    for (int i = 0; i < 3; ++i) s_.leaf1.edx |= ((m >> i) & 1u) << edxBits[i];
    for (int i = 0; i < 5; ++i) s_.leaf1.ecx |= ((m >> (i + 3)) & 1u) << ecxBits[i];
    return *this;
  }
  // Leaf 4 sub-leaf 0 reports this many cores (as a data cache entry).
  FakeCpu& Cores(uint32_t n) {
    s_.leaf4[0].eax = (s_.leaf4[0].eax & 0x03FFFFFFu) | ((n - 1) << 26);
    if ((s_.leaf4[0].eax & 0x1Fu) == 0) s_.leaf4[0].eax |= 1;
    return *this;
  }
  // HTT flag and the logical processor count of leaf 1.
  FakeCpu& HyperThreading(bool flag, uint32_t logical) {
    if (flag) s_.leaf1.edx |= 1u << 28;
    s_.leaf1.ebx = (s_.leaf1.ebx & ~0x00FF0000u) | (logical << 16);
    return *this;
  }
  FakeCpu& LongMode() { s_.extendedFeaturesEdx |= 1u << 29; return *this; }
  FakeCpu& ExtendedMaxLeaf(uint32_t leaf) { s_.extendedMaxLeaf = leaf; return *this; }
  // Leaf 4 sub-leaf: type 1 data, 2 instruction, 3 unified, 0 end of list;
  // leaf 0x8000001D's (same layout) with `extended`.
  FakeCpu& Cache(int sub, uint32_t type, uint32_t ways, uint32_t partitions, uint32_t lineSize,
                 uint32_t sets, bool extended = false) {
    if (extended) s_.extendedMaxLeaf = 0x80000021u;
    CpuidRegs& r = (extended ? s_.extendedCaches : s_.leaf4)[sub];
    r.eax = (r.eax & ~0x1Fu) | type;
    r.ebx = ((ways - 1) << 22) | ((partitions - 1) << 12) | (lineSize - 1);
    r.ecx = sets - 1;
    return *this;
  }
  FakeCpu& Leaf2(uint32_t a, uint32_t b, uint32_t c, uint32_t d) { s_.leaf2 = {a, b, c, d}; return *this; }
  // Leaf 1 ECX bits 27 (OSXSAVE) and 28 (AVX), leaf 7 EBX, and the state the system saves.
  FakeCpu& Wide(bool osxsave, bool avx, uint32_t leaf7Ebx, uint64_t xcr0) {
    s_.leaf0.eax = 7;
    s_.leaf1.ecx |= (osxsave ? 1u << 27 : 0) | (avx ? 1u << 28 : 0);
    s_.leaf7.ebx = leaf7Ebx;
    s_.xcr0 = xcr0;
    return *this;
  }

  operator const CpuidSnapshot&() const { return s_; }

 private:
  CpuidSnapshot s_;
};

// A made-up processor and what a rule gives for it.
template <typename R>
struct Row { const char* name; CpuidSnapshot cpu; R expected; };

template <typename R, typename Rule>
void ExpectEach(const std::vector<Row<R>>& rows, Rule rule) {
  for (const Row<R>& row : rows) EXPECT_EQ(rule(row.cpu), row.expected) << row.name;
}

constexpr CpuFeatureMask kUpToSSE2 = kCpuMMX | kCpuSSE | kCpuSSE2;
constexpr CpuFeatureMask kUpToSSE3 = kUpToSSE2 | kCpuSSE3;
constexpr CpuFeatureMask kUpToSSSE3 = kUpToSSE3 | kCpuSSSE3;
constexpr CpuFeatureMask kUpToSSE41 = kUpToSSSE3 | kCpuSSE41;
constexpr CpuFeatureMask kUpToSSE42 = kUpToSSE41 | kCpuSSE42;

// Each flag comes from its own register bit, no other bit of either register
// reaches the mask, and without CPUID there is no mask.
TEST(CpuDetect, FeatureMaskTakesEachFlagFromItsRegisterBit) {
  for (int bit = 0; bit < 8; ++bit) {
    CpuFeatureMask mask = 0;
    EXPECT_EQ(FeatureMaskOf(FakeCpu().Features(CpuFeatureMask{1} << bit), &mask), kStsNoErr);
    EXPECT_EQ(mask, CpuFeatureMask{1} << bit) << bit;
  }
  CpuidSnapshot others = FakeCpu();
  others.leaf1.edx = ~((1u << 23) | (1u << 25) | (1u << 26));
  others.leaf1.ecx = ~((1u << 0) | (1u << 9) | (1u << 19) | (1u << 20) | (1u << 22));
  CpuFeatureMask mask = ~CpuFeatureMask{0};
  EXPECT_EQ(FeatureMaskOf(others, &mask), kStsNoErr);
  EXPECT_EQ(mask, 0u);
  mask = ~CpuFeatureMask{0};
  EXPECT_EQ(FeatureMaskOf(FakeCpu().Features(kUpToSSE42).NoCpuid(), &mask), kStsCpuNotSupported);
  EXPECT_EQ(mask, 0u);
  EXPECT_EQ(FeatureMaskOf(FakeCpu(), nullptr), kStsNullPtrErr);
  EXPECT_EQ(GetCpuFeatures(nullptr), kStsNullPtrErr);
}

TEST(CpuDetect, CodePathIsTheBestOfSse2ToSse41) {
  const std::tuple<bool, CpuFeatureMask, int32_t> cases[] = {
      {true, kUpToSSE3, 2},  {true, kUpToSSE2 | kCpuSSSE3 | kCpuMOVBE, 3}, {true, kUpToSSE42, 4},
      {true, kUpToSSE2, 1},  {true, 0, 0}, {true, kCpuMMX | kCpuSSE | kCpuMOVBE | kCpuSSE42, 0},
      // Each flag decides by itself; lower ones are not required.
      {true, kCpuSSE41, 4},  {true, kCpuSSSE3, 3}, {true, kCpuSSE3, 2}, {true, kCpuSSE2, 1},
      {false, kUpToSSE42, 0},
  };
  for (const auto& [available, mask, path] : cases) {
    EXPECT_EQ(CodePathForFeatures(available, mask), path) << available << " 0x" << std::hex << mask;
  }
}

// The wide entries need the instructions and the system's saving of their
// registers: YMM state (XCR0 bits 1, 2) for AVX2, and for AVX-512 also the
// opmask and ZMM state (bits 5 to 7).
TEST(CpuDetect, WideVectorsNeedTheInstructionsAndTheSystemsSupport) {
  constexpr uint32_t kAvx2 = 1u << 5, kF = 1u << 16, kBW = 1u << 30, kVL = 1u << 31;
  constexpr uint32_t kAvx512 = kAvx2 | kF | kBW | kVL;
  ExpectEach<WideVectors>({
      {"avx2", FakeCpu().Wide(true, true, kAvx2, 0x07), WideVectors::kAvx2},
      {"avx-512", FakeCpu().Wide(true, true, kAvx512, 0xE7), WideVectors::kAvx512},
      {"system saves no YMM state", FakeCpu().Wide(true, true, kAvx512, 0x03), WideVectors::kNone},
      {"system saves YMM, not ZMM", FakeCpu().Wide(true, true, kAvx512, 0x07), WideVectors::kAvx2},
      {"no opmask state", FakeCpu().Wide(true, true, kAvx512, 0xC7), WideVectors::kAvx2},
      {"no upper ZMM state", FakeCpu().Wide(true, true, kAvx512, 0x67), WideVectors::kAvx2},
      {"XGETBV not enabled", FakeCpu().Wide(false, true, kAvx512, 0xE7), WideVectors::kNone},
      {"no AVX flag", FakeCpu().Wide(true, false, kAvx2, 0x07), WideVectors::kNone},
      {"AVX-512 without AVX2", FakeCpu().Wide(true, true, kAvx512 & ~kAvx2, 0xE7), WideVectors::kNone},
      {"leaf 7 beyond the highest leaf", FakeCpu().Wide(true, true, kAvx512, 0xE7).MaxLeaf(6),
       WideVectors::kNone},
      {"no cpuid", FakeCpu().Wide(true, true, kAvx512, 0xE7).NoCpuid(), WideVectors::kNone},
  }, WideVectorsOf);
  for (uint32_t missing : {kF, kBW, kVL}) {  // each AVX-512 part is needed
    const CpuidSnapshot cpu = FakeCpu().Wide(true, true, kAvx512 & ~missing, 0xE7);
    EXPECT_EQ(WideVectorsOf(cpu), WideVectors::kAvx2) << missing;
  }
}

TEST(CpuDetect, ClassifiesProcessors) {
  ExpectEach<int32_t>({
      {"no cpuid", FakeCpu(6, 15, kUpToSSSE3).Cores(4).NoCpuid(), 0x00},
      // Family 5 beyond the models that name a type by themselves.
      {"f5 m3 falls back", FakeCpu(5, 3, kCpuMMX), 0x00},
      {"f5 m8 falls back", FakeCpu(5, 8, kCpuMMX | kCpuSSE), 0x40},
      // Extended model is ignored outside families 6 and 15.
      {"f5 m1 ext1", FakeCpu(5, 17), 0x01},
      // Family 6 models that depend on more than the model.
      {"f6 m14 1 core", FakeCpu(6, 14, kUpToSSE3).Cores(1), 0x0A},
      {"f6 m14 leaf4 absent", FakeCpu(6, 14).Cores(2).MaxLeaf(3), 0x0A},
      {"f6 m14 2 cores", FakeCpu(6, 14, kUpToSSE3).Cores(2), 0x0B},
      {"f6 m15 ssse3 2 cores", FakeCpu(6, 15, kUpToSSSE3).Cores(2), 0x21},
      {"f6 m15 ssse3 1 core", FakeCpu(6, 15, kUpToSSSE3).Cores(1), 0x21},
      {"f6 m15 ssse3 3 cores", FakeCpu(6, 15, kUpToSSSE3).Cores(3), 0x22},
      {"f6 m15 ssse3 4 cores", FakeCpu(6, 15, kUpToSSSE3).Cores(4), 0x22},
      {"f6 m15 no ssse3", FakeCpu(6, 15, kUpToSSE3).Cores(4), 0x42},
      {"f6 m23 sse41", FakeCpu(6, 23, kUpToSSE41).Cores(4), 0x23},
      {"f6 m23 no sse41", FakeCpu(6, 23, kUpToSSSE3), 0x43},
      {"f6 m26 sse42", FakeCpu(6, 26, kUpToSSE42), 0x25},
      {"f6 m26 no sse42", FakeCpu(6, 26, kUpToSSE41), 0x44},
      {"f6 m28 ssse3 movbe", FakeCpu(6, 28, kUpToSSSE3 | kCpuMOVBE), 0x24},
      {"f6 m28 no movbe", FakeCpu(6, 28, kUpToSSSE3), 0x43},
      {"f6 m28 movbe no ssse3", FakeCpu(6, 28, kUpToSSE3 | kCpuMOVBE), 0x42},
      {"f6 other model", FakeCpu(6, 2, kUpToSSE2), 0x41},
      {"f6 m30 sse42", FakeCpu(6, 30, kUpToSSE42), 0x45},
      {"f6 unlisted 64-bit only", FakeCpu(6, 64).LongMode(), 0x60},
      // Family 15 (extended family 0).
      {"f15 sse3 64", FakeCpu(15, 4, kUpToSSE3).LongMode(), 0x20},
      {"f15 sse3 32", FakeCpu(15, 3, kUpToSSE3), 0x08},
      {"f15 sse3 long mode but no extended leaves",
       FakeCpu(15, 3, kUpToSSE3).LongMode().ExtendedMaxLeaf(0x80000000u), 0x08},
      {"f15 ht", FakeCpu(15, 2, kUpToSSE2).HyperThreading(true, 2), 0x07},
      {"f15 ht flag one logical", FakeCpu(15, 2, kUpToSSE2).HyperThreading(true, 1), 0x06},
      {"f15 logical count no flag", FakeCpu(15, 2, kUpToSSE2).HyperThreading(false, 2), 0x06},
      {"f15 64 without sse3", FakeCpu(15, 1, kUpToSSE2).LongMode(), 0x06},
      {"f15 ext family 1", FakeCpu().Family(15, 3, 0, 1).Features(kUpToSSE3).LongMode(), 0x42},
      {"f15 ext family 1 nothing", FakeCpu().Family(15, 3, 0, 1), 0x00},
      {"f4 nothing", FakeCpu(4, 1, kCpuMMX), 0x00},
      // Another vendor: the model table does not apply.
      {"other f6 m26 sse42", FakeCpu(6, 26, kUpToSSE42).OtherVendor(), 0x45},
      {"other f6 m15 ssse3", FakeCpu(6, 15, kUpToSSSE3).OtherVendor().Cores(4), 0x43},
      {"other ebx f15", FakeCpu(15, 4, kUpToSSE3).Vendor(0x656E6547u, 0x49656E69u, 0x6C65746Eu).LongMode(),
       0x42},
      {"other edx f5", FakeCpu(5, 4).Vendor(0x756E6547u, 0x49656E68u, 0x6C65746Eu), 0x00},
      // The registers are in EBX, EDX, ECX order; swapping EDX and ECX is another vendor.
      {"swapped f5", FakeCpu(5, 4).Vendor(0x756E6547u, 0x6C65746Eu, 0x49656E69u), 0x00},
  }, CpuTypeOf);
  // Other families: the feature fallback, rung by rung, each above 64-bit.
  const std::pair<CpuFeatureMask, int32_t> rungs[] = {{kUpToSSE42, 0x45}, {kUpToSSE41, 0x44},
                                                      {kCpuSSSE3, 0x43},  {kCpuSSE3, 0x42},
                                                      {kCpuSSE2, 0x41},   {kCpuSSE, 0x40},
                                                      {kCpuMMX | kCpuMOVBE, 0x60}};
  for (const auto& [features, code] : rungs) {
    EXPECT_EQ(CpuTypeOf(FakeCpu(4, 1, features).LongMode()), code) << features;
  }
  // Models that name a type by themselves, whatever the features.
  const std::tuple<uint32_t, std::vector<uint32_t>, int32_t> byModel[] = {
      {5, {1, 2}, 0x01},    {5, {4}, 0x02},           {6, {1}, 0x03},
      {6, {3, 5, 6}, 0x04}, {6, {7, 8, 10, 11}, 0x05}, {6, {9, 13}, 0x09}};
  for (const auto& [family, models, code] : byModel) {
    for (uint32_t model : models) {
      EXPECT_EQ(CpuTypeOf(FakeCpu(family, model, kUpToSSE2)), code) << family << " model " << model;
    }
  }
}

// The texts a host sees for the processors the edge cases name; every code
// without a row of its own is unknown.
TEST(CpuDetect, NamesTypeCodes) {
  EXPECT_STREQ(CpuTypeText(0x22),
               "x86 family 6 quad-core processor with Supplemental Streaming SIMD Extensions 3");
  EXPECT_STREQ(CpuTypeText(0x21),
               "x86 family 6 dual-core processor with Supplemental Streaming SIMD Extensions 3");
  EXPECT_STREQ(CpuTypeText(0x45), "Processor with Streaming SIMD Extensions 4.2 instruction set");
  EXPECT_STREQ(CpuTypeText(0x60), "Processor supports 64 bit extension");
  for (int32_t code : {0x00, 0x25, 0x0C, 0x1F, 0x26, 0x3F, 0x46, 0x5F, 0x61, -1, INT32_MAX}) {
    EXPECT_STREQ(CpuTypeText(code), "Unknown Processor") << code;
  }
}

// Largest cache: leaf 4 from highest leaf 4 on, else the descriptors of leaf 2.
TEST(CpuDetect, LargestCache) {
  // 32 KiB L1 data and instruction, 256 KiB L2, 6 MiB L3 with two partitions.
  const auto typical = [] {
    return FakeCpu().Cache(0, 1, 8, 1, 64, 64).Cache(1, 2, 8, 1, 64, 64).Cache(2, 3, 4, 1, 64, 1024)
        .Cache(3, 3, 12, 2, 64, 4096);
  };
  const auto l3 = [] { return FakeCpu().Cache(0, 3, 16, 1, 64, 8192); };
  const auto leaf2 = [](uint32_t eax, uint32_t ebx, uint32_t ecx, uint32_t edx) {
    return FakeCpu().MaxLeaf(2).Leaf2(eax, ebx, ecx, edx);
  };
  // All 32 sub-leaves are looked at; the largest is in the last one.
  FakeCpu full;
  for (int sub = 0; sub < 31; ++sub) full.Cache(sub, 1, 8, 1, 64, 64);
  full.Cache(31, 3, 20, 1, 64, 16384);
  constexpr KernelStatus kOk = kStsNoErr, kUnknown = kStsUnknownCacheSize, kNo = kStsCpuNotSupported;
  using Size = std::pair<KernelStatus, int32_t>;
  ExpectEach<Size>({
      {"largest unified", typical(), {kOk, 6291456}},
      {"largest first", FakeCpu().Cache(0, 3, 16, 1, 64, 8192).Cache(1, 1, 8, 1, 64, 64), {kOk, 8388608}},
      {"instruction cache skipped", FakeCpu().Cache(0, 1, 8, 1, 64, 64).Cache(1, 2, 16, 1, 64, 8192), {kOk,
       32768}},
      {"stop at type 0", l3().Cache(0, 1, 8, 1, 64, 64).Cache(1, 0, 1, 1, 1, 1).Cache(2, 3, 16, 1, 64, 8192),
       {kOk, 32768}},
      {"type 0 first", FakeCpu().Cache(0, 0, 8, 1, 64, 64).Cache(1, 3, 16, 1, 64, 8192), {kUnknown, 0}},
      {"only instruction caches", FakeCpu().Cache(0, 2, 8, 1, 64, 64).Cache(1, 2, 4, 1, 64, 128), {kUnknown,
       0}},
      {"data type 4 counts", FakeCpu().Cache(0, 4, 2, 3, 5, 7), {kOk, 2 * 3 * 5 * 7}},
      // Every register field at its widest: 1024 * 1024 * 4096 * 2^32 bytes.
      {"too large for 32 bits", FakeCpu().Cache(0, 3, 1024, 1024, 4096, 0), {kOk, INT32_MAX}},
      {"2^30 fits", FakeCpu().Cache(0, 3, 1024, 256, 4096, 1), {kOk, 1073741824}},
      {"2^31 clamped", FakeCpu().Cache(0, 3, 1024, 512, 4096, 1), {kOk, INT32_MAX}},
      {"leaf 2 ignored", typical().MaxLeaf(11).Leaf2(0x00004D01u, 0, 0, 0), {kOk, 6291456}},
      {"sub-leaf 31", full, {kOk, 20971520}},
      {"other vendor", l3().OtherVendor(), {kNo, 0}},
      {"no cpuid", l3().NoCpuid(), {kNo, 0}},
      {"highest leaf 1", l3().MaxLeaf(1).Leaf2(0x00004D01u, 0, 0, 0), {kNo, 0}},
      {"single descriptor in eax", leaf2(0x00430001u, 0, 0, 0), {kOk, 524288}},
      {"search order beats byte order", leaf2(0x00003D01u, 0x41000000u, 0, 0x00004900u), {kOk, 4194304}},
      {"table order, not byte value", leaf2(0x00480001u, 0, 0, 0x00000029u), {kOk, 4194304}},
      {"bit 31 register ignored", leaf2(0x00000001u, 0x80004D00u, 0x00430000u, 0), {kOk, 524288}},
      {"bit 31 in eax ignores eax", leaf2(0x804D0001u, 0, 0, 0x00000022u), {kOk, 524288}},
      // A descriptor of 0x80 or more in the top byte sets bit 31 and so is never seen.
      {"descriptor in top byte sets bit 31", leaf2(0x00000001u, 0, 0x85000000u, 0x00000041u), {kOk, 131072}},
      {"0x85 below the top byte", leaf2(0x00000001u, 0, 0x00008500u, 0x00000041u), {kOk, 2097152}},
      {"highest leaf 3 also uses leaf 2", leaf2(0x00004401u, 0, 0, 0).MaxLeaf(3).Cache(0, 3, 16, 1, 64, 8192),
       {kOk, 1048576}},
      {"repeat count 2", leaf2(0x00004D02u, 0, 0, 0), {kUnknown, 0}},
      {"repeat count 0", leaf2(0x00004D00u, 0, 0, 0), {kUnknown, 0}},
      {"repeat count is the whole low byte", leaf2(0x00004D11u, 0, 0, 0), {kUnknown, 0}},
      {"no cache descriptor", leaf2(0x2C300001u, 0x00F0B001u, 0x0000002Cu, 0x00500000u), {kUnknown, 0}},
      {"all bit 31", leaf2(0x80000001u, 0x8000004Du, 0x80004300u, 0x80490000u), {kUnknown, 0}},
  }, [](const CpuidSnapshot& cpu) {
    int32_t bytes = -12345;
    const KernelStatus status = MaxCacheSizeOf(cpu, &bytes);
    return Size{status, bytes};
  });
  EXPECT_EQ(MaxCacheSizeOf(l3(), nullptr), kStsNullPtrErr);
  EXPECT_EQ(GetMaxCacheSize(nullptr), kStsNullPtrErr);
}

// Any vendor's largest cache, for the kernels' tuning only.
TEST(CpuDetect, LastLevelCacheForTuning) {
  const auto l3 = [] { return FakeCpu().Cache(0, 3, 16, 1, 64, 8192); };
  // 8 MiB in leaf 0x8000001D behind a smaller cache.
  const auto extended = [] { return FakeCpu().Cache(0, 1, 8, 1, 64, 64, true).Cache(1, 3, 16, 1, 64, 8192, true); };
  ExpectEach<int64_t>({
      {"leaf 4 first", l3().Cache(0, 3, 16, 1, 64, 16384, true), 8388608},
      {"leaf 4 of another vendor", l3().OtherVendor(), 8388608},
      {"empty leaf 4: leaf 0x8000001D", extended().OtherVendor(), 8388608},
      {"highest leaf 3: leaf 0x8000001D", extended().Cache(0, 3, 16, 1, 64, 4096).MaxLeaf(3), 8388608},
      {"leaf 0x8000001D absent", extended().ExtendedMaxLeaf(0x8000001Cu), 0},
      {"beyond 32 bits", FakeCpu().Cache(0, 3, 1024, 1024, 4096, 0, true), INT64_MAX},
      {"no cpuid", l3().NoCpuid(), 0},
  }, [](const CpuidSnapshot& cpu) { return LastLevelCacheBytesOf(cpu); });
}

TEST(CpuDetect, CoresOnDie) {
  ExpectEach<int32_t>({
      {"no cpuid", FakeCpu().Cores(8).NoCpuid(), 1},
      {"leaf 4 absent", FakeCpu().Cores(8).MaxLeaf(3), 1},
      {"four cores", FakeCpu(6, 15, kUpToSSSE3).Cores(4), 4},
      {"ht without sse42 not halved", FakeCpu(6, 15, kUpToSSE41).Cores(4).HyperThreading(true, 8), 4},
      {"ht with sse42 halved", FakeCpu(6, 30, kUpToSSE42).Cores(8).HyperThreading(true, 16), 4},
      {"sse42 without ht", FakeCpu(6, 30, kUpToSSE42).Cores(8), 8},
      {"sse42 ht flag one logical", FakeCpu().Features(kUpToSSE42).Cores(8).HyperThreading(true, 1), 8},
      {"sse42 logical count no flag", FakeCpu().Features(kUpToSSE42).Cores(8).HyperThreading(false, 16), 8},
      {"model 26 halved", FakeCpu(6, 26, kUpToSSE41).Cores(8).HyperThreading(true, 16), 4},
      {"model 26 in any family", FakeCpu(5, 26).Cores(8).HyperThreading(true, 16), 4},
      {"model 10 is not 26", FakeCpu(6, 10).Cores(8).HyperThreading(true, 16), 8},
      {"model 42 is not 26", FakeCpu(6, 42).Cores(8).HyperThreading(true, 16), 8},
      {"other vendor halved too",
       FakeCpu().OtherVendor().Features(kUpToSSE42).Cores(6).HyperThreading(true, 12), 3},
      {"most cores leaf 4 can tell", FakeCpu().Cores(64), 64},
      // Leaf 4 reading zero (one core) with hyper-threading would halve to 0.
      {"zero leaf 4 with ht and sse42", FakeCpu().Features(kUpToSSE42).HyperThreading(true, 2), 1},
      {"no leaf 4 with ht and sse42", FakeCpu().MaxLeaf(1).Features(kUpToSSE42).HyperThreading(true, 32), 1},
      {"one core model 26 with ht", FakeCpu(6, 26).Cores(1).HyperThreading(true, 2), 1},
  }, CoresOnDieOf);
}

// Frequency, cache (only with status 0) and cores.
TEST(CpuDetect, DetailsText) {
  const std::tuple<int32_t, KernelStatus, int32_t, int32_t, const char*> cases[] = {
      {2400, kStsNoErr, 4194304, 2, "CPU Frequence: 2400Mhz; CPU Memory: 4194304 Bytes; Cores on Die: 2; "},
      {2400, kStsCpuNotSupported, 4194304, 2, "CPU Frequence: 2400Mhz; Cores on Die: 2; "},
      {3193, kStsUnknownCacheSize, 0, 1, "CPU Frequence: 3193Mhz; Cores on Die: 1; "},
      {0, kStsNoErr, 0, 64, "CPU Frequence: 0Mhz; CPU Memory: 0 Bytes; Cores on Die: 64; "},
      {-1, kStsNoErr, INT32_MAX, 1, "CPU Frequence: -1Mhz; CPU Memory: 2147483647 Bytes; Cores on Die: 1; "},
  };
  for (const auto& [mhz, status, bytes, cores, text] : cases) {
    EXPECT_EQ(ProcessorDetailsText(mhz, status, bytes, cores), text);
  }
}

// The frequency is measured once in the suite, by the exported details text.
TEST(CpuDetect, ThisMachine) {
  EXPECT_EQ(GetCpuFrequencyMhz(nullptr), kStsNullPtrErr);
  const CpuidSnapshot& cpu = ThisProcessor();
  EXPECT_TRUE(cpu.hasCpuid);
  EXPECT_EQ(&cpu, &ThisProcessor());
  CpuFeatureMask mask = 0;
  ASSERT_EQ(GetCpuFeatures(&mask), kStsNoErr);
  EXPECT_TRUE(mask & kCpuSSE2);  // part of x86-64
  EXPECT_GE(GetCoresOnDie(), 1);
  EXPECT_EQ(GetCpuType(), CpuTypeOf(cpu));
  // Computed once: the same answer every time, and the same as the rule.
  int32_t first = -1, second = -2, direct = -3;
  const KernelStatus status = GetMaxCacheSize(&first);
  EXPECT_EQ(GetMaxCacheSize(&second), status);
  EXPECT_EQ(MaxCacheSizeOf(cpu, &direct), status);
  EXPECT_EQ(second, first);
  EXPECT_EQ(direct, first);
}

// Restores the processor's own entry after a test switched it.
class DispatchTest : public ::testing::Test {
 protected:
  void TearDown() override { ReleaseKernelEntryForTesting(); }
};

int32_t Generic(int32_t x) { return x + 100; }
int32_t Sse2(int32_t x) { return x + 101; }
int32_t Ssse3(int32_t x) { return x + 103; }
int32_t Avx2(int32_t x) { return x + 105; }

TEST_F(DispatchTest, EachPathRunsItsOwnEntryOrTheOneBelowAndOnlyARunnableOne) {
  constexpr auto table = Dispatch(Generic).Sse2(Sse2).Ssse3(Ssse3).Avx2(Avx2);
  const std::array<int32_t (*)(int32_t), kKernelEntryCount> expected = {Generic, Sse2, Sse2, Ssse3,
                                                                        Ssse3,   Avx2, Avx2};
  for (int32_t entry = 0; entry < kKernelEntryCount; ++entry) EXPECT_EQ(table.Entry(entry), expected[entry]);
  for (int32_t entry = kEntryGeneric; entry <= HighestRunnableKernelEntry(); ++entry) {
    SetKernelEntryForTesting(entry);
    ASSERT_EQ(KernelEntryIndex(), entry);
    EXPECT_EQ(CodePathIndex(), entry < kEntryAvx2 ? entry : kPathSse41);  // wide entries are path 4
    EXPECT_EQ(table(5), expected[entry](5)) << KernelEntryName(entry);
  }
  // The setter never selects an entry the processor cannot run.
  SetKernelEntryForTesting(99);
  EXPECT_EQ(KernelEntryIndex(), HighestRunnableKernelEntry());
  SetKernelEntryForTesting(-3);
  EXPECT_EQ(KernelEntryIndex(), kEntryGeneric);
  // Objects made while the seam holds an entry keep it; released, the processor decides again.
  InitKernelDispatch();
  EXPECT_EQ(KernelEntryIndex(), kEntryGeneric);
  ReleaseKernelEntryForTesting();
  EXPECT_EQ(KernelEntryIndex(), HighestRunnableKernelEntry());
  EXPECT_EQ(CodePathIndex(), HighestRunnableCodePath());
}

TEST_F(DispatchTest, OnlyPathFourTakesTheWideEntries) {
  for (int32_t path = kPathGeneric; path < kPathSse41; ++path) {
    EXPECT_EQ(KernelEntryFor(path, WideVectors::kAvx512), path);
  }
  EXPECT_EQ(KernelEntryFor(kPathSse41, WideVectors::kNone), kEntrySse41);
  EXPECT_EQ(KernelEntryFor(kPathSse41, WideVectors::kAvx2), kEntryAvx2);
  EXPECT_EQ(KernelEntryFor(kPathSse41, WideVectors::kAvx512), kEntryAvx512);
  EXPECT_STREQ(KernelEntryName(kEntryAvx2), "avx2");
  EXPECT_STREQ(KernelEntryName(kEntryAvx512), "avx512");
}

TEST_F(DispatchTest, VersionRecordsAndTextsNameTheCodePathNotTheEntry) {
  CpuFeatureMask mask = 0;
  GetCpuFeatures(&mask);
  const std::string plus = (mask & kCpuSSE42) != 0 ? "+" : "";
  const char* codes[] = {"g0", "s2", "s3", "ss3", "s41", "s41", "s41"};
  for (int32_t entry = 0; entry < kKernelEntryCount; ++entry) {
    const KernelLibraryVersion& image = *kImageLibraryVersion.Entry(entry)();
    const KernelLibraryVersion& signal = *kSignalLibraryVersion.Entry(entry)();
    const std::string suffix = entry >= kEntrySse41 ? ".lib" + plus : ".lib";
    EXPECT_STREQ(image.targetCode, codes[entry]);
    EXPECT_STREQ(signal.targetCode, codes[entry]);
    EXPECT_EQ(image.name, "krnimg_" + std::string(codes[entry]) + suffix);
    EXPECT_EQ(signal.name, "krnsig_" + std::string(codes[entry]) + suffix);
    EXPECT_EQ((std::array{image.major, image.minor, image.majorBuild, image.build, signal.build}),
              (std::array{3, 2, 58, 411, 413}));
    EXPECT_STREQ(image.version, "3.2 Release 4 build 58.11");
    EXPECT_STREQ(signal.buildDate, "Jun 02 2010");
  }
  SetKernelEntryForTesting(kEntryGeneric);
  EXPECT_EQ(ComposeVersionText(),
            "5.0.5.6 3.2.58.411 'krnimg_g0.lib', '3.2 Release 4 build 58.11', 'Jun 02 2010'");
  for (int32_t entry = kEntryGeneric; entry <= HighestRunnableKernelEntry(); ++entry) {
    SetKernelEntryForTesting(entry);
    EXPECT_EQ(ComposeProcessorCodeUsedText(), std::string(codes[entry]) + " " + codes[entry]);
  }
}

}  // namespace
}  // namespace klem::kernels
