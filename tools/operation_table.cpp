// One row for each exported image operation: name, summary, inputs, outputs,
// how the destinations are made, the call, the options with their defaults.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "operations.h"

namespace klem_tool {
namespace {

Shape ShapeOf(KLEM_HANDLE image) {
  Shape s{0, 0, 0};
  KLEM_GetWidth(image, &s.width);
  KLEM_GetHeight(image, &s.height);
  KLEM_GetBitsPerPixel(image, &s.bitsPerPixel);
  return s;
}

// The first input's size; its format too when kBitsPerPixel is 0.
template <uint32_t kBitsPerPixel>
std::optional<Shape> SizeOfFirst(const Run& run) {
  Shape s = ShapeOf(run.in[0]);
  if (kBitsPerPixel != 0) s.bitsPerPixel = kBitsPerPixel;
  return s;
}

constexpr ShapeRule kInPlace = nullptr;
constexpr ShapeRule kLikeFirst = SizeOfFirst<0>;

// A side computed from options, 0 when it does not fit (KLEM_Create then says so).
int32_t Side(double length) { return length >= 1 && length <= INT32_MAX ? int32_t(length) : 0; }

std::optional<Shape> CropShape(const Run& run) {
  return Shape{Side(std::abs(double(run.Int("right")) - run.Int("left")) + 1),
               Side(std::abs(double(run.Int("bottom")) - run.Int("top")) + 1), ShapeOf(run.in[0]).bitsPerPixel};
}

std::optional<Shape> BorderShape(const Run& run) {
  const Shape s = ShapeOf(run.in[0]);
  return Shape{Side(double(s.width) + run.Int("left") + run.Int("right")),
               Side(double(s.height) + run.Int("top") + run.Int("bottom")), s.bitsPerPixel};
}

// Reduces 16 bits a sample to 8: gray to gray, colour to colour.
std::optional<Shape> HdrShape(const Run& run) {
  const Shape s = ShapeOf(run.in[0]);
  return Shape{s.width, s.height, s.bitsPerPixel == 48 ? 24u : 8u};
}

// A destination holding every pixel centre of the bounding box
// (x0, y0, x1, y1) that a box query gave; a 1-bit rotation gives one less.
std::optional<Shape> BoxShape(const Run& run, uint32_t status, const double box[4], bool oneLess = false) {
  if (status != KLEM_OK) return std::nullopt;
  const auto side = [oneLess](double extent) { return Side(oneLess ? std::trunc(extent) : std::floor(extent) + 1); };
  return Shape{side(box[2] - box[0]), side(box[3] - box[1]), ShapeOf(run.in[0]).bitsPerPixel};
}

std::optional<Shape> RotateShape(const Run& run) {
  double b[4] = {};
  const uint32_t status = KLEM_RotateBox(run.in[0], run.in[0], run.Double("angle"), &b[0], &b[1], &b[2], &b[3]);
  return BoxShape(run, status, b, ShapeOf(run.in[0]).bitsPerPixel == 1);
}

std::optional<Shape> ShearShape(const Run& run) {
  double b[4] = {};
  return BoxShape(run, KLEM_ShearBox(run.in[0], run.in[0], run.Double("x"), run.Double("y"), &b[0], &b[1], &b[2], &b[3]), b);
}

// The perspective warp adds no shift: the destination reaches from (0, 0) to the box's far corner.
std::optional<Shape> WarpShape(const Run& run) {
  const std::vector<double> c = run.Doubles("coeffs");
  double b[4] = {};
  const uint32_t status =
      KLEM_WarpPerspectiveBox(run.in[0], run.in[0], c.data(), int32_t(c.size()), &b[0], &b[1], &b[2], &b[3]);
  b[0] = std::min(b[0], 0.0);
  b[1] = std::min(b[1], 0.0);
  return BoxShape(run, status, b);
}

std::optional<Shape> ResizeShape(const Run& run) {
  return Shape{run.Int("width"), run.Int("height"), ShapeOf(run.in[0]).bitsPerPixel};
}

// Refuses a call whose options do not fit together, the text where the library keeps its own.
uint32_t Refuse(const Run& run, const char* why) {
  KLEM_SetError(run.dst(), why);
  return KLEM_FAILED;
}

// The red/blue swaps work on host buffers: the input's pixels into the output's.
template <auto kSwap>
uint32_t SwapRedBlue(const Run& run) {
  void *from = nullptr, *to = nullptr;
  int32_t step = 0;
  KLEM_GetImageMemory(run.in[0], &from);
  KLEM_GetImageMemory(run.dst(), &to);
  KLEM_GetWidthBytes(run.in[0], &step);
  const Shape s = ShapeOf(run.in[0]);
  return kSwap(run.dst(), static_cast<const uint8_t*>(from), step, static_cast<uint8_t*>(to), step, s.width,
               s.height, run.Int("flip"));
}

uint32_t LookUp8(const Run& run) {
  const std::vector<int32_t> levels = run.Ints("levels"), values = run.Ints("values");
  if (levels.size() != values.size()) return Refuse(run, "--levels and --values differ in length");
  return KLEM_LookUpTable8Bit(run.dst(), run.in[0], values.data(), levels.data(), int32_t(levels.size()),
                              run.Int("mode"));
}

uint32_t LookUp24(const Run& run) {
  std::vector<int32_t> curve[6];
  const char* names[6] = {"levels0", "values0", "levels1", "values1", "levels2", "values2"};
  for (int i = 0; i < 6; ++i) curve[i] = run.Ints(names[i]);
  for (int c = 0; c < 6; c += 2) {
    if (curve[c].size() != curve[c + 1].size()) return Refuse(run, "a curve's levels and values differ in length");
  }
  return KLEM_LookUpTable(run.dst(), run.in[0], curve[0].data(), curve[1].data(), int32_t(curve[0].size()),
                          curve[2].data(), curve[3].data(), int32_t(curve[2].size()), curve[4].data(),
                          curve[5].data(), int32_t(curve[4].size()), run.Int("mode"));
}

template <auto kMorphology>
uint32_t WithMask(const Run& run) {
  const std::vector<int32_t> cells = run.Ints("mask");
  const std::vector<uint8_t> mask(cells.begin(), cells.end());
  if (int64_t(mask.size()) != int64_t(run.Int("mask-width")) * run.Int("mask-height")) {
    return Refuse(run, "--mask must have mask-width x mask-height entries");
  }
  return kMorphology(run.dst(), mask.data(), run.Int("mask-width"), run.Int("mask-height"));
}

uint32_t UserFilter(const Run& run) {
  const std::vector<int32_t> kernel = run.Ints("kernel");
  if (int64_t(kernel.size()) != int64_t(run.Int("kernel-width")) * run.Int("kernel-height")) {
    return Refuse(run, "--kernel must have kernel-width x kernel-height entries");
  }
  return KLEM_FilterUserDefined(run.dst(), run.in[0], kernel.data(), run.Int("kernel-width"),
                                run.Int("kernel-height"), run.Int("anchor-column"), run.Int("anchor-row"),
                                run.Int("divisor"));
}

uint32_t SwapChannels(const Run& run) {
  const std::vector<int32_t> order = run.Ints("order");
  return KLEM_SwapChannels(run.dst(), run.in[0], order.data(), int32_t(order.size()));
}

const Option kValue{"value", "32", Kind::kUint, "constant: 8 bits a channel, 0xBBGGRR packs three"};
const Option kThreshold{"threshold", "128", Kind::kInt, "threshold, 0xBBGGRR packs three"};
const Option kThresholdValue{"value", "0", Kind::kInt, "replacement, 0xBBGGRR packs three"};
const Option kType{"type", "0", Kind::kInt, "composition, 6..11 as 0..5 on premultiplied colour",
                   "over=0,in=1,out=2,atop=3,xor=4,plus=5"};
const Option kCurveMode{"mode", "1", Kind::kInt, "between the points", "step=0,linear=1,cubic=2"};
// Interpolation of the geometry rows: resize, rotation, shear, warp.
const Option kInterpolation{"mode", "1", Kind::kInt, "interpolation", "linear=1,cubic=2,nearest=3"};
const Option kFlip{"flip", "0", Kind::kInt, "non-zero turns the rows upside down"};
const Option kLevels{"levels", "0,64,192,255", Kind::kInts, "input levels of the curve"};
const Option kValues{"values", "0,32,224,255", Kind::kInts, "output values at the levels"};
const std::vector<Option> kRectangle = {{"left", "0", Kind::kInt, "left column"}, {"top", "0", Kind::kInt, "top row"},
                                        {"right", "7", Kind::kInt, "right column"}, {"bottom", "7", Kind::kInt, "bottom row"}};
const std::vector<Option> kBorders = {{"left", "8", Kind::kInt, "columns on the left"}, {"top", "8", Kind::kInt, "rows on top"},
                                      {"right", "8", Kind::kInt, "columns on the right"}, {"bottom", "8", Kind::kInt, "rows below"}};
const std::vector<Option> kMask = {{"mask", "0,1,0,1,1,1,0,1,0", Kind::kInts, "mask cells row by row, non-zero ones count"},
                                   {"mask-width", "3", Kind::kInt, "mask columns"}, {"mask-height", "3", Kind::kInt, "mask rows"}};

std::vector<Option> Join(std::vector<Option> first, const std::vector<Option>& more) {
  first.insert(first.end(), more.begin(), more.end());
  return first;
}

std::vector<Operation> MakeTable() {
  return {
      // arithmetic and logic: the first input changed by the second or by a constant
      {"add", "adds the second image, saturating", 2, 1, kInPlace, [](const Run& r) { return KLEM_Add(r.dst(), r.in[1]); }, {}},
      {"subtract", "subtracts the second image, 0 below", 2, 1, kInPlace, [](const Run& r) { return KLEM_Subtract(r.dst(), r.in[1]); }, {}},
      {"multiply", "multiplies by the second image", 2, 1, kInPlace, [](const Run& r) { return KLEM_Multiply(r.dst(), r.in[1]); }, {}},
      {"divide", "divides by the second image", 2, 1, kInPlace, [](const Run& r) { return KLEM_Divide(r.dst(), r.in[1]); }, {}},
      {"add-constant", "adds a constant", 1, 1, kInPlace, [](const Run& r) { return KLEM_AddConstant(r.dst(), r.Uint("value")); }, {kValue}},
      {"subtract-constant", "subtracts a constant", 1, 1, kInPlace, [](const Run& r) { return KLEM_SubtractConstant(r.dst(), r.Uint("value")); }, {kValue}},
      {"multiply-constant", "multiplies by a constant", 1, 1, kInPlace, [](const Run& r) { return KLEM_MultiplyConstant(r.dst(), r.Uint("value")); }, {kValue}},
      {"divide-constant", "divides by a constant", 1, 1, kInPlace, [](const Run& r) { return KLEM_DivideConstant(r.dst(), r.Uint("value")); }, {kValue}},
      {"difference", "|first - second|", 2, 1, kLikeFirst, [](const Run& r) { return KLEM_Difference(r.dst(), r.in[0], r.in[1]); }, {}},
      {"difference-constant", "|input - constant|", 1, 1, kLikeFirst, [](const Run& r) { return KLEM_DifferenceConstant(r.dst(), r.in[0], r.Uint("value")); }, {kValue}},
      {"and", "bitwise and with the second image", 2, 1, kInPlace, [](const Run& r) { return KLEM_And(r.dst(), r.in[1]); }, {}},
      {"or", "bitwise or with the second image", 2, 1, kInPlace, [](const Run& r) { return KLEM_Or(r.dst(), r.in[1]); }, {}},
      {"xor", "bitwise exclusive or with the second image", 2, 1, kInPlace, [](const Run& r) { return KLEM_Xor(r.dst(), r.in[1]); }, {}},
      {"and-constant", "bitwise and with a constant", 1, 1, kInPlace, [](const Run& r) { return KLEM_AndConstant(r.dst(), r.Uint("value")); }, {kValue}},
      {"or-constant", "bitwise or with a constant", 1, 1, kInPlace, [](const Run& r) { return KLEM_OrConstant(r.dst(), r.Uint("value")); }, {kValue}},
      {"xor-constant", "bitwise exclusive or with a constant", 1, 1, kInPlace, [](const Run& r) { return KLEM_XorConstant(r.dst(), r.Uint("value")); }, {kValue}},
      {"invert", "every byte b becomes 255 - b", 1, 1, kInPlace, [](const Run& r) { return KLEM_Invert(r.dst()); }, {}},
      {"scale", "shifts every sample by its channel's count", 1, 1, kInPlace,
       [](const Run& r) { return KLEM_Scale(r.dst(), r.Uint("count1"), r.Uint("count2"), r.Uint("count3"), r.Uint("direction")); },
       {{"count1", "1", Kind::kUint, "shift of the first channel"}, {"count2", "1", Kind::kUint, "of the second"},
        {"count3", "1", Kind::kUint, "of the third"}, {"direction", "0", Kind::kUint, "0 right, otherwise left"}}},
      {"hdr-scale-down", "16 bits a sample down to 8 (16 to 8, 48 to 24)", 1, 1, HdrShape, [](const Run& r) { return KLEM_HDRScaleDown(r.dst(), r.in[0]); }, {}},

      // fill, copy, crop, borders
      {"fill", "every pixel becomes the value", 1, 1, kInPlace, [](const Run& r) { return KLEM_Fill(r.dst(), r.Uint("value")); }, {kValue}},
      {"copy", "the second image's top-left part onto the first", 2, 1, kInPlace, [](const Run& r) { return KLEM_Copy(r.dst(), r.in[1]); }, {}},
      {"copy-with-mask", "as copy where the third image (8 bits) is non-zero", 3, 1, kInPlace, [](const Run& r) { return KLEM_CopyWithMask(r.dst(), r.in[1], r.in[2]); }, {}},
      {"crop", "the rectangle of the input", 1, 1, CropShape,
       [](const Run& r) { return KLEM_Crop(r.dst(), r.in[0], r.Int("left"), r.Int("top"), r.Int("right"), r.Int("bottom")); }, kRectangle},
      {"crop-to", "the rectangle of the second image onto the first at (column, row)", 2, 1, kInPlace,
       [](const Run& r) { return KLEM_CropTo(r.dst(), r.in[1], r.Int("left"), r.Int("top"), r.Int("right"), r.Int("bottom"), r.Int("column"), r.Int("row")); },
       Join(kRectangle, {{"column", "0", Kind::kInt, "destination column"}, {"row", "0", Kind::kInt, "destination row"}})},
      {"copy-with-const-border", "the input inside a border of one value", 1, 1, BorderShape,
       [](const Run& r) { return KLEM_CopyWithConstBorder(r.dst(), r.in[0], r.Int("left"), r.Int("top"), r.Uint("value")); }, Join(kBorders, {kValue})},
      {"copy-with-replicate-border", "the input inside a border of its edge pixels", 1, 1, BorderShape,
       [](const Run& r) { return KLEM_CopyWithReplicateBorder(r.dst(), r.in[0], r.Int("left"), r.Int("top")); }, kBorders},

      // channels
      {"split-channels", "the three bytes of a 24-bit image as three gray images", 1, 3, SizeOfFirst<8>,
       [](const Run& r) { return KLEM_SplitChannels(r.in[0], r.out[0], r.out[1], r.out[2]); }, {}},
      {"from-channels", "a 24-bit image from three gray images", 3, 1, SizeOfFirst<24>,
       [](const Run& r) { return KLEM_FromChannels(r.dst(), r.in[0], r.in[1], r.in[2]); }, {}},
      {"split-channels-rgba", "the four bytes of a 32-bit image as four gray images", 1, 4, SizeOfFirst<8>,
       [](const Run& r) { return KLEM_SplitChannelsRGBA(r.in[0], r.out[0], r.out[1], r.out[2], r.out[3]); }, {}},
      {"from-channels-rgba", "a 32-bit image from four gray images", 4, 1, SizeOfFirst<32>,
       [](const Run& r) { return KLEM_FromChannelsRGBA(r.dst(), r.in[0], r.in[1], r.in[2], r.in[3]); }, {}},
      {"swap-channels", "byte i of every pixel from byte order[i]", 1, 1, kLikeFirst, SwapChannels,
       {{"order", "2,1,0", Kind::kInts, "three source bytes"}}},

      // alpha
      {"alpha-premultiply", "colour times alpha (32 bits)", 1, 1, kInPlace, [](const Run& r) { return KLEM_AlphaPremultiply(r.dst()); }, {}},
      {"alpha-premultiply-with-constant", "colour times a constant alpha", 1, 1, kInPlace,
       [](const Run& r) { return KLEM_AlphaPremultiplyWithConstant(r.dst(), r.Uint("alpha")); }, {{"alpha", "128", Kind::kUint, "alpha"}}},
      {"alpha-overlay", "the first composed with the second by their alphas (32 bits)", 2, 1, kLikeFirst,
       [](const Run& r) { return KLEM_AlphaOverlay(r.dst(), r.in[0], r.in[1], r.Int("type")); }, {kType}},
      {"alpha-overlay-with-constant", "the first composed with the second by constant alphas", 2, 1, kLikeFirst,
       [](const Run& r) { return KLEM_AlphaOverlayWithConstant(r.dst(), r.in[0], r.Uint("alpha-a"), r.in[1], r.Uint("alpha-b"), r.Int("type")); },
       {{"alpha-a", "192", Kind::kUint, "alpha of the first"}, {"alpha-b", "128", Kind::kUint, "alpha of the second"}, kType}},
      {"apply-alpha-channel-constant", "every alpha byte becomes the value (32 bits)", 1, 1, kInPlace,
       [](const Run& r) { return KLEM_ApplyAlphaChannelConstant(r.dst(), r.Uint("alpha")); }, {{"alpha", "128", Kind::kUint, "alpha"}}},
      {"apply-alpha-channel", "the alpha bytes from the second image (8 bits)", 2, 1, kInPlace,
       [](const Run& r) { return KLEM_ApplyAlphaChannel(r.dst(), r.in[1]); }, {}},

      {"flood-fill", "paints the region connected to the seed (8 bits)", 1, 1, kInPlace,
       [](const Run& r) { return KLEM_FloodFill(r.dst(), r.Int("x"), r.Int("y"), r.Int("value"), r.Int("lower"), r.Int("upper"), r.Int("connectivity")); },
       {{"x", "0", Kind::kInt, "seed column"}, {"y", "0", Kind::kInt, "seed row"}, {"value", "255", Kind::kInt, "new value"},
        {"lower", "0", Kind::kInt, "tolerance below"}, {"upper", "0", Kind::kInt, "tolerance above"},
        {"connectivity", "0", Kind::kInt, "0: 8 neighbours, otherwise 4"}}},

      // colour conversions (24 bits)
      {"rgb-to-cmy", "RGB to CMY", 1, 1, kInPlace, [](const Run& r) { return KLEM_RGBtoCMY(r.dst()); }, {}},
      {"cmy-to-rgb", "CMY to RGB", 1, 1, kInPlace, [](const Run& r) { return KLEM_CMYtoRGB(r.dst()); }, {}},
      {"rgb-to-yuv", "RGB to YUV", 1, 1, kLikeFirst, [](const Run& r) { return KLEM_RGBtoYUV(r.dst(), r.in[0]); }, {}},
      {"yuv-to-rgb", "YUV to RGB", 1, 1, kLikeFirst, [](const Run& r) { return KLEM_YUVtoRGB(r.dst(), r.in[0]); }, {}},
      {"rgb-to-xyz", "RGB to XYZ", 1, 1, kLikeFirst, [](const Run& r) { return KLEM_RGBtoXYZ(r.dst(), r.in[0]); }, {}},
      {"xyz-to-rgb", "XYZ to RGB", 1, 1, kLikeFirst, [](const Run& r) { return KLEM_XYZtoRGB(r.dst(), r.in[0]); }, {}},
      {"rgb-to-ycc", "RGB to YCC", 1, 1, kLikeFirst, [](const Run& r) { return KLEM_RGBtoYCC(r.dst(), r.in[0]); }, {}},
      {"ycc-to-rgb", "YCC to RGB", 1, 1, kLikeFirst, [](const Run& r) { return KLEM_YCCtoRGB(r.dst(), r.in[0]); }, {}},
      {"rgb-to-bgr", "swaps bytes 0 and 2 of every pixel (24 bits)", 1, 1, kLikeFirst, SwapRedBlue<KLEM_RGBtoBGR>, {kFlip}},
      {"rgba-to-bgra", "swaps bytes 0 and 2 of every pixel (32 bits)", 1, 1, kLikeFirst, SwapRedBlue<KLEM_RGBAtoBGRA>, {kFlip}},

      // gray, black and white, gamma
      {"grayscale-8bit", "the gray of a colour or black-and-white image, 8 bits", 1, 1, SizeOfFirst<8>,
       [](const Run& r) { return KLEM_Grayscale8Bit(r.dst(), r.in[0]); }, {}},
      {"grayscale", "the gray in all three bytes, 24 bits", 1, 1, SizeOfFirst<24>, [](const Run& r) { return KLEM_Grayscale(r.dst(), r.in[0]); }, {}},
      {"convert-to-1bit", "black and white by error diffusion", 1, 1, SizeOfFirst<1>,
       [](const Run& r) { return KLEM_ConvertTo1Bit(r.dst(), r.in[0], r.Uint("threshold")); }, {{"threshold", "128", Kind::kUint, "threshold"}}},
      {"gamma-correction", "gamma curve on every byte (24 bits)", 1, 1, kInPlace,
       [](const Run& r) { return KLEM_GammaCorrection(r.dst(), r.Int("inverse")); }, {{"inverse", "0", Kind::kInt, "non-zero: the inverse curve"}}},

      // look-up curves and thresholds
      {"look-up-table-8bit", "every sample through a curve (8 bits)", 1, 1, kLikeFirst, LookUp8, {kLevels, kValues, kCurveMode}},
      {"look-up-table", "every byte through its channel's curve (24 bits)", 1, 1, kLikeFirst, LookUp24,
       {{"levels0", kLevels.fallback, Kind::kInts, "levels of byte 0"}, {"values0", kValues.fallback, Kind::kInts, "values of byte 0"},
        {"levels1", kLevels.fallback, Kind::kInts, "levels of byte 1"}, {"values1", "0,96,160,255", Kind::kInts, "values of byte 1"},
        {"levels2", kLevels.fallback, Kind::kInts, "levels of byte 2"}, {"values2", "0,128,255,255", Kind::kInts, "values of byte 2"}, kCurveMode}},
      {"threshold-gt", "samples above the threshold become it", 1, 1, kInPlace, [](const Run& r) { return KLEM_ThresholdGT(r.dst(), r.Int("threshold")); }, {kThreshold}},
      {"threshold-lt", "samples below the threshold become it", 1, 1, kInPlace, [](const Run& r) { return KLEM_ThresholdLT(r.dst(), r.Int("threshold")); }, {kThreshold}},
      {"threshold-gt-val", "samples above the threshold become the value", 1, 1, kInPlace,
       [](const Run& r) { return KLEM_ThresholdGTVal(r.dst(), r.Int("threshold"), r.Int("value")); }, {kThreshold, kThresholdValue}},
      {"threshold-lt-val", "samples below the threshold become the value", 1, 1, kInPlace,
       [](const Run& r) { return KLEM_ThresholdLTVal(r.dst(), r.Int("threshold"), r.Int("value")); }, {kThreshold, kThresholdValue}},
      {"threshold-lt-val-gt-val", "below lower to one value, above upper to another", 1, 1, kInPlace,
       [](const Run& r) { return KLEM_ThresholdLTValGTVal(r.dst(), r.Int("lower"), r.Int("lower-value"), r.Int("upper"), r.Int("upper-value")); },
       {{"lower", "64", Kind::kInt, "lower threshold"}, {"lower-value", "0", Kind::kInt, "value below it"},
        {"upper", "192", Kind::kInt, "upper threshold"}, {"upper-value", "255", Kind::kInt, "value above it"}}},

      // morphology and filters
      {"erode", "3x3 minimum", 1, 1, kInPlace, [](const Run& r) { return KLEM_Erode(r.dst()); }, {}},
      {"dilate", "3x3 maximum", 1, 1, kInPlace, [](const Run& r) { return KLEM_Dilate(r.dst()); }, {}},
      {"erode-ex", "minimum over a mask", 1, 1, kInPlace, WithMask<KLEM_ErodeEx>, kMask},
      {"dilate-ex", "maximum over a mask", 1, 1, kInPlace, WithMask<KLEM_DilateEx>, kMask},
      {"filter", "built-in filter 1 to 27", 1, 1, kLikeFirst, [](const Run& r) { return KLEM_Filter(r.dst(), r.Int("number"), r.in[0]); },
       {{"number", "1", Kind::kInt, "filter number"}}},
      {"filter-user-defined", "convolution with a kernel", 1, 1, kLikeFirst, UserFilter,
       {{"kernel", "1,2,1,2,4,2,1,2,1", Kind::kInts, "coefficients row by row"}, {"kernel-width", "3", Kind::kInt, "kernel columns"},
        {"kernel-height", "3", Kind::kInt, "kernel rows"}, {"anchor-column", "1", Kind::kInt, "anchor column"},
        {"anchor-row", "1", Kind::kInt, "anchor row"}, {"divisor", "16", Kind::kInt, "divisor"}}},
      {"antialias", "3x3 smoothing 1 2 1 / 2 8 2 / 1 2 1 over 20", 1, 1, kLikeFirst, [](const Run& r) { return KLEM_Antialias(r.dst(), r.in[0]); }, {}},
      {"scale-to-gray", "black and white to antialiased 8-bit gray", 1, 1, SizeOfFirst<8>,
       [](const Run& r) { return KLEM_ScaleToGray(r.dst(), r.in[0], r.Int("mode")); }, {{"mode", "1", Kind::kInt, "0 keeps black pixels black"}}},

      // geometry
      {"resize", "scaled to width x height (corners on corners)", 1, 1, ResizeShape,
       [](const Run& r) { return KLEM_Resize(r.dst(), r.in[0], r.Int("width"), r.Int("height"), r.Int("mode")); },
       {{"width", "640", Kind::kInt, "destination width"}, {"height", "480", Kind::kInt, "destination height"},
        {"mode", "1", Kind::kInt, "interpolation; area averages when neither side grows", "linear=1,cubic=2,nearest=3,area=4"}}},
      {"mirror-horizontal", "left becomes right", 1, 1, kInPlace, [](const Run& r) { return KLEM_MirrorHorizontal(r.dst()); }, {}},
      {"mirror-vertical", "top becomes bottom", 1, 1, kInPlace, [](const Run& r) { return KLEM_MirrorVertical(r.dst()); }, {}},
      {"rotate", "turned by the angle, clockwise on screen, inside its bounding box", 1, 1, RotateShape,
       [](const Run& r) { return KLEM_Rotate(r.dst(), r.in[0], r.Double("angle"), r.Int("mode")); },
       {{"angle", "30", Kind::kDouble, "degrees"},
        {"mode", "1", Kind::kInt, "interpolation; exact takes only multiples of 90", "linear=1,cubic=2,nearest=3,exact=5"}}},
      {"rotate-center", "turned about a pixel that stays in place, same size", 1, 1, kLikeFirst,
       [](const Run& r) { return KLEM_RotateCenter(r.dst(), r.in[0], r.Double("angle"), r.Int("x"), r.Int("y"), r.Int("mode")); },
       {{"angle", "30", Kind::kDouble, "degrees"}, {"x", "0", Kind::kInt, "centre column"}, {"y", "0", Kind::kInt, "centre row"}, kInterpolation}},
      {"shear", "x' = x + x-shear y, y' = y-shear x + y inside its bounding box", 1, 1, ShearShape,
       [](const Run& r) { return KLEM_Shear(r.dst(), r.in[0], r.Double("x"), r.Double("y"), r.Int("mode")); },
       {{"x", "0.3", Kind::kDouble, "x shear"}, {"y", "0", Kind::kDouble, "y shear"}, kInterpolation}},
      {"warp-perspective", "through the projective transform of nine coefficients", 1, 1, WarpShape,
       [](const Run& r) {
         const std::vector<double> c = r.Doubles("coeffs");
         return KLEM_WarpPerspective(r.dst(), r.in[0], c.data(), int32_t(c.size()), r.Int("mode"));
       },
       {{"coeffs", "1,0.2,0,0.05,1,0,0.001,0.0005,1", Kind::kDoubles, "c0..c8 row by row"}, kInterpolation}},
  };
}

}  // namespace

const std::vector<Operation>& Operations() {
  static const std::vector<Operation> table = MakeTable();
  return table;
}

}  // namespace klem_tool
