// Processor identification from CPUID register values. The rules below never
// touch the processor; only ReadCpuid and the timing loop do.
#include "kernels/cpu_detect.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cmath>
#include <ctime>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define KLEM_X86 1
#else
#define KLEM_X86 0
#endif

namespace klem::kernels {
namespace {

constexpr uint32_t Bit(uint32_t reg, int bit) { return (reg >> bit) & 1u; }
constexpr uint32_t Field(uint32_t reg, int low, int width) {
  return (reg >> low) & ((1u << width) - 1u);
}

// Leaf 1 fields and flags as the classification reads them.
struct Leaf1Info {
  uint32_t family, model, extModel, extFamily;
  bool sse, sse2, sse3, ssse3, sse41, sse42, movbe;
  bool hyperThreading;
};

Leaf1Info DecodeLeaf1(const CpuidRegs& r) {
  Leaf1Info i{};
  i.family = Field(r.eax, 8, 4);
  i.model = Field(r.eax, 4, 4);
  i.extModel = Field(r.eax, 16, 4);
  i.extFamily = Field(r.eax, 20, 8);
  i.sse = Bit(r.edx, 25);
  i.sse2 = Bit(r.edx, 26);
  i.sse3 = Bit(r.ecx, 0);
  i.ssse3 = Bit(r.ecx, 9);
  i.sse41 = Bit(r.ecx, 19);
  i.sse42 = Bit(r.ecx, 20);
  i.movbe = Bit(r.ecx, 22);
  // The HTT flag alone only says the package may hold several logical
  // processors; it counts only when the package reports at least two.
  i.hyperThreading = Bit(r.edx, 28) && Field(r.ebx, 16, 8) >= 2;
  return i;
}

// Cores per package from the deterministic cache leaf; 1 when that leaf is absent.
uint32_t LeafFourCores(const CpuidSnapshot& cpu) {
  if (cpu.leaf0.eax < 4) return 1;
  return Field(cpu.leaf4[0].eax, 26, 6) + 1;
}

bool Has64BitExtensions(const CpuidSnapshot& cpu) {
  if ((cpu.extendedMaxLeaf & 0x7FFFFFFFu) == 0) return false;
  return Bit(cpu.extendedFeaturesEdx, 29);
}

int32_t FeatureFallbackType(const Leaf1Info& f, bool is64) {
  if (f.sse42) return 0x45;
  if (f.sse41) return 0x44;
  if (f.ssse3) return 0x43;
  if (f.sse3) return 0x42;
  if (f.sse2) return 0x41;
  if (f.sse) return 0x40;
  if (is64) return 0x60;
  return kCpuTypeUnknown;
}

// Returns the model-table code, or -1 when the model is not in the table and
// the feature fallback decides.
int32_t ReferenceModelType(const Leaf1Info& f, uint32_t family, uint32_t model, uint32_t cores,
                           bool is64) {
  if (family == 5) {
    if (model == 1 || model == 2) return 0x01;
    if (model == 4) return 0x02;
    return -1;
  }
  if (family == 6) {
    switch (model) {
      case 1: return 0x03;
      case 3: case 5: case 6: return 0x04;
      case 7: case 8: case 10: case 11: return 0x05;
      case 9: case 13: return 0x09;
      case 14: return cores > 1 ? 0x0B : 0x0A;
      case 15:
        if (!f.ssse3) return -1;
        return cores > 2 ? 0x22 : 0x21;
      case 23: return f.sse41 ? 0x23 : -1;
      case 26: return f.sse42 ? 0x25 : -1;
      case 28: return (f.ssse3 && f.movbe) ? 0x24 : -1;
      default: return -1;
    }
  }
  // Family 15 with a non-zero extended family has already moved past 15.
  if (family == 15) {
    if (f.sse3) return is64 ? 0x20 : 0x08;
    return f.hyperThreading ? 0x07 : 0x06;
  }
  return -1;
}

struct CacheDescriptor {
  uint8_t code;
  int32_t bytes;
};

// Leaf-2 descriptors of caches, in the order they are searched: the first one
// present decides, whatever its position among the register bytes.
constexpr CacheDescriptor kCacheDescriptors[] = {
    {0x4D, 16777216}, {0x4C, 12582912}, {0x4B, 8388608}, {0x47, 8388608}, {0x4E, 6291456},
    {0x4A, 6291456},  {0x49, 4194304},  {0x29, 4194304}, {0x46, 4194304}, {0x48, 3145728},
    {0x25, 2097152},  {0x7D, 2097152},  {0x85, 2097152}, {0x45, 2097152}, {0x23, 1048576},
    {0x87, 1048576},  {0x7C, 1048576},  {0x78, 1048576}, {0x84, 1048576}, {0x44, 1048576},
    {0x22, 524288},   {0x7B, 524288},   {0x80, 524288},  {0x86, 524288},  {0x3E, 524288},
    {0x7F, 524288},   {0x83, 524288},   {0x43, 524288},  {0x3D, 393216},  {0x7A, 262144},
    {0x82, 262144},   {0x3C, 262144},   {0x3F, 262144},  {0x42, 262144},  {0x3A, 196608},
    {0x79, 131072},   {0x39, 131072},   {0x3B, 131072},  {0x41, 131072},
};

uint64_t LargestCacheOf(const std::array<CpuidRegs, 32>& leaves) {
  uint64_t largest = 0;
  for (const CpuidRegs& sub : leaves) {
    const uint32_t type = Field(sub.eax, 0, 5);
    if (type == 0) break;  // no more caches
    if (type == 2) continue;  // instruction cache: not where data lives
    const uint64_t ways = uint64_t{Field(sub.ebx, 22, 10)} + 1;
    const uint64_t partitions = uint64_t{Field(sub.ebx, 12, 10)} + 1;
    const uint64_t lineSize = uint64_t{Field(sub.ebx, 0, 12)} + 1;
    const uint64_t sets = uint64_t{sub.ecx} + 1;
    const uint64_t lineBytes = ways * partitions * lineSize;  // at most 2^32
    // With every field at its widest the product is exactly 2^64, which would
    // wrap to 0 in 64 bits; saturate instead (the result is clamped below anyway).
    const uint64_t size = sets > UINT64_MAX / lineBytes ? UINT64_MAX : lineBytes * sets;
    if (size > largest) largest = size;
  }
  return largest;
}

KernelStatus CacheFromLeaf4(const CpuidSnapshot& cpu, int32_t* bytes) {
  const uint64_t largest = LargestCacheOf(cpu.leaf4);
  if (largest == 0) {
    *bytes = 0;
    return kStsUnknownCacheSize;
  }
  // The register fields allow sizes beyond what the 32-bit result can hold.
  *bytes = largest > uint64_t{INT32_MAX} ? INT32_MAX : static_cast<int32_t>(largest);
  return kStsNoErr;
}

KernelStatus CacheFromLeaf2(const CpuidSnapshot& cpu, int32_t* bytes) {
  *bytes = 0;
  const CpuidRegs& r = cpu.leaf2;
  // The low byte counts how often leaf 2 must be read; only a single read is understood.
  if ((r.eax & 0xFFu) != 1) return kStsUnknownCacheSize;

  uint8_t collected[16] = {};
  int count = 0;
  const uint32_t regs[4] = {r.eax, r.ebx, r.ecx, r.edx};
  for (int i = 0; i < 4; ++i) {
    if (Bit(regs[i], 31)) continue;  // register holds no valid descriptors
    for (int b = (i == 0 ? 1 : 0); b < 4; ++b) {
      collected[count++] = static_cast<uint8_t>(regs[i] >> (8 * b));
    }
  }
  for (const CacheDescriptor& d : kCacheDescriptors) {
    for (int k = 0; k < count; ++k) {
      if (collected[k] == d.code) {
        *bytes = d.bytes;
        return kStsNoErr;
      }
    }
  }
  return kStsUnknownCacheSize;
}

}  // namespace

KernelStatus FeatureMaskOf(const CpuidSnapshot& cpu, CpuFeatureMask* mask) {
  if (mask == nullptr) return kStsNullPtrErr;
  *mask = 0;
  if (!cpu.hasCpuid) return kStsCpuNotSupported;
  const uint32_t edx = cpu.leaf1.edx;
  const uint32_t ecx = cpu.leaf1.ecx;
  CpuFeatureMask m = 0;
  if (Bit(edx, 23)) m |= kCpuMMX;
  if (Bit(edx, 25)) m |= kCpuSSE;
  if (Bit(edx, 26)) m |= kCpuSSE2;
  if (Bit(ecx, 0)) m |= kCpuSSE3;
  if (Bit(ecx, 9)) m |= kCpuSSSE3;
  if (Bit(ecx, 22)) m |= kCpuMOVBE;
  if (Bit(ecx, 19)) m |= kCpuSSE41;
  if (Bit(ecx, 20)) m |= kCpuSSE42;
  *mask = m;
  return kStsNoErr;
}

int32_t CodePathForFeatures(bool available, CpuFeatureMask mask) {
  if (!available) return 0;
  if (mask & kCpuSSE41) return 4;
  if (mask & kCpuSSSE3) return 3;
  if (mask & kCpuSSE3) return 2;
  if (mask & kCpuSSE2) return 1;
  return 0;
}

WideVectors WideVectorsOf(const CpuidSnapshot& cpu) {
  if (!cpu.hasCpuid || cpu.leaf0.eax < 7) return WideVectors::kNone;
  // XCR0 bits 1 and 2: SSE and AVX state; 5 to 7: opmask and both halves of the ZMM state.
  constexpr uint64_t kYmmState = 0x06;
  constexpr uint64_t kZmmState = 0xE0;
  const bool osSavesYmm = Bit(cpu.leaf1.ecx, 27) && (cpu.xcr0 & kYmmState) == kYmmState;
  const bool avx2 = osSavesYmm && Bit(cpu.leaf1.ecx, 28) && Bit(cpu.leaf7.ebx, 5);
  if (!avx2) return WideVectors::kNone;
  const bool avx512 = (cpu.xcr0 & kZmmState) == kZmmState && Bit(cpu.leaf7.ebx, 16) &&
                      Bit(cpu.leaf7.ebx, 30) && Bit(cpu.leaf7.ebx, 31);
  return avx512 ? WideVectors::kAvx512 : WideVectors::kAvx2;
}

bool IsReferenceVendor(const CpuidSnapshot& cpu) {
  return cpu.leaf0.ebx == 0x756E6547u && cpu.leaf0.edx == 0x49656E69u &&
         cpu.leaf0.ecx == 0x6C65746Eu;
}

int32_t CpuTypeOf(const CpuidSnapshot& cpu) {
  if (!cpu.hasCpuid) return kCpuTypeUnknown;
  const Leaf1Info f = DecodeLeaf1(cpu.leaf1);
  const bool is64 = Has64BitExtensions(cpu);
  const uint32_t cores = LeafFourCores(cpu);

  uint32_t family = f.family;
  uint32_t model = f.model;
  if (family == 6 || family == 15) model += 16 * f.extModel;
  if (family == 15) family += f.extFamily;

  if (IsReferenceVendor(cpu)) {
    const int32_t type = ReferenceModelType(f, family, model, cores, is64);
    if (type >= 0) return type;
  }
  return FeatureFallbackType(f, is64);
}

const char* CpuTypeText(int32_t code) {
  switch (code) {
    case 0x01: return "x86 family 5 processor";
    case 0x02: return "x86 family 5 processor with MMX technology";
    case 0x03: return "x86 family 6 processor";
    case 0x04: return "x86 family 6 processor with MMX technology";
    case 0x05: return "x86 family 6 processor with Streaming SIMD Extensions";
    case 0x06: return "x86 family 15 processor";
    case 0x07: return "x86 family 15 processor with Hyper-Threading";
    case 0x08: return "x86 family 15 processor with Streaming SIMD Extensions 3";
    case 0x09: return "x86 family 6 mobile processor";
    case 0x0A: return "x86 family 6 single-core mobile processor";
    case 0x0B: return "x86 family 6 dual-core mobile processor";
    case 0x20: return "x86 family 15 processor with 64-bit extensions";
    case 0x21:
      return "x86 family 6 dual-core processor with Supplemental Streaming SIMD Extensions 3";
    case 0x22:
      return "x86 family 6 quad-core processor with Supplemental Streaming SIMD Extensions 3";
    case 0x23: return "x86 family 6 multi-core processor with Streaming SIMD Extensions 4.1";
    case 0x24: return "x86 family 6 low-power processor with MOVBE";
    case 0x40: return "Processor supports Streaming SIMD Extensions instruction set";
    case 0x41: return "Processor with Streaming SIMD Extensions 2 instruction set";
    case 0x42: return "Processor with Streaming SIMD Extensions 3 instruction set";
    case 0x43: return "Processor with Supplemental Streaming SIMD Extensions 3 instruction set";
    case 0x44: return "Processor with Streaming SIMD Extensions 4.1 instruction set";
    case 0x45: return "Processor with Streaming SIMD Extensions 4.2 instruction set";
    case 0x60: return "Processor supports 64 bit extension";
    default: return "Unknown Processor";  // 0x00, 0x25 and anything unlisted
  }
}

KernelStatus MaxCacheSizeOf(const CpuidSnapshot& cpu, int32_t* bytes) {
  if (bytes == nullptr) return kStsNullPtrErr;
  *bytes = 0;
  if (!cpu.hasCpuid || cpu.leaf0.eax < 2 || !IsReferenceVendor(cpu)) return kStsCpuNotSupported;
  if (cpu.leaf0.eax >= 4) return CacheFromLeaf4(cpu, bytes);
  return CacheFromLeaf2(cpu, bytes);
}

int32_t CoresOnDieOf(const CpuidSnapshot& cpu) {
  if (!cpu.hasCpuid) return 1;
  const Leaf1Info f = DecodeLeaf1(cpu.leaf1);
  const uint32_t c = LeafFourCores(cpu);
  const uint32_t h = f.hyperThreading ? 1 : 0;
  // On these processors leaf 4 counts logical processors, so the hyper-threads are taken out.
  const bool halve = f.sse42 || f.model + 16 * f.extModel == 26;
  const uint32_t cores = halve ? c >> h : c;
  // Leaf 4 may read zero (virtual machines, other vendors) while the
  // hyper-threading flag is set; a die always holds at least one core.
  return cores < 1 ? 1 : static_cast<int32_t>(cores);
}

int64_t LastLevelCacheBytesOf(const CpuidSnapshot& cpu) {
  if (!cpu.hasCpuid) return 0;
  uint64_t bytes = cpu.leaf0.eax >= 4 ? LargestCacheOf(cpu.leaf4) : 0;
  if (bytes == 0 && cpu.extendedMaxLeaf >= 0x8000001Du) bytes = LargestCacheOf(cpu.extendedCaches);
  return static_cast<int64_t>(std::min<uint64_t>(bytes, INT64_MAX));
}

std::string ProcessorDetailsText(int32_t mhz, KernelStatus cacheStatus, int32_t cacheBytes,
                                 int32_t cores) {
  std::string text = "CPU Frequence: " + std::to_string(mhz) + "Mhz; ";
  if (cacheStatus == kStsNoErr) text += "CPU Memory: " + std::to_string(cacheBytes) + " Bytes; ";
  text += "Cores on Die: " + std::to_string(cores) + "; ";
  return text;
}

#if KLEM_X86
// The compiler's intrinsic, so that every x86 target (Windows included) reads
// the register the same way; only this function may use the instruction.
static __attribute__((target("xsave"))) uint64_t ReadXcr0() { return _xgetbv(0); }
#endif

CpuidSnapshot ReadCpuid() {
  CpuidSnapshot s;
#if KLEM_X86
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(0, &a, &b, &c, &d) == 0) return s;  // no CPUID (only possible on 32-bit)
  s.hasCpuid = true;
  s.leaf0 = {a, b, c, d};
  const uint32_t maxLeaf = a;
  if (maxLeaf >= 1) {
    __cpuid(1, a, b, c, d);
    s.leaf1 = {a, b, c, d};
  }
  if (maxLeaf >= 2) {
    __cpuid(2, a, b, c, d);
    s.leaf2 = {a, b, c, d};
  }
  if (maxLeaf >= 4) {
    for (unsigned sub = 0; sub < s.leaf4.size(); ++sub) {
      __cpuid_count(4, sub, a, b, c, d);
      s.leaf4[sub] = {a, b, c, d};
      if ((a & 0x1Fu) == 0) break;  // last cache reached
    }
  }
  if (maxLeaf >= 7) {
    __cpuid_count(7, 0, a, b, c, d);
    s.leaf7 = {a, b, c, d};
  }
  // XGETBV faults unless the operating system has enabled it (OSXSAVE).
  if (Bit(s.leaf1.ecx, 27)) {
    s.xcr0 = ReadXcr0();
  }
  __cpuid(0x80000000u, a, b, c, d);
  s.extendedMaxLeaf = a;
  if (s.extendedMaxLeaf >= 0x80000001u) {
    __cpuid(0x80000001u, a, b, c, d);
    s.extendedFeaturesEdx = d;
  }
  if (s.extendedMaxLeaf >= 0x8000001Du) {
    for (unsigned sub = 0; sub < s.extendedCaches.size(); ++sub) {
      __cpuid_count(0x8000001Du, sub, a, b, c, d);
      s.extendedCaches[sub] = {a, b, c, d};
      if ((a & 0x1Fu) == 0) break;  // last cache reached
    }
  }
#endif
  return s;
}

const CpuidSnapshot& ThisProcessor() {
  static const CpuidSnapshot snapshot = ReadCpuid();
  return snapshot;
}

KernelStatus GetCpuFeatures(CpuFeatureMask* mask) { return FeatureMaskOf(ThisProcessor(), mask); }

int32_t GetCpuType() { return CpuTypeOf(ThisProcessor()); }

KernelStatus GetMaxCacheSize(int32_t* bytes) {
  if (bytes == nullptr) return kStsNullPtrErr;
  struct Result {
    KernelStatus status;
    int32_t bytes;
  };
  static const Result result = [] {
    Result r{};
    r.status = MaxCacheSizeOf(ThisProcessor(), &r.bytes);
    return r;
  }();
  *bytes = result.bytes;
  return result.status;
}

int32_t GetCoresOnDie() { return CoresOnDieOf(ThisProcessor()); }

int64_t GetLastLevelCacheBytes() {
  static const int64_t bytes = LastLevelCacheBytesOf(ThisProcessor());
  return bytes;
}

KernelStatus GetCpuFrequencyMhz(int32_t* mhz) {
  if (mhz == nullptr) return kStsNullPtrErr;
  uint64_t ticks[3] = {};
  for (uint64_t& m : ticks) {
#if KLEM_X86
    const uint64_t start = __rdtsc();
#else
    const uint64_t start = 0;
#endif
    const std::time_t second = std::time(nullptr);
    while (std::time(nullptr) == second) {
    }
#if KLEM_X86
    m = __rdtsc() - start;
#else
    m = 0;
#endif
  }
  // The first span starts somewhere inside a second; the next two are whole seconds.
  const double sum = static_cast<double>(ticks[1] + ticks[2]);
  *mhz = static_cast<int32_t>(std::floor(sum / 1000000.0 * 0.5));
  return kStsNoErr;
}

std::string ProcessorDetailsText() {
  int32_t mhz = 0;
  GetCpuFrequencyMhz(&mhz);
  int32_t cacheBytes = 0;
  const KernelStatus cacheStatus = GetMaxCacheSize(&cacheBytes);
  return ProcessorDetailsText(mhz, cacheStatus, cacheBytes, GetCoresOnDie());
}

}  // namespace klem::kernels
