// The processing object behind every KLEM_ handle: an image that also carries
// what the operations share (scale factor, texts) and owns every operation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "frame/image_buffer.h"
#include "kernels/kernel_types.h"

namespace klem {

class CPelora : public CKorImgBase {
 public:
  static constexpr int32_t kClassType = 0x4444;
  static constexpr uint32_t kInitialColourValue = 0xFFFFFF;

  CPelora();

  int32_t GetClassType() const override { return kClassType; }
  void Clear() override { CKorImgBase::Clear(); }
  bool Create(int32_t width, int32_t height, uint32_t bitsPerPixel) override {
    return CKorImgBase::Create(width, height, bitsPerPixel);
  }
  virtual uint32_t GetColourValue() const { return colourValue_; }
  virtual void SetColourValue(uint32_t value) { colourValue_ = value; }

  // Error text after a kernel call: "<message> Error(<n>)<status text>" (or
  // Warning for positive statuses); status 0 leaves the text alone.
  void SetKernelError(std::string_view message, kernels::KernelStatus status);

  // The end of every operation: a non-zero kernel status (warnings too) fails
  // it with the operation's message.
  bool KernelResult(std::string_view message, kernels::KernelStatus status) {
    if (status == kernels::kStsNoErr) return true;
    SetKernelError(message, status);
    return false;
  }
  // For an operation that has no kernel for this image's colour format.
  bool FormatNotSupported() { return Fail("Colorformat not supported by the function!"); }
  // Stores the message as the error text and fails the operation.
  bool Fail(std::string_view message);

  int32_t GetScaleFactor() const { return scaleFactor_; }
  void SetScaleFactor(int32_t value) { scaleFactor_ = value; }

  const std::string& GetVersionText() const { return versionText_; }
  const std::string& GetProcessorDetectedText() const { return processorDetectedText_; }
  const std::string& GetProcessorCodeUsedText() const { return processorCodeUsedText_; }
  // Measures the processor again (two to three seconds).
  const std::string& RefreshProcessorDetailsText();
  // Copies a text into the returned-text member and hands out its characters,
  // valid until the next text-returning call on this object.
  const char* ReturnText(const std::string& text);

  // --- validators: on failure they store their message here and return false ---
  bool CheckSameSize(const CKorImgBase& src);
  bool CheckSameFormat(const CKorImgBase& src);
  bool CheckSameSizeAndFormat(const CKorImgBase& src);
  bool CheckSameSizeAndFormat3(const CKorImgBase& a, const CKorImgBase& b);
  bool CheckDest1Bit();
  bool CheckSource8Bit(const CKorImgBase& src);
  bool CheckDest8Bit();
  bool CheckAll8Bit(const CKorImgBase* a, const CKorImgBase* b = nullptr,
                    const CKorImgBase* c = nullptr, const CKorImgBase* d = nullptr);
  bool CheckSource24Bit(const CKorImgBase& src);
  bool CheckDest24Bit();
  bool CheckMinSize(int32_t minimum);
  bool CheckHasImageData();
  bool CheckSourceHasImageData(const CKorImgBase& src);
  bool CheckSameWidth(const CKorImgBase& first, const CKorImgBase* b = nullptr,
                      const CKorImgBase* c = nullptr, const CKorImgBase* d = nullptr);
  bool CheckSameHeight(const CKorImgBase& first, const CKorImgBase* b = nullptr,
                       const CKorImgBase* c = nullptr, const CKorImgBase* d = nullptr);

  // --- arithmetic (ops/arith) ---
  bool Add(const CPelora& src);
  bool AddConstant(uint32_t constant);
  bool Subtract(const CPelora& src);
  bool SubtractConstant(uint32_t constant);
  bool Multiply(const CPelora& src);
  bool MultiplyConstant(uint32_t constant);
  bool Divide(const CPelora& src);
  bool DivideConstant(uint32_t constant);
  bool Difference(const CPelora& first, const CPelora& second);
  bool DifferenceConstant(const CPelora& src, uint32_t constant);

  // --- logic, invert and scaling (ops/arith) ---
  bool And(const CPelora& src);
  bool AndConstant(uint32_t constant);
  bool Or(const CPelora& src);
  bool OrConstant(uint32_t constant);
  bool Xor(const CPelora& src);
  bool XorConstant(uint32_t constant);
  bool Invert();
  bool Scale(uint32_t count1, uint32_t count2, uint32_t count3, uint32_t direction);
  bool HDRScaleDown(const CPelora& src);

  // --- fill, copy, crop and borders (ops/regions) ---
  // Rectangles are inclusive corners (left, top, right, bottom) in either order.
  bool Fill(uint32_t value);
  bool Copy(const CPelora& src);
  bool CopyWithMask(const CPelora& src, const CPelora& mask);
  bool Crop(const CPelora& src, int32_t left, int32_t top, int32_t right, int32_t bottom);
  bool CropTo(const CPelora& src, int32_t left, int32_t top, int32_t right, int32_t bottom,
              int32_t column, int32_t row);
  // CropTo without emptying the error text first, for operations that copy a
  // part of an image as one of their steps (the filters' margins): the
  // rectangle of src goes to this image with its top-left corner at (column,
  // row); the rest of this image is untouched. src may be this object, with
  // the rectangles overlapping. Fails with CropTo's messages: a rectangle
  // outside src or outside this image, different formats, a format other
  // than 8 or 24.
  bool CopyRectTo(const CPelora& src, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  int32_t column, int32_t row);
  bool CopyWithConstBorder(const CPelora& src, int32_t left, int32_t top, uint32_t value);
  bool CopyWithReplicateBorder(const CPelora& src, int32_t left, int32_t top);
  // --- channel split, combine and swap (ops/regions) ---
  // Byte c of every pixel of this image (format 24; 32 for the RGBA forms)
  // into channel image kc, or channel image kc into byte c. The channel
  // images are format 8 and of this image's size.
  bool SplitChannels(CPelora& k0, CPelora& k1, CPelora& k2);
  bool SplitChannelsRGBA(CPelora& k0, CPelora& k1, CPelora& k2, CPelora& k3);
  bool FromChannels(const CPelora& k0, const CPelora& k1, const CPelora& k2);
  bool FromChannelsRGBA(const CPelora& k0, const CPelora& k1, const CPelora& k2,
                        const CPelora& k3);
  // Byte i of every pixel of this image (format 24 or 32) := byte order[i] of
  // the source's pixel, i = 0..2; count must be 3 and the entries 0..2, not
  // necessarily distinct. Byte 3 of a 32-bit pixel keeps its value. The
  // source may be this image.
  bool SwapChannels(const CPelora& src, const int32_t* order, int32_t count);

  // --- alpha (ops/regions) ---
  bool AlphaPremultiply();
  bool AlphaPremultiplyWithConstant(uint32_t alpha);
  bool AlphaOverlay(const CPelora& a, const CPelora& b, int32_t type);
  bool AlphaOverlayWithConstant(const CPelora& a, uint32_t alphaA, const CPelora& b, uint32_t alphaB,
                                int32_t type);
  bool ApplyAlphaChannelConstant(uint32_t alpha);
  bool ApplyAlphaChannel(const CPelora& alpha);

  // --- flood fill (ops/regions) ---
  // Paints the region around (x, y) of this 8-bit image with the low byte of
  // newValue: pixels equal to the seed's value when both tolerances are 0,
  // otherwise neighbours within the tolerances' low bytes of a member;
  // connectivity 0 joins diagonal neighbours, any other value does not.
  bool FloodFill(int32_t x, int32_t y, int32_t newValue, int32_t lowerTolerance,
                 int32_t upperTolerance, int32_t connectivity);

  // --- colour conversions and red/blue swaps (ops/colour) ---
  // Both name the inversion of this image (formats 1, 8 and 24).
  bool RGBtoCMY();
  bool CMYtoRGB();
  // This image := the source converted, pixel by pixel, between RGB and
  // YUV, CIE XYZ or photo YCC (format 24, both of one size). Byte 0 of a
  // pixel is R, Y or X, byte 1 G, U, Y or C1, byte 2 B, V, Z or C2. The
  // source may be this image.
  bool RGBtoYUV(const CPelora& src);
  bool YUVtoRGB(const CPelora& src);
  bool RGBtoXYZ(const CPelora& src);
  bool XYZtoRGB(const CPelora& src);
  bool RGBtoYCC(const CPelora& src);
  bool YCCtoRGB(const CPelora& src);
  // Host buffers, not this image: min(srcStep, dstStep) bytes of each of
  // height rows copied (row i to row height - 1 - i when flip is non-zero),
  // then bytes 0 and 2 of width pixels of 3 (4) bytes swapped in each
  // destination row. This object only keeps the error text.
  bool RGBtoBGR(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, int32_t width,
                int32_t height, int32_t flip);
  bool RGBAtoBGRA(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                  int32_t width, int32_t height, int32_t flip);

  // --- gray, black-and-white and gamma (ops/colour) ---
  // This 8-bit image := the gray of a 24-bit source, or 0 and 255 for the
  // clear and set bits of a 1-bit source.
  bool Grayscale8Bit(const CPelora& src);
  // This 24-bit image := the same gray in all three bytes of every pixel.
  bool Grayscale(const CPelora& src);
  // This 1-bit image := an 8-bit source, or the gray of a 24-bit one, reduced
  // to bits by error diffusion with the threshold's low byte; a 1-bit source
  // is copied. Bits past the width in a row's last byte keep their values.
  bool ConvertTo1Bit(const CPelora& src, uint32_t threshold);

  // --- look-up tables and thresholds (ops/colour) ---
  // Gamma correction of this 24-bit image in place: the forward curve for an
  // inverse flag of 0, the inverse curve for any other flag.
  bool GammaCorrection(int32_t inverse);
  // this (8-bit) := source mapped through the curve of count points
  // (levels[k], values[k]); mode 0 step, 1 linear, 2 cubic.
  bool LookUpTable8Bit(const CPelora& src, const int32_t* values, const int32_t* levels,
                       int32_t count, int32_t mode);
  // this (24-bit) := source with byte c of every pixel mapped through curve c.
  bool LookUpTable(const CPelora& src, const int32_t* levels0, const int32_t* values0,
                   int32_t count0, const int32_t* levels1, const int32_t* values1, int32_t count1,
                   const int32_t* levels2, const int32_t* values2, int32_t count2, int32_t mode);
  // In place on this 8- or 24-bit image, one byte of the arguments per byte
  // position (the lowest for 8 bits): p > t -> t, p < t -> t, p > t -> v,
  // p < t -> v, and both sides at once (upper tested first).
  bool ThresholdGT(int32_t threshold);
  bool ThresholdLT(int32_t threshold);
  bool ThresholdGTVal(int32_t threshold, int32_t value);
  bool ThresholdLTVal(int32_t threshold, int32_t value);
  bool ThresholdLTValGTVal(int32_t lowerThreshold, int32_t lowerValue, int32_t upperThreshold,
                           int32_t upperValue);

  // --- morphology (ops/neighbourhood) ---
  // In place on this 8- or 24-bit image, at least 3 x 3: each sample of the
  // inner region := min (Erode) or max (Dilate) of its 3x3 neighbourhood in
  // the image as it was; the one-pixel margin keeps its pixels.
  bool Erode();
  bool Dilate();
  // As above over the nonzero cells of a maskWidth x maskHeight byte mask
  // (row-major, not mirrored) with its centre over the sample; the image must
  // be at least max(maskWidth, maskHeight) wide and high.
  bool ErodeEx(const uint8_t* mask, int32_t maskWidth, int32_t maskHeight);
  bool DilateEx(const uint8_t* mask, int32_t maskWidth, int32_t maskHeight);

  // --- filters (ops/neighbourhood) ---
  // this := built-in filter `number` of src (same size and format, 8 or 24)
  // over the region the window fits; the margins are src's pixels. src may be
  // this object.
  bool Filter(int32_t number, const CPelora& src);

  // --- user-defined filter, antialias and scale-to-gray (ops/neighbourhood) ---
  // this := src convolved with the width x height kernel (row by row) turned
  // about its anchor cell and divided by divisor; same size and format, 8 or
  // 24. The region is where every window lies inside src; the rest of the
  // image is src's pixels. src may be this object.
  bool FilterUserDefined(const CPelora& src, const int32_t* kernel, int32_t width, int32_t height,
                         int32_t anchorColumn, int32_t anchorRow, int32_t divisor);
  // The user-defined filter with the 3x3 kernel 1 2 1 / 2 8 2 / 1 2 1 over 20.
  bool Antialias(const CPelora& src);
  // this (8-bit) := the black-and-white src expanded to 0 and 255 and
  // antialiased; mode 0 keeps black pixels black. A src that is not 1-bit
  // gets the failure text itself.
  bool ScaleToGray(CPelora& src, int32_t mode);

  // --- resize (ops/geometry) ---
  // this := src (same format, 1, 8 or 24) scaled by width / src width and
  // height / src height with interpolation mode 0..4; the written region is
  // this image's own size (pixels beyond width x height keep their values).
  // A 1-bit image goes through 8 bits and must be exactly width x height.
  bool Resize(const CPelora& src, int32_t width, int32_t height, int32_t mode);

  // --- mirror (ops/geometry) ---
  // This 8- or 24-bit image reversed in place: axis 1 the pixels of every row
  // (left becomes right), axis 0 the rows (top becomes bottom). An image one
  // pixel wide (axis 1) or high (axis 0) is refused and left as it was.
  bool Mirror(int32_t axis);

  // --- rotation, shear and perspective warp (ops/geometry) ---
  // This 8- or 24-bit image (Rotate: 1-bit too) := the source turned by the
  // angle in degrees (clockwise on screen for a positive angle) and moved so
  // that its bounding box starts at (0, 0). Modes 0-3, and 5, which only the
  // exact turns by right angles take. Pixels outside the turned source keep
  // their values; a 1-bit result is one pixel narrower and lower than the box.
  bool Rotate(const CPelora& src, double angle, int32_t mode);
  // As Rotate, about the source pixel (xCentre, yCentre), which stays put.
  bool RotateCenter(const CPelora& src, double angle, int32_t xCentre, int32_t yCentre,
                    int32_t mode);
  // This 8- or 24-bit image := the source sheared (x' = x + xShear y,
  // y' = yShear x + y) and moved so that its bounding box starts at (0, 0).
  // Modes 0-3.
  bool Shear(const CPelora& src, double xShear, double yShear, int32_t mode);
  // This 8- or 24-bit image := the source through the projective transform
  // of the nine coefficients (row by row), unshifted. Modes 0-3.
  bool WarpPerspective(const CPelora& src, const double (&coeffs)[9], int32_t mode);


  // Where the source's corner pixels land, as the smallest and largest x and
  // y: rotated by the angle in degrees (turning clockwise on screen), or
  // sheared by x' = x + xShear y, y' = yShear x + y. The four values are
  // written also when the query fails, unless an out pointer is null; a
  // degenerate shear fails with the box filled.
  bool RotateBox(const CPelora& src, double angle, double* x0, double* y0, double* x1, double* y1);
  bool ShearBox(const CPelora& src, double xShear, double yShear, double* x0, double* y0,
                double* x1, double* y1);
  // The nine coefficients (row by row) of the projective transform that
  // carries the source's corner pixels, top-left, top-right, bottom-right,
  // bottom-left, to the quadrangle's eight values x0, y0 .. x3, y3; coeffs is
  // written only on success.
  bool WarpPerspectiveCoefficients(const CPelora& src, const double* quad, double* coeffs);
  // The box of the source's corner pixels mapped by the nine coefficients,
  // written as RotateBox writes its box.
  bool WarpPerspectiveBox(const CPelora& src, const double* coeffs, double* x0, double* y0,
                          double* x1, double* y1);

 private:
  int32_t scaleFactor_ = 0;
  std::string versionText_;
  std::string processorDetectedText_;
  std::string processorCodeUsedText_;
  std::string processorDetailsText_;
  uint32_t colourValue_ = kInitialColourValue;
  std::string returnedText_;
};

}  // namespace klem
