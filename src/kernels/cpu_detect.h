// Processor identification. Every rule is a pure function of CPUID register
// values so that tests can drive it with made-up processors; the process-wide
// wrappers at the bottom read this machine once and keep the result.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "kernels/kernel_types.h"

namespace klem::kernels {

struct CpuidRegs {
  uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// The CPUID leaves that detection looks at.
struct CpuidSnapshot {
  bool hasCpuid = false;
  CpuidRegs leaf0;                    // eax: highest basic leaf; ebx, edx, ecx: vendor
  CpuidRegs leaf1;                    // family/model, feature flags
  CpuidRegs leaf2;                    // cache descriptors
  std::array<CpuidRegs, 32> leaf4{};  // deterministic cache parameters, sub-leaves 0..31
  CpuidRegs leaf7;                    // structured extended features, sub-leaf 0
  uint32_t extendedMaxLeaf = 0;       // leaf 0x80000000 eax
  uint32_t extendedFeaturesEdx = 0;   // leaf 0x80000001 edx
  std::array<CpuidRegs, 32> extendedCaches{};  // leaf 0x8000001D sub-leaves: leaf 4's layout
  uint64_t xcr0 = 0;                  // XGETBV(0): register state the system saves; 0 without OSXSAVE
};

using CpuFeatureMask = uint64_t;
enum CpuFeature : CpuFeatureMask {
  kCpuMMX = 0x01,
  kCpuSSE = 0x02,
  kCpuSSE2 = 0x04,
  kCpuSSE3 = 0x08,
  kCpuSSSE3 = 0x10,
  kCpuMOVBE = 0x20,
  kCpuSSE41 = 0x40,
  kCpuSSE42 = 0x80,
};

// CpuType codes that are named in code; the rest are plain numbers in the
// classification table.
enum CpuTypeCode : int32_t { kCpuTypeUnknown = 0x00 };

// --- rules over register values -------------------------------------------
// Feature mask from leaf 1; kStsCpuNotSupported (mask 0) without CPUID.
KernelStatus FeatureMaskOf(const CpuidSnapshot& cpu, CpuFeatureMask* mask);
// Code path index 0..4 for a feature mask (unavailable mask: pass available=false).
int32_t CodePathForFeatures(bool available, CpuFeatureMask mask);
// Wider vectors than the code paths use: the processor must have the
// instructions and the operating system must save the registers they use.
enum class WideVectors { kNone, kAvx2, kAvx512 };
WideVectors WideVectorsOf(const CpuidSnapshot& cpu);
bool IsReferenceVendor(const CpuidSnapshot& cpu);
int32_t CpuTypeOf(const CpuidSnapshot& cpu);
// Processor-detected text of a CpuType code; unknown codes give "Unknown Processor".
const char* CpuTypeText(int32_t code);
KernelStatus MaxCacheSizeOf(const CpuidSnapshot& cpu, int32_t* bytes);
int32_t CoresOnDieOf(const CpuidSnapshot& cpu);
// Bytes of the largest data cache for tuning, of any vendor: from leaf 4, else
// from leaf 0x8000001D (the cache a core shares, not the whole package's);
// 0 when neither tells.
int64_t LastLevelCacheBytesOf(const CpuidSnapshot& cpu);
// "CPU Frequence: ...; [CPU Memory: ... Bytes; ]Cores on Die: ...; "
std::string ProcessorDetailsText(int32_t mhz, KernelStatus cacheStatus, int32_t cacheBytes,
                                 int32_t cores);

// --- this processor ---------------------------------------------------------
CpuidSnapshot ReadCpuid();
const CpuidSnapshot& ThisProcessor();  // read on first use, kept for the process
KernelStatus GetCpuFeatures(CpuFeatureMask* mask);
int32_t GetCpuType();
KernelStatus GetMaxCacheSize(int32_t* bytes);  // computed once per process
int32_t GetCoresOnDie();
int64_t GetLastLevelCacheBytes();  // computed once per process
// Counts time-stamp ticks over two whole seconds; takes two to three seconds.
KernelStatus GetCpuFrequencyMhz(int32_t* mhz);
std::string ProcessorDetailsText();  // of this processor, measured now

}  // namespace klem::kernels
