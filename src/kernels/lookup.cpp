// Generic look-up and gamma kernels, the table building every path shares, and
// the dispatch tables of the family.
//
// Table T of a curve with levels L[0..n-1] and values V[0..n-1]:
//   1. T[v] = v everywhere (the identity below the first level, and in any
//      gap no segment writes).
//   2. Segments k = 0 .. n-2 in order, later ones overwriting earlier ones:
//      step    T[v] = clamp(V[k], 0, 255) for v in [clamp(L[k]), clamp(L[k+1]))
//              with the levels clamped to 0..256;
//      linear  skipped when L[k+1] <= L[k]; start = clamp(L[k], 0, 255),
//              end = clamp(L[k+1], 0, 256); one entry: T[start] = clamp(V[k]);
//              else s = (V[k+1] - V[k]) / (L[k+1] - L[k]),
//              b = V[k] + 0.5 - L[k] * s (unclamped levels, doubles) and
//              T[v] = clamp(trunc(v * s + b), 0, 255);
//      cubic   (4 points or more) as linear, but through the cubic
//              p(t) = V[j+1] + a t + b t^2 + c t^3, t = v - L[j+1], that passes
//              through points j .. j+3, j = k - 1 limited to 0 .. n-4:
//              T[v] = clamp(trunc(p + 0.5), 0, 255). Four levels that are not
//              all distinct have no cubic: that segment is built linear.
//   3. T[v] = v for v from the last level (clamped to 0..256) to 255.
// The first and last levels are clamped for the identity fills: a curve whose
// first level lies above 256 or whose last lies below 0 still makes a table.
// Everything is double precision without contraction (the build keeps
// -ffp-contract=off), so every path builds the same table from this one code.
//
// Gamma: entry v of a curve is 255 y(v / 255) rounded to nearest, ties to even:
//   forward  y = 4.5 x for x < 0.018, else 1.099 x^0.45 - 0.099
//   inverse  y = x / 4.5 for x < 0.081, else ((x + 0.099) / 1.099)^(1 / 0.45)
// Both are applied to every byte of a 3-byte pixel alike.
#include "kernels/lookup.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "kernels/lookup_rules.h"

namespace klem::kernels {
namespace {

uint8_t ClampToByte(int64_t v) { return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255)); }

// clamp(trunc(x), 0, 255) without converting a value outside int range.
uint8_t TruncToByte(double x) {
  if (!(x > 0.0)) return 0;
  if (x >= 255.0) return 255;
  return static_cast<uint8_t>(x);
}

int32_t ClampLevel(int32_t level, int32_t high) { return std::clamp(level, 0, high); }

void StepSegment(uint8_t* table, const int32_t* values, const int32_t* levels, int32_t k) {
  const int32_t start = ClampLevel(levels[k], 256);
  const int32_t end = ClampLevel(levels[k + 1], 256);
  const uint8_t value = ClampToByte(values[k]);
  for (int32_t v = start; v < end; ++v) table[v] = value;
}

// Segment k from start to end through curve(v); one entry takes V[k] itself.
template <typename Curve>
void InterpolatedSegment(uint8_t* table, const int32_t* values, const int32_t* levels, int32_t k,
                         Curve curve) {
  const int32_t start = ClampLevel(levels[k], 255);
  const int32_t end = ClampLevel(levels[k + 1], 256);
  if (end - start == 1) {
    table[start] = ClampToByte(values[k]);
    return;
  }
  for (int32_t v = start; v < end; ++v) table[v] = curve(static_cast<double>(v));
}

void LinearSegment(uint8_t* table, const int32_t* values, const int32_t* levels, int32_t k) {
  const double s = (static_cast<double>(values[k + 1]) - static_cast<double>(values[k])) /
                   (static_cast<double>(levels[k + 1]) - static_cast<double>(levels[k]));
  const double b = static_cast<double>(values[k]) + 0.5 - static_cast<double>(levels[k]) * s;
  InterpolatedSegment(table, values, levels, k, [=](double v) { return TruncToByte(v * s + b); });
}

bool AllDistinct(const int32_t* l) {
  return l[0] != l[1] && l[0] != l[2] && l[0] != l[3] && l[1] != l[2] && l[1] != l[3] &&
         l[2] != l[3];
}

// The cubic through points j .. j+3 in t = v - L[j+1]: with d_i = (V_i - V_1) / t_i
// the equations become a + b t_i + c t_i^2 = d_i (i = 0, 2, 3), solved by
// divided differences.
void CubicSegment(uint8_t* table, const int32_t* values, const int32_t* levels, int32_t k,
                  int32_t j) {
  const int32_t* l = levels + j;
  const int32_t* p = values + j;
  if (!AllDistinct(l)) {
    LinearSegment(table, values, levels, k);
    return;
  }
  const double v1 = p[1];
  const double t0 = static_cast<double>(l[0]) - static_cast<double>(l[1]);
  const double t2 = static_cast<double>(l[2]) - static_cast<double>(l[1]);
  const double t3 = static_cast<double>(l[3]) - static_cast<double>(l[1]);
  const double d0 = (static_cast<double>(p[0]) - v1) / t0;
  const double d2 = (static_cast<double>(p[2]) - v1) / t2;
  const double d3 = (static_cast<double>(p[3]) - v1) / t3;
  const double e2 = (d2 - d0) / (t2 - t0);
  const double e3 = (d3 - d0) / (t3 - t0);
  const double c = (e3 - e2) / (t3 - t2);
  const double b = e2 - c * (t2 + t0);
  const double a = d0 - b * t0 - c * t0 * t0;
  const double origin = l[1];
  InterpolatedSegment(table, values, levels, k, [=](double v) {
    const double t = v - origin;
    return TruncToByte(v1 + a * t + b * t * t + c * t * t * t + 0.5);
  });
}

// Nearest integer of x >= 0, ties to even.
uint8_t RoundHalfEven(double x) {
  const double low = std::floor(x);
  const double rest = x - low;
  const bool up = rest > 0.5 || (rest == 0.5 && std::fmod(low, 2.0) != 0.0);
  return static_cast<uint8_t>(low + (up ? 1.0 : 0.0));
}

// 255 y on the linear pieces is exactly 4.5 v and v / 4.5: computing them so
// keeps the ties of the forward curve (inputs 1 and 3) exact.
// Three bytes of padding follow the entries (see lookup_rules.h).
using GammaTable = std::array<uint8_t, 256 + kTablePadding>;

GammaTable GammaCurve(bool inverse) {
  GammaTable table{};
  for (int32_t v = 0; v < 256; ++v) {
    const double x = v / 255.0;
    double scaled;
    if (!inverse) {
      scaled = x < 0.018 ? 4.5 * v : 255.0 * (1.099 * std::pow(x, 0.45) - 0.099);
    } else {
      scaled = x < 0.081 ? v / 4.5 : 255.0 * std::pow((x + 0.099) / 1.099, 1.0 / 0.45);
    }
    table[v] = RoundHalfEven(std::clamp(scaled, 0.0, 255.0));
  }
  return table;
}

}  // namespace

void BuildLookupTable(LookupMode mode, const int32_t* values, const int32_t* levels, int32_t count,
                      uint8_t table[256]) {
  for (int32_t v = 0; v < 256; ++v) table[v] = static_cast<uint8_t>(v);
  if (mode == LookupModeCubic && count < 4) mode = LookupModeLinear;
  for (int32_t k = 0; k + 1 < count; ++k) {
    if (mode == LookupModeStep) {
      StepSegment(table, values, levels, k);
    } else if (levels[k + 1] > levels[k]) {
      if (mode == LookupModeLinear) {
        LinearSegment(table, values, levels, k);
      } else {
        CubicSegment(table, values, levels, k, std::clamp(k - 1, 0, count - 4));
      }
    }
  }
  for (int32_t v = ClampLevel(levels[count - 1], 256); v < 256; ++v) {
    table[v] = static_cast<uint8_t>(v);
  }
}

const uint8_t* GammaForwardTable() {
  static const GammaTable table = GammaCurve(false);
  return table.data();
}

const uint8_t* GammaInverseTable() {
  static const GammaTable table = GammaCurve(true);
  return table.data();
}

namespace generic {
namespace {

// Eight bytes are read and written as one word: a table read per byte is
// left, where byte loads and stores would take three memory accesses a byte.
inline uint64_t MapWord(const uint8_t* t0, const uint8_t* t1, const uint8_t* t2, uint64_t w) {
  return uint64_t{t0[w & 0xFF]} | uint64_t{t1[(w >> 8) & 0xFF]} << 8 |
         uint64_t{t2[(w >> 16) & 0xFF]} << 16 | uint64_t{t0[(w >> 24) & 0xFF]} << 24 |
         uint64_t{t1[(w >> 32) & 0xFF]} << 32 | uint64_t{t2[(w >> 40) & 0xFF]} << 40 |
         uint64_t{t0[(w >> 48) & 0xFF]} << 48 | uint64_t{t1[w >> 56]} << 56;
}

inline uint64_t LoadWord(const uint8_t* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}

inline void StoreWord(uint8_t* p, uint64_t w) { std::memcpy(p, &w, 8); }

void MapRowC1(const uint8_t* table, const uint8_t* src, uint8_t* dst, int32_t bytes) {
  const std::ptrdiff_t n = bytes;
  std::ptrdiff_t x = 0;
  for (; x + 16 <= n; x += 16) {
    const uint64_t a = LoadWord(src + x), b = LoadWord(src + x + 8);
    StoreWord(dst + x, MapWord(table, table, table, a));
    StoreWord(dst + x + 8, MapWord(table, table, table, b));
  }
  for (; x < n; ++x) dst[x] = table[src[x]];
}

// 24 bytes (8 pixels) a step: the three words start at byte positions 0, 2
// and 1 of a pixel, so each takes the tables in its own rotation.
void MapRowC3(const uint8_t* tables, const uint8_t* src, uint8_t* dst, int32_t pixels) {
  const uint8_t* t0 = tables;
  const uint8_t* t1 = tables + 256;
  const uint8_t* t2 = tables + 512;
  const std::ptrdiff_t n = 3 * std::ptrdiff_t{pixels};
  std::ptrdiff_t x = 0;
  for (; x + 24 <= n; x += 24) {
    const uint64_t a = LoadWord(src + x), b = LoadWord(src + x + 8), c = LoadWord(src + x + 16);
    StoreWord(dst + x, MapWord(t0, t1, t2, a));
    StoreWord(dst + x + 8, MapWord(t2, t0, t1, b));
    StoreWord(dst + x + 16, MapWord(t1, t2, t0, c));
  }
  for (; x < n; ++x) dst[x] = tables[256 * (x % 3) + src[x]];
}

}  // namespace

#include "kernels/lookup_entries.inc"

}  // namespace generic

// --- dispatch tables ----------------------------------------------------------
// Every path runs the generic kernels: the mapping is one table read per
// byte, which the word loop above does in well under a cycle a byte. AVX-512
// gathers of sixteen entries measured twice as slow as that on the processor
// measured, and 16-byte shuffles need sixteen per vector for 256 entries.
#define KLEM_TABLE(Fn, name) \
  constinit const KernelDispatchTable<Fn> k##name = Dispatch(generic::name)

KLEM_TABLE(Lookup8uC1Fn, LookupTable8uC1);
KLEM_TABLE(Lookup8uC1Fn, LookupTableLinear8uC1);
KLEM_TABLE(Lookup8uC1Fn, LookupTableCubic8uC1);
KLEM_TABLE(Lookup8uC3Fn, LookupTable8uC3);
KLEM_TABLE(Lookup8uC3Fn, LookupTableLinear8uC3);
KLEM_TABLE(Lookup8uC3Fn, LookupTableCubic8uC3);
KLEM_TABLE(Gamma8uFn, GammaForward8u);
KLEM_TABLE(Gamma8uFn, GammaInverse8u);
#undef KLEM_TABLE

}  // namespace klem::kernels
