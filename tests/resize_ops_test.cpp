// KLEM_Resize against references written from the formulas, its edge cases,
// its messages in their order and the 1-bit path.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "handle_test_support.h"

namespace klem::test {
namespace {

struct Picture {
  int32_t width, height, channels;
  std::vector<uint8_t> px;  // packed rows
  int32_t At(int32_t x, int32_t y, int32_t c) const { return px[(size_t(y) * width + x) * channels + c]; }
};

Picture Read(const HostImage& image) {
  const Geometry g = image.Shape();
  Picture p{g.width, g.height, g.bytesPerPixel, {}};
  for (int32_t y = 0; y < g.height; ++y) {
    p.px.insert(p.px.end(), image.Memory() + size_t(y) * g.widthBytes,
                image.Memory() + size_t(y) * g.widthBytes + size_t(g.width) * g.bytesPerPixel);
  }
  return p;
}

// An image of random bytes, the same for the same seed.
struct RandomImage : HostImage {
  RandomImage(int32_t width, int32_t height, uint32_t bpp, uint32_t seed) : HostImage(width, height, bpp) {
    SetBytes(Pattern(Shape().size, seed));
  }
};

// Source sample, position and weight of destination k along an axis of n
// source samples scaled by f.
struct Axis {
  int32_t n;
  double f;
  int32_t Nearest(int32_t k) const { return std::min(int32_t(std::trunc((k + 0.5) / f + 1e-7)), n - 1); }
  double P(int32_t k) const { return n * f + 1e-7 > 1 ? k * ((n - 1) / (n * f + 1e-7 - 1)) : 0; }
  int32_t I(int32_t k) const { return std::min(int32_t(std::trunc(P(k) + 1e-7)), n - 1); }
};

float Cubic(float a, float b, float c, float d, float t) {
  const float s = t + 1;
  return a + (b - a) * s + (c - 2 * b + a) * s * t / 2 + (d - 3 * c + 3 * b - a) * s * t * (t - 1) / 6;
}

// What a w x h resize of s with the host's mode gives.
Picture Expected(const Picture& s, int32_t w, int32_t h, int32_t mode) {
  int32_t code = mode == 2 ? 4 : mode == 3 ? 1 : mode == 4 && w <= s.width && h <= s.height ? 8 : 2;
  if (s.width < 2 || s.height < 2) code = 1;
  if (code == 4 && (s.width < 4 || s.height < 4)) code = 2;
  const Axis ax{s.width, double(w) / s.width}, ay{s.height, double(h) / s.height};
  Picture d{w, h, s.channels, std::vector<uint8_t>(size_t(w) * h * s.channels)};
  const auto linear = [](const Axis& a, int32_t k, int32_t& i) {
    i = a.I(k);
    if (i == a.n - 1) return --i, 16384;
    return int32_t(std::trunc((a.P(k) - i) * 16384 + 1e-7));
  };
  const auto cubic = [](const Axis& a, int32_t k, int32_t& b) {
    const int32_t i = a.I(k);
    if (i == a.n - 1) return b = i - 2, 2.0f;
    b = i == 0 ? 1 : i == a.n - 2 ? i - 1 : i;
    return float(a.P(k) - b);
  };
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      for (int32_t c = 0; c < s.channels; ++c) {
        int32_t result = 0;
        if (code == 1) {
          result = s.At(ax.Nearest(x), ay.Nearest(y), c);
        } else if (code == 2) {
          int32_t i, j;
          const int32_t u = linear(ax, x, i), v = linear(ay, y, j);
          const auto hz = [&](int32_t r) { return (s.At(i, r, c) * (16384 - u) + s.At(i + 1, r, c) * u + 128) >> 8; };
          result = (hz(j) * (16384 - v) + hz(j + 1) * v + 524288) >> 20;
        } else if (code == 4) {
          int32_t i, j;
          const float u = cubic(ax, x, i), v = cubic(ay, y, j);
          float hz[4];
          for (int32_t r = 0; r < 4; ++r) {
            const auto at = [&](int32_t dx) { return float(s.At(i + dx, j - 1 + r, c)); };
            hz[r] = Cubic(at(-1), at(0), at(1), at(2), u);
          }
          result = std::clamp(int32_t(Cubic(hz[0], hz[1], hz[2], hz[3], v) + 0.5000001f), 0, 255);
        } else {
          // Covered part of source sample i by destination k.
          const auto part = [](const Axis& a, int32_t k, int32_t i) {
            const double p = std::min(i + 1.0, std::min((k + 1) / a.f, double(a.n))) - std::max(double(i), k / a.f);
            return p > 1e-7 ? p : 0.0;
          };
          const double rx = 1 / ax.f, ry = 1 / ay.f;
          if (std::fabs(rx - std::round(rx)) <= 1e-7 && std::fabs(ry - std::round(ry)) <= 1e-7) {
            int64_t sum = 0;
            for (int32_t j = 0; j < s.height; ++j)
              for (int32_t i = 0; i < s.width; ++i) sum += part(ax, x, i) > 0 && part(ay, y, j) > 0 ? s.At(i, j, c) : 0;
            result = int32_t(std::trunc(double(sum) * (ax.f * ay.f) + 0.5));
          } else {
            float total = 0;
            for (int32_t i = 0; i < s.width; ++i) {
              float column = 0;
              for (int32_t j = 0; j < s.height; ++j) column += float(part(ay, y, j)) * float(s.At(i, j, c));
              if (part(ax, x, i) > 0) total += float(part(ax, x, i)) * column;
            }
            result = std::min(int32_t(std::trunc(total * float(ax.f * ay.f) + 0.5f)), 255);
          }
        }
        d.px[(size_t(y) * w + x) * s.channels + c] = uint8_t(result);
      }
    }
  }
  return d;
}

bool SamePixels(const Picture& a, const Picture& b) { return a.width == b.width && a.height == b.height && a.px == b.px; }

TEST(Resize, MatchesTheFormulasForEveryModeAndSourceSize) {
  struct Size { int32_t w, h; };
  const Size sources[] = {{1, 6}, {5, 1}, {3, 7}, {2, 2}, {17, 13}, {40, 24}};
  const Size targets[] = {{1, 1}, {2, 3}, {9, 5}, {33, 29}, {20, 12}, {27, 16}};
  for (uint32_t bpp : {8u, 24u}) {
    for (const Size s : sources) {
      const RandomImage source(s.w, s.h, bpp, s.w * 131 + s.h);
      for (const Size t : targets) {
        for (int32_t mode = 0; mode <= 4; ++mode) {
          HostImage dst(t.w, t.h, bpp);
          ASSERT_EQ(KLEM_Resize(dst.h(), source.h(), t.w, t.h, mode), KLEM_OK) << dst.Error();
          EXPECT_TRUE(SamePixels(Read(dst), Expected(Read(source), t.w, t.h, mode)))
              << bpp << " " << s.w << "x" << s.h << " to " << t.w << "x" << t.h << " mode " << mode;
        }
      }
    }
  }
}

TEST(Resize, EdgeCases) {
  const RandomImage hundred(100, 100, 8, 5);
  HostImage big(200, 200, 8);
  ASSERT_EQ(KLEM_Resize(big.h(), hundred.h(), 200, 200, 1), KLEM_OK);
  const Picture s = Read(hundred), d = Read(big);
  for (auto [x, y] : {std::pair{0, 0}, {199, 0}, {0, 199}, {199, 199}}) {
    EXPECT_EQ(d.At(x, y, 0), s.At(x / 2, y / 2, 0)) << x << "," << y;
  }
  // Each case: source, size, mode, and the mode that must give the same pixels.
  struct Same { int32_t sw, sh, w, h, mode, as; };
  for (const Same c : {Same{100, 100, 150, 80, 4, 0}, Same{3, 9, 7, 11, 2, 1}, Same{1, 9, 5, 4, 2, 3},
                       Same{1, 9, 1, 4, 4, 3}, Same{1, 9, 5, 11, 1, 3}}) {
    const RandomImage source(c.sw, c.sh, 8, c.sw + c.mode);
    HostImage a(c.w, c.h, 8), b(c.w, c.h, 8);
    ASSERT_EQ(KLEM_Resize(a.h(), source.h(), c.w, c.h, c.mode), KLEM_OK);
    ASSERT_EQ(KLEM_Resize(b.h(), source.h(), c.w, c.h, c.as), KLEM_OK);
    EXPECT_EQ(a.Bytes(), b.Bytes()) << c.sw << " wide, mode " << c.mode;
  }
  const RandomImage four(4, 4, 8, 9);
  HostImage half(2, 2, 8);
  ASSERT_EQ(KLEM_Resize(half.h(), four.h(), 2, 2, 4), KLEM_OK);
  const Picture f = Read(four), q = Read(half);
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 2; ++x) {
      const int32_t sum = f.At(2 * x, 2 * y, 0) + f.At(2 * x + 1, 2 * y, 0) + f.At(2 * x, 2 * y + 1, 0) +
                          f.At(2 * x + 1, 2 * y + 1, 0);
      EXPECT_EQ(q.At(x, y, 0), int32_t(sum * 0.25 + 0.5));
    }
  }
  // A step edge overshoots under the cubic: the results are clamped, not wrapped.
  HostImage edge(8, 8, 8), smooth(29, 23, 8);
  std::vector<uint8_t> bytes = edge.Bytes();
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = (i % edge.Shape().widthBytes) < 4 ? 0 : 255;
  edge.SetBytes(bytes);
  ASSERT_EQ(KLEM_Resize(smooth.h(), edge.h(), 29, 23, 2), KLEM_OK);
  EXPECT_TRUE(SamePixels(Read(smooth), Expected(Read(edge), 29, 23, 2)));
}

TEST(Resize, WritesItsOwnSizeOnlyAndReadsACopyOfItself) {
  const RandomImage source(64, 48, 24, 3);
  RandomImage wide(300, 300, 24, 4);
  HostImage exact(200, 200, 24);
  const Picture before = Read(wide);
  ASSERT_EQ(KLEM_Resize(wide.h(), source.h(), 200, 200, 2), KLEM_OK);
  ASSERT_EQ(KLEM_Resize(exact.h(), source.h(), 200, 200, 2), KLEM_OK);
  const Picture after = Read(wide), expected = Read(exact);
  for (int32_t y = 0; y < 300; ++y) {
    for (int32_t x = 0; x < 300; ++x) {
      for (int32_t c = 0; c < 3; ++c) {
        ASSERT_EQ(after.At(x, y, c), x < 200 && y < 200 ? expected.At(x, y, c) : before.At(x, y, c)) << x << "," << y;
      }
    }
  }
  RandomImage self(64, 48, 24, 3);
  ASSERT_EQ(KLEM_Resize(self.h(), self.h(), 150, 100, 1), KLEM_OK);
  EXPECT_TRUE(SamePixels(Read(self), [&] {
    Picture p = Expected(Read(source), 150, 100, 1);
    Picture cut{64, 48, 3, {}};
    for (int32_t y = 0; y < 48; ++y) cut.px.insert(cut.px.end(), &p.px[size_t(y) * 450], &p.px[size_t(y) * 450 + 192]);
    return cut;
  }()));
}

TEST(Resize, RefusesInOrderAndLeavesTheImageAlone) {
  const RandomImage gray(10, 10, 8, 1), colour(10, 10, 24, 2);
  struct Refusal { const HostImage* source; uint32_t bpp; int32_t w, h, mode; const char* text; };
  const Refusal cases[] = {
      {&colour, 8, 0, 5, 9, kDifferentFormat},   {&gray, 8, 0, 5, 9, "Invalid resize dimensions!"},
      {&gray, 8, 5, -1, 1, "Invalid resize dimensions!"}, {&gray, 8, 5, 5, 5, "Unsupported interpolation mode!"},
      {&gray, 8, 5, 5, -1, "Unsupported interpolation mode!"}};
  for (const Refusal& c : cases) {
    RandomImage dst(5, 5, c.bpp, 7);
    const std::vector<uint8_t> before = dst.Bytes();
    EXPECT_EQ(KLEM_Resize(dst.h(), c.source->h(), c.w, c.h, c.mode), 1u) << c.text;
    EXPECT_EQ(dst.Error(), c.text);
    EXPECT_EQ(dst.Bytes(), before) << c.text;
  }
}

TEST(Resize, BlackAndWhiteGoesThroughEightBits) {
  const RandomImage bits(37, 23, 1, 11);
  HostImage expanded(37, 23, 8);
  ASSERT_EQ(KLEM_Grayscale8Bit(expanded.h(), bits.h()), KLEM_OK);
  for (int32_t mode = 0; mode <= 4; ++mode) {
    HostImage dst(50, 20, 1), gray(50, 20, 8), expected(50, 20, 1);
    ASSERT_EQ(KLEM_Resize(dst.h(), bits.h(), 50, 20, mode), KLEM_OK) << dst.Error();
    ASSERT_EQ(KLEM_Resize(gray.h(), expanded.h(), 50, 20, mode), KLEM_OK);
    ASSERT_EQ(KLEM_ConvertTo1Bit(expected.h(), gray.h(), 0), KLEM_OK);
    EXPECT_EQ(dst.Bytes(), expected.Bytes()) << mode;
  }
  HostImage wrong(50, 21, 1);
  EXPECT_EQ(KLEM_Resize(wrong.h(), bits.h(), 50, 20, 1), 1u);
  EXPECT_EQ(wrong.Error(), kDifferentSize);
}

}  // namespace
}  // namespace klem::test
