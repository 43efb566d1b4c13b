/*
 * klem: image processing for host applications, through a flat C interface.
 *
 * Every function returns a 32-bit status word:
 *   KLEM_OK (0)                 success;
 *   KLEM_FAILED (1)             the operation failed; KLEM_GetError tells why;
 *   KLEM_INVALID_ARG (0x80070057) the handle (or a required out pointer) was null;
 *                               nothing was done and no error text was stored.
 * A handle is an image and a processing object at once: create it with
 * KLEM_CreateCKorPelora, give it pixels with KLEM_Create or one of the attach
 * functions, run operations on it, and free it with KLEM_FreeCKorPelora.
 * A handle must not be used from two threads at once; different handles are
 * independent.
 *
 * Colour formats are named by their bits-per-pixel code: 1 (packed black and
 * white, 8 pixels per byte), 8, 9 (as 8, attached memory only), 16 (one 16-bit
 * sample), 24 (three bytes), 25 (three bytes with a host row length, attached
 * memory only), 32 (four bytes), 48 (three 16-bit samples). Rows are packed,
 * top row first, at the start of the pixel memory.
 */
#ifndef KLEM_KLEM_H
#define KLEM_KLEM_H

#include <stdint.h>

/* On Windows the module-definition file names the exports and their ordinals. */
#if defined(KLEM_BUILDING_LIBRARY) && !defined(_WIN32)
#define KLEM_API __attribute__((visibility("default")))
#else
#define KLEM_API
#endif

/* 32-bit Windows hosts call the library with the stdcall convention; every
 * other target has a single convention. */
#if defined(_WIN32) && !defined(_WIN64)
#define KLEM_CALL __stdcall
#else
#define KLEM_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define KLEM_OK 0u
#define KLEM_FAILED 1u
#define KLEM_INVALID_ARG 0x80070057u

/* Size of the buffer that KLEM_GetError fills; longer error texts are cut. */
#define KLEM_ERROR_BUFFER_SIZE 1024

typedef struct KLEM_Object_* KLEM_HANDLE;

/* --- objects, error text, versions -------------------------------------- */

/* A new, empty object; null when none can be made. */
KLEM_API KLEM_HANDLE KLEM_CALL KLEM_CreateCKorPelora(void);
/* Destroys the object and the pixel memory it owns (attached memory stays the host's). */
KLEM_API uint32_t KLEM_CALL KLEM_FreeCKorPelora(KLEM_HANDLE handle);
/* Copies the error text, cut to 1023 characters, and its terminating zero into
 * buffer, which must hold KLEM_ERROR_BUFFER_SIZE bytes. */
KLEM_API uint32_t KLEM_CALL KLEM_GetError(KLEM_HANDLE handle, char* buffer);
/* Stores text as the error text, cut to 1023 characters; a null text stores
 * the empty text. */
KLEM_API uint32_t KLEM_CALL KLEM_SetError(KLEM_HANDLE handle, const char* text);
/* The texts below stay valid until the next text-returning call on the handle. */
KLEM_API uint32_t KLEM_CALL KLEM_GetVersion(KLEM_HANDLE handle, const char** textOut);
KLEM_API uint32_t KLEM_CALL KLEM_GetProcessorDetected(KLEM_HANDLE handle, const char** textOut);
KLEM_API uint32_t KLEM_CALL KLEM_GetProcessorCodeUsed(KLEM_HANDLE handle, const char** textOut);
/* Measures the processor clock: takes two to three seconds. */
KLEM_API uint32_t KLEM_CALL KLEM_GetProcessorDetails(KLEM_HANDLE handle, const char** textOut);
/* Integer kernels return exact result * 2^-scaleFactor, rounded to nearest
 * (ties to even) and saturated. 0 for a new object; kept through KLEM_Clear. */
KLEM_API uint32_t KLEM_CALL KLEM_GetScaleFactor(KLEM_HANDLE handle, int32_t* valueOut);
KLEM_API uint32_t KLEM_CALL KLEM_SetScaleFactor(KLEM_HANDLE handle, int32_t value);

/* --- image memory and geometry ------------------------------------------ */

/* Allocates a zero-filled image of format 1, 8, 16, 24, 32 or 48. When the
 * memory can't be had the image becomes 1 x 1 and the call fails; a call that
 * fails otherwise leaves the image as it was, or empty when not even 1 x 1
 * pixel could be had. */
KLEM_API uint32_t KLEM_CALL KLEM_Create(KLEM_HANDLE handle, int32_t width, int32_t height,
                                        uint32_t bitsPerPixel);
/* Borrows the host's memory (never freed by the library; it must outlive the
 * attachment). sizeInBytes must be exactly the size the image needs. */
KLEM_API uint32_t KLEM_CALL KLEM_AttachNoFree(KLEM_HANDLE handle, void* memory, uint32_t sizeInBytes,
                                              int32_t width, int32_t height, uint32_t bitsPerPixel);
/* As KLEM_AttachNoFree; widthInBytes is the row length of format 25 and is
 * ignored for the other formats. */
KLEM_API uint32_t KLEM_CALL KLEM_AttachNoFreeEx(KLEM_HANDLE handle, void* memory, uint32_t sizeInBytes,
                                                int32_t width, int32_t height, int32_t widthInBytes,
                                                uint32_t bitsPerPixel);
/* Makes the image empty (owned memory is released, attached memory forgotten). */
KLEM_API uint32_t KLEM_CALL KLEM_Clear(KLEM_HANDLE handle);
KLEM_API uint32_t KLEM_CALL KLEM_GetWidth(KLEM_HANDLE handle, int32_t* valueOut);
KLEM_API uint32_t KLEM_CALL KLEM_GetHeight(KLEM_HANDLE handle, int32_t* valueOut);
KLEM_API uint32_t KLEM_CALL KLEM_GetBitsPerPixel(KLEM_HANDLE handle, uint32_t* valueOut);
KLEM_API uint32_t KLEM_CALL KLEM_GetWidthBytes(KLEM_HANDLE handle, int32_t* valueOut);
/* Null for an empty image. */
KLEM_API uint32_t KLEM_CALL KLEM_GetImageMemory(KLEM_HANDLE handle, void** memoryOut);
KLEM_API uint32_t KLEM_CALL KLEM_GetImageSizeInBytes(KLEM_HANDLE handle, uint32_t* valueOut);

/* --- arithmetic (formats 8 and 24; a 24-bit image is three 8-bit channels) -
 * The in-place forms compute this := this op source (or constant), scale the
 * exact integer result by 2^-scaleFactor with rounding to nearest, ties to
 * even, and saturate to 0..255. For format 24 a constant packs one value per
 * channel: bits 0-7 for the first byte of every pixel, 8-15 the second,
 * 16-23 the third. A null source handle fails with result 1. */
KLEM_API uint32_t KLEM_CALL KLEM_Add(KLEM_HANDLE handle, KLEM_HANDLE source);
KLEM_API uint32_t KLEM_CALL KLEM_AddConstant(KLEM_HANDLE handle, uint32_t constant);
/* Differences below 0 give 0. */
KLEM_API uint32_t KLEM_CALL KLEM_Subtract(KLEM_HANDLE handle, KLEM_HANDLE source);
KLEM_API uint32_t KLEM_CALL KLEM_SubtractConstant(KLEM_HANDLE handle, uint32_t constant);
KLEM_API uint32_t KLEM_CALL KLEM_Multiply(KLEM_HANDLE handle, KLEM_HANDLE source);
KLEM_API uint32_t KLEM_CALL KLEM_MultiplyConstant(KLEM_HANDLE handle, uint32_t constant);
/* A zero sample of the source gives 255 (0 for a zero dividend); the whole
 * result is written, and the call returns 1 with a division-by-zero warning. */
KLEM_API uint32_t KLEM_CALL KLEM_Divide(KLEM_HANDLE handle, KLEM_HANDLE source);
/* A zero constant (any of the three bytes for format 24) fails, image unchanged. */
KLEM_API uint32_t KLEM_CALL KLEM_DivideConstant(KLEM_HANDLE handle, uint32_t constant);
/* this := |first - second|, not scaled. */
KLEM_API uint32_t KLEM_CALL KLEM_Difference(KLEM_HANDLE handle, KLEM_HANDLE first, KLEM_HANDLE second);
/* this := |source - c| with c the lowest byte of constant, for every channel. */
KLEM_API uint32_t KLEM_CALL KLEM_DifferenceConstant(KLEM_HANDLE handle, KLEM_HANDLE source,
                                                    uint32_t constant);

/* --- logic, invert and scaling (no scale factor) --------------------------- */
KLEM_API uint32_t KLEM_CALL KLEM_And(KLEM_HANDLE handle, KLEM_HANDLE source);
KLEM_API uint32_t KLEM_CALL KLEM_AndConstant(KLEM_HANDLE handle, uint32_t constant);
KLEM_API uint32_t KLEM_CALL KLEM_Or(KLEM_HANDLE handle, KLEM_HANDLE source);
KLEM_API uint32_t KLEM_CALL KLEM_OrConstant(KLEM_HANDLE handle, uint32_t constant);
KLEM_API uint32_t KLEM_CALL KLEM_Xor(KLEM_HANDLE handle, KLEM_HANDLE source);
KLEM_API uint32_t KLEM_CALL KLEM_XorConstant(KLEM_HANDLE handle, uint32_t constant);
/* Every byte b becomes 255 - b (formats 1, 8, 24; format 1 inverts whole bytes). */
KLEM_API uint32_t KLEM_CALL KLEM_Invert(KLEM_HANDLE handle);
/* Shifts every sample right (direction 0) or left (otherwise) by its channel's
 * count (formats 8, 16: count1; 24, 48: count1..count3). Left shifts keep the
 * low bits; counts past the sample width give 0. */
KLEM_API uint32_t KLEM_CALL KLEM_Scale(KLEM_HANDLE handle, uint32_t count1, uint32_t count2,
                                       uint32_t count3, uint32_t direction);
/* this (8 or 24 bits) := source (16 or 48 bits) reduced to 8 bits per sample:
 * (v - (v >> 8) + 128) >> 8. */
KLEM_API uint32_t KLEM_CALL KLEM_HDRScaleDown(KLEM_HANDLE handle, KLEM_HANDLE source);

/* --- fill, copy, crop and borders (formats 8 and 24 unless told) ----------
 * Rectangles are inclusive corners left, top, right, bottom, in either
 * order. Sources and masks are only read; a null source or mask handle fails
 * with result 1. A failed call leaves the image as it was. */
/* Every pixel := value: format 8 its lowest byte, 24 bytes 0-2 and 32 bytes
 * 0-3 in memory order; format 1 writes the lowest byte to every byte. */
KLEM_API uint32_t KLEM_CALL KLEM_Fill(KLEM_HANDLE handle, uint32_t value);
/* The top-left part of the source, of this image's size; a source narrower
 * or lower than this image fails. Same format. */
KLEM_API uint32_t KLEM_CALL KLEM_Copy(KLEM_HANDLE handle, KLEM_HANDLE source);
/* As KLEM_Copy, only the pixels whose byte in the mask (format 8, this
 * image's size) is nonzero; the others stay. */
KLEM_API uint32_t KLEM_CALL KLEM_CopyWithMask(KLEM_HANDLE handle, KLEM_HANDLE source, KLEM_HANDLE mask);
/* This image := the rectangle of the source; it must have the rectangle's size. */
KLEM_API uint32_t KLEM_CALL KLEM_Crop(KLEM_HANDLE handle, KLEM_HANDLE source, int32_t left, int32_t top,
                                      int32_t right, int32_t bottom);
/* The rectangle of the source into this image with its top-left corner at
 * (column, row); it must fit there. The rest of the image stays. The source
 * may be this image, the rectangles overlapping. */
KLEM_API uint32_t KLEM_CALL KLEM_CropTo(KLEM_HANDLE handle, KLEM_HANDLE source, int32_t left, int32_t top,
                                        int32_t right, int32_t bottom, int32_t column, int32_t row);
/* The source at (left, top) of this image, which must be at least that much
 * larger; every other pixel := value (packed as for KLEM_Fill). Negative
 * borders fail. */
KLEM_API uint32_t KLEM_CALL KLEM_CopyWithConstBorder(KLEM_HANDLE handle, KLEM_HANDLE source, int32_t left,
                                                     int32_t top, uint32_t value);
/* As KLEM_CopyWithConstBorder, every other pixel taking the value of the
 * nearest source pixel. */
KLEM_API uint32_t KLEM_CALL KLEM_CopyWithReplicateBorder(KLEM_HANDLE handle, KLEM_HANDLE source, int32_t left,
                                                         int32_t top);

/* --- channels: split, combine and swap ------------------------------------ */
/* Byte c of every pixel of handle (format 24) into channel image c (format 8,
 * handle's size), c = 0..2. */
KLEM_API uint32_t KLEM_CALL KLEM_SplitChannels(KLEM_HANDLE handle, KLEM_HANDLE channel0, KLEM_HANDLE channel1,
                                               KLEM_HANDLE channel2);
/* Byte c of every pixel of handle (format 24) := channel image c (format 8,
 * handle's size), c = 0..2. */
KLEM_API uint32_t KLEM_CALL KLEM_FromChannels(KLEM_HANDLE handle, KLEM_HANDLE channel0, KLEM_HANDLE channel1,
                                              KLEM_HANDLE channel2);
/* As KLEM_SplitChannels for format 32 and four channel images. */
KLEM_API uint32_t KLEM_CALL KLEM_SplitChannelsRGBA(KLEM_HANDLE handle, KLEM_HANDLE channel0,
                                                   KLEM_HANDLE channel1, KLEM_HANDLE channel2,
                                                   KLEM_HANDLE channel3);
/* As KLEM_FromChannels for format 32 and four channel images. */
KLEM_API uint32_t KLEM_CALL KLEM_FromChannelsRGBA(KLEM_HANDLE handle, KLEM_HANDLE channel0,
                                                  KLEM_HANDLE channel1, KLEM_HANDLE channel2,
                                                  KLEM_HANDLE channel3);
/* Byte i of every pixel of handle := byte order[i] of the same pixel of source
 * (same size and format, 24 or 32), i = 0..2. count must be 3 and every entry
 * 0..2; entries may repeat. In format 32 handle's fourth bytes keep their
 * values. source may be handle itself. */
KLEM_API uint32_t KLEM_CALL KLEM_SwapChannels(KLEM_HANDLE handle, KLEM_HANDLE source, const int32_t* order,
                                              int32_t count);

/* --- alpha (byte 3 of a 32-bit pixel; 0 transparent, 255 opaque) ----------
 * mul(x, y) = (t + (t >> 8) + 1) >> 8 with t = x * y, about x * y / 255.
 * Alphas count by their low byte. A null source or alpha handle fails with
 * result 1. */
/* Colour bytes := mul(colour, alpha) of every pixel (format 32); alpha kept. */
KLEM_API uint32_t KLEM_CALL KLEM_AlphaPremultiply(KLEM_HANDLE handle);
/* Every colour byte := mul(byte, alpha) (formats 8, 24, 32); on format 32
 * every alpha byte becomes alpha. */
KLEM_API uint32_t KLEM_CALL KLEM_AlphaPremultiplyWithConstant(KLEM_HANDLE handle, uint32_t alpha);
/* this := A composed with B (format 32, alphas from byte 3) by type: 0 over,
 * 1 in, 2 out, 3 atop, 4 xor, 5 plus on straight colour (the result is
 * premultiplied), 6..11 the same on premultiplied colour; another type fails.
 * The handle may be A or B itself. */
KLEM_API uint32_t KLEM_CALL KLEM_AlphaOverlay(KLEM_HANDLE handle, KLEM_HANDLE sourceA, KLEM_HANDLE sourceB,
                                              int32_t type);
/* The colour of the same compositions with constant alphas (formats 8, 24,
 * 32); byte 3 of a 32-bit image is not written. */
KLEM_API uint32_t KLEM_CALL KLEM_AlphaOverlayWithConstant(KLEM_HANDLE handle, KLEM_HANDLE sourceA,
                                                          uint32_t alphaA, KLEM_HANDLE sourceB,
                                                          uint32_t alphaB, int32_t type);
/* Byte 3 of every pixel := alpha (format 32). */
KLEM_API uint32_t KLEM_CALL KLEM_ApplyAlphaChannelConstant(KLEM_HANDLE handle, uint32_t alpha);
/* Byte 3 of every pixel := the 8-bit alpha image's pixel at the same place (format 32). */
KLEM_API uint32_t KLEM_CALL KLEM_ApplyAlphaChannel(KLEM_HANDLE handle, KLEM_HANDLE alpha);

/* --- flood fill (format 8) ------------------------------------------------ */
/* Paints the connected region around the seed (x, y) with the low byte of
 * newValue, in place. With both tolerances 0 the region is the pixels equal to
 * the seed's value; otherwise a neighbour q of a member p joins when
 * p - lower <= q <= p + upper (the tolerances' low bytes, values before the
 * fill), so the region can follow gradual changes. connectivity 0: 8
 * neighbours (diagonals connect); any other value: 4 neighbours. A seed
 * outside the image fails. */
KLEM_API uint32_t KLEM_CALL KLEM_FloodFill(KLEM_HANDLE handle, int32_t x, int32_t y, int32_t newValue,
                                           int32_t lowerTolerance, int32_t upperTolerance,
                                           int32_t connectivity);

/* --- colour conversions and red/blue swaps (format 24) -------------------- */
/* Both invert handle's image as KLEM_Invert does. */
KLEM_API uint32_t KLEM_CALL KLEM_RGBtoCMY(KLEM_HANDLE handle);
KLEM_API uint32_t KLEM_CALL KLEM_CMYtoRGB(KLEM_HANDLE handle);
/* handle's image := source converted (same size, format 24); source may be
 * handle. Byte 0 of a pixel holds R, Y or X, byte 1 G, U, Y or C1, byte 2 B,
 * V, Z or C2: a host holding B, G, R swaps first with KLEM_RGBtoBGR. */
KLEM_API uint32_t KLEM_CALL KLEM_RGBtoYUV(KLEM_HANDLE handle, KLEM_HANDLE source);
KLEM_API uint32_t KLEM_CALL KLEM_YUVtoRGB(KLEM_HANDLE handle, KLEM_HANDLE source);
KLEM_API uint32_t KLEM_CALL KLEM_RGBtoXYZ(KLEM_HANDLE handle, KLEM_HANDLE source);
KLEM_API uint32_t KLEM_CALL KLEM_XYZtoRGB(KLEM_HANDLE handle, KLEM_HANDLE source);
KLEM_API uint32_t KLEM_CALL KLEM_RGBtoYCC(KLEM_HANDLE handle, KLEM_HANDLE source);
KLEM_API uint32_t KLEM_CALL KLEM_YCCtoRGB(KLEM_HANDLE handle, KLEM_HANDLE source);
/* Host buffers (handle keeps only the error text): min(sourceStep,
 * destStep) bytes of each of height rows copied, to row height - 1 - i when
 * flip is non-zero, then bytes 0 and 2 of width pixels of 3 bytes (4 for
 * RGBA, byte 3 untouched) swapped in every destination row. Null buffers and
 * a destStep below width pixels are refused before anything is copied. */
KLEM_API uint32_t KLEM_CALL KLEM_RGBtoBGR(KLEM_HANDLE handle, const uint8_t* source, int32_t sourceStep,
                                          uint8_t* dest, int32_t destStep, int32_t width, int32_t height,
                                          int32_t flip);
KLEM_API uint32_t KLEM_CALL KLEM_RGBAtoBGRA(KLEM_HANDLE handle, const uint8_t* source, int32_t sourceStep,
                                            uint8_t* dest, int32_t destStep, int32_t width, int32_t height,
                                            int32_t flip);

/* --- gray, black-and-white and gamma -------------------------------------- */
/* handle (format 8) := the gray (1225 b0 + 2404 b1 + 467 b2) >> 12 of every
 * pixel of source (format 24, bytes b0..b2), or 0 and 255 for the clear and
 * set bits of source (format 1). Sizes must be equal. */
KLEM_API uint32_t KLEM_CALL KLEM_Grayscale8Bit(KLEM_HANDLE handle, KLEM_HANDLE source);
/* As KLEM_Grayscale8Bit into all three bytes of every pixel of handle (format 24). */
KLEM_API uint32_t KLEM_CALL KLEM_Grayscale(KLEM_HANDLE handle, KLEM_HANDLE source);
/* handle (format 1) := source (format 8, or the gray of format 24) reduced to
 * bits by error diffusion along each row with the low byte of threshold: a
 * pixel is set when its sample plus the diffused error exceeds it. A source
 * of format 1 is copied. Bits past the width in a row's last byte keep their
 * values. */
KLEM_API uint32_t KLEM_CALL KLEM_ConvertTo1Bit(KLEM_HANDLE handle, KLEM_HANDLE source, uint32_t threshold);

/* --- look-up tables and thresholds (formats 8 and 24) --------------------- */
/* Gamma correction of this 24-bit image in place, every byte alike: the
 * forward curve for inverse 0, the inverse curve otherwise. */
KLEM_API uint32_t KLEM_CALL KLEM_GammaCorrection(KLEM_HANDLE handle, int32_t inverse);
/* this (8 bits) := source (8 bits) through the curve of count points
 * (levels[k], values[k]), count at least 2; mode 0 step, 1 linear, 2 cubic.
 * Inputs below the first level and from the last level on stay unchanged.
 * Note the order: values before levels. */
KLEM_API uint32_t KLEM_CALL KLEM_LookUpTable8Bit(KLEM_HANDLE handle, KLEM_HANDLE source,
                                                 const int32_t* values, const int32_t* levels,
                                                 int32_t count, int32_t mode);
/* this (24 bits) := source (24 bits) with byte c of every pixel through curve
 * c, each given as levels, values, count (levels before values); mode as above. */
KLEM_API uint32_t KLEM_CALL KLEM_LookUpTable(KLEM_HANDLE handle, KLEM_HANDLE source,
                                             const int32_t* levels0, const int32_t* values0, int32_t count0,
                                             const int32_t* levels1, const int32_t* values1, int32_t count1,
                                             const int32_t* levels2, const int32_t* values2, int32_t count2,
                                             int32_t mode);
/* In place, bytes compared as unsigned, one byte of each argument per byte
 * position (bits 0-7, 8-15, 16-23; the lowest byte for 8 bits):
 * p > threshold -> threshold. */
KLEM_API uint32_t KLEM_CALL KLEM_ThresholdGT(KLEM_HANDLE handle, int32_t threshold);
/* p < threshold -> threshold. */
KLEM_API uint32_t KLEM_CALL KLEM_ThresholdLT(KLEM_HANDLE handle, int32_t threshold);
/* p > threshold -> value. */
KLEM_API uint32_t KLEM_CALL KLEM_ThresholdGTVal(KLEM_HANDLE handle, int32_t threshold, int32_t value);
/* p < threshold -> value. */
KLEM_API uint32_t KLEM_CALL KLEM_ThresholdLTVal(KLEM_HANDLE handle, int32_t threshold, int32_t value);
/* p > upper -> upperValue, else p < lower -> lowerValue; an upper threshold
 * below the lower one fails and leaves the image as it was. */
KLEM_API uint32_t KLEM_CALL KLEM_ThresholdLTValGTVal(KLEM_HANDLE handle, int32_t lowerThreshold,
                                                     int32_t lowerValue, int32_t upperThreshold,
                                                     int32_t upperValue);


/* --- morphology (formats 8 and 24, in place) ----------------------------- */
/* Each sample of the inner region (all but a one-pixel margin) := the minimum
 * of its 3x3 neighbourhood in the image as it was; the image must be at least
 * 3 x 3. */
KLEM_API uint32_t KLEM_CALL KLEM_Erode(KLEM_HANDLE handle);
/* As KLEM_Erode with the maximum. */
KLEM_API uint32_t KLEM_CALL KLEM_Dilate(KLEM_HANDLE handle);
/* As KLEM_Erode over the neighbours whose byte in mask (maskWidth x
 * maskHeight bytes, row-major, not mirrored) is nonzero, the mask's centre
 * (maskWidth / 2, maskHeight / 2) over the sample; the margins are
 * maskWidth / 2 columns and maskHeight / 2 rows, the image at least
 * max(maskWidth, maskHeight) wide and high. */
KLEM_API uint32_t KLEM_CALL KLEM_ErodeEx(KLEM_HANDLE handle, const uint8_t* mask, int32_t maskWidth,
                                         int32_t maskHeight);
/* As KLEM_ErodeEx with the maximum. */
KLEM_API uint32_t KLEM_CALL KLEM_DilateEx(KLEM_HANDLE handle, const uint8_t* mask, int32_t maskWidth,
                                          int32_t maskHeight);

/* --- filters (formats 8 and 24) -------------------------------------------- */
/* handle := built-in filter `number` (1 to 27, or -1 for none) of source, of
 * the same size and format, over the inner region where the window fits; the
 * margins outside it are source's pixels. source may be handle. */
KLEM_API uint32_t KLEM_CALL KLEM_Filter(KLEM_HANDLE handle, int32_t number, KLEM_HANDLE source);
/* The region a centred kernel computes: *offset bytes from the start of the
 * image memory, *width x *height pixels. Nothing is validated; null pointers
 * are refused with KLEM_INVALID_ARG. */
KLEM_API uint32_t KLEM_CALL KLEM_GetRoiForFilter(KLEM_HANDLE handle, int32_t kernelWidth, int32_t kernelHeight,
                                                 int32_t* offset, int32_t* width, int32_t* height);
/* As KLEM_GetRoiForFilter for a kernel whose anchor cell is (anchorColumn,
 * anchorRow): the region starts at the anchor and is W - kernelWidth + 1 by
 * H - kernelHeight + 1. */
KLEM_API uint32_t KLEM_CALL KLEM_GetRoiForFilterEx(KLEM_HANDLE handle, int32_t kernelWidth, int32_t kernelHeight,
                                                   int32_t anchorColumn, int32_t anchorRow, int32_t* offset,
                                                   int32_t* width, int32_t* height);
/* Border columns and rows of a centred kernel: kernelWidth / 2, kernelHeight / 2. */
KLEM_API uint32_t KLEM_CALL KLEM_GetFilterBorder(KLEM_HANDLE handle, int32_t kernelWidth, int32_t kernelHeight,
                                                 int32_t* columns, int32_t* rows);
/* Border columns and rows of a kernel with an anchor: the anchor's column and row. */
KLEM_API uint32_t KLEM_CALL KLEM_GetFilterBorderEx(KLEM_HANDLE handle, int32_t kernelWidth, int32_t kernelHeight,
                                                   int32_t anchorColumn, int32_t anchorRow, int32_t* columns,
                                                   int32_t* rows);

/* --- user-defined filter, antialias and scale-to-gray ---------------------- */

/* handle := source convolved with kernel (width x height signed 32-bit
   coefficients, row by row), turned by 180 degrees about the anchor cell
   (anchorColumn, anchorRow), divided by divisor (1: none; a power of two:
   rounded half to even; other: in doubles, rounded half to even), clamped
   to 0..255. Same size and format, 8 or 24; the pixels the windows cannot
   reach are the source's. */
KLEM_API uint32_t KLEM_CALL KLEM_FilterUserDefined(KLEM_HANDLE handle, KLEM_HANDLE source, const int32_t* kernel,
                                                   int32_t kernelWidth, int32_t kernelHeight, int32_t anchorColumn,
                                                   int32_t anchorRow, int32_t divisor);
/* handle := source smoothed with the 3x3 kernel 1 2 1 / 2 8 2 / 1 2 1 over 20. */
KLEM_API uint32_t KLEM_CALL KLEM_Antialias(KLEM_HANDLE handle, KLEM_HANDLE source);
/* handle (8-bit) := the black-and-white source (1-bit, same size) as 0 and
   255, antialiased; mode 0 then keeps the source's black pixels at 0. */
KLEM_API uint32_t KLEM_CALL KLEM_ScaleToGray(KLEM_HANDLE handle, KLEM_HANDLE source, int32_t mode);

/* --- resize (formats 1, 8 and 24) --------------------------------------- */

/* handle := source (same format) scaled to width x height with mode 0 or 1
   (linear), 2 (cubic), 3 (nearest) or 4 (area average when neither side
   grows, otherwise linear). The handle's image is created beforehand; its own
   size is the region written. A 1-bit destination must be width x height. */
KLEM_API uint32_t KLEM_CALL KLEM_Resize(KLEM_HANDLE handle, KLEM_HANDLE source, int32_t width, int32_t height,
                                        int32_t mode);

/* --- mirror (formats 8 and 24, in place) ---------------------------------- */
/* Pixel c of every row exchanged with pixel width - 1 - c (left becomes
 * right); a 24-bit pixel keeps the order of its bytes. An image one pixel
 * wide fails and stays as it was. */
KLEM_API uint32_t KLEM_CALL KLEM_MirrorHorizontal(KLEM_HANDLE handle);
/* Row r exchanged with row height - 1 - r (top becomes bottom); an image one
 * pixel high fails and stays as it was. */
KLEM_API uint32_t KLEM_CALL KLEM_MirrorVertical(KLEM_HANDLE handle);

/* --- rotation, shear and perspective warp (formats 8 and 24; 1 for rotate) */

/* handle := source turned by angle degrees (clockwise on screen for a
   positive angle) and moved so that its bounding box starts at (0, 0); mode
   0 linear, 1 linear, 2 cubic, 3 nearest, 5 only for exact turns by 90, 180
   and 270 degrees. Same format; pixels outside the turned source keep their
   values. A 1-bit result is one pixel narrower and lower than the box. */
KLEM_API uint32_t KLEM_CALL KLEM_Rotate(KLEM_HANDLE handle, KLEM_HANDLE source, double angle, int32_t mode);
/* As KLEM_Rotate about source pixel (xCentre, yCentre), which stays in place;
   formats 8 and 24. */
KLEM_API uint32_t KLEM_CALL KLEM_RotateCenter(KLEM_HANDLE handle, KLEM_HANDLE source, double angle,
                                              int32_t xCentre, int32_t yCentre, int32_t mode);
/* handle := source sheared (x' = x + xShear y, y' = yShear x + y) and moved so
   that its bounding box starts at (0, 0); modes 0-3. */
KLEM_API uint32_t KLEM_CALL KLEM_Shear(KLEM_HANDLE handle, KLEM_HANDLE source, double xShear, double yShear,
                                       int32_t mode);
/* handle := source through the projective transform of coeffs (count 9, row
   by row: x' = (c0 x + c1 y + c2) / (c6 x + c7 y + c8), y' likewise with c3 ..
   c5); modes 0-3. A wrong count fails with the text on the source's object. */
KLEM_API uint32_t KLEM_CALL KLEM_WarpPerspective(KLEM_HANDLE handle, KLEM_HANDLE source, const double* coeffs,
                                                 int32_t count, int32_t mode);

/* The smallest and largest x and y of the source's corner pixels rotated by
 * angle degrees about (0, 0), clockwise on screen for a positive angle. The
 * four values are written also when the call fails (then meaningless); a
 * null out pointer fails the call and nothing is written. */
KLEM_API uint32_t KLEM_CALL KLEM_RotateBox(KLEM_HANDLE handle, KLEM_HANDLE source, double angle, double* x0,
                                           double* y0, double* x1, double* y1);
/* As KLEM_RotateBox for the shear x' = x + xShear y, y' = yShear x + y; a
 * shear that flattens the image onto a line (xShear yShear = 1) fails with
 * the box filled. */
KLEM_API uint32_t KLEM_CALL KLEM_ShearBox(KLEM_HANDLE handle, KLEM_HANDLE source, double xShear, double yShear,
                                          double* x0, double* y0, double* x1, double* y1);
/* The nine coefficients c0 .. c8 (row by row) of the projective transform
 * x' = (c0 x + c1 y + c2) / w, y' = (c3 x + c4 y + c5) / w, w = c6 x + c7 y + c8,
 * that carries the source's top-left, top-right, bottom-right and bottom-left
 * corner pixels to the convex quadrangle quad (x0, y0 .. x3, y3). quadCount
 * must be 8 and coeffsCount 9 (else the text goes to the source's error
 * text); coeffs is written only on success. */
KLEM_API uint32_t KLEM_CALL KLEM_WarpPerspectiveCoefficients(KLEM_HANDLE handle, KLEM_HANDLE source,
                                                             const double* quad, int32_t quadCount,
                                                             double* coeffs, int32_t coeffsCount);
/* The smallest and largest x and y of the source's corner pixels mapped by
 * the nine coefficients (coeffsCount must be 9, as for
 * KLEM_WarpPerspectiveCoefficients); the box is written as by KLEM_RotateBox. */
KLEM_API uint32_t KLEM_CALL KLEM_WarpPerspectiveBox(KLEM_HANDLE handle, KLEM_HANDLE source, const double* coeffs,
                                                    int32_t coeffsCount, double* x0, double* y0, double* x1,
                                                    double* y1);

/* --- vector math: arrays of 3-vectors of doubles (24 bytes a vector) ------- */

typedef struct ZEV_Object_* ZEV_HANDLE;

/* A new object; null when none can be made. */
KLEM_API ZEV_HANDLE KLEM_CALL ZEV_CreateCFastMath(void);
KLEM_API uint32_t KLEM_CALL ZEV_FreeCFastMath(ZEV_HANDLE handle);
/* As KLEM_GetError and KLEM_SetError. */
KLEM_API uint32_t KLEM_CALL ZEV_GetError(ZEV_HANDLE handle, char* buffer);
KLEM_API uint32_t KLEM_CALL ZEV_SetError(ZEV_HANDLE handle, const char* text);
KLEM_API uint32_t KLEM_CALL ZEV_GetVersion(ZEV_HANDLE handle, const char** textOut);
KLEM_API uint32_t KLEM_CALL ZEV_GetProcessorDetected(ZEV_HANDLE handle, const char** textOut);
KLEM_API uint32_t KLEM_CALL ZEV_GetProcessorCodeUsed(ZEV_HANDLE handle, const char** textOut);
/* destination[i] = source[i] + vector (- vector, * vector component-wise) for
 * count vectors; count must equal destinationCount and be at least 1. */
KLEM_API uint32_t KLEM_CALL ZEV_Add(ZEV_HANDLE handle, const double* source, int32_t count,
                                    const double* vector, double* destination, int32_t destinationCount);
KLEM_API uint32_t KLEM_CALL ZEV_Sub(ZEV_HANDLE handle, const double* source, int32_t count,
                                    const double* vector, double* destination, int32_t destinationCount);
KLEM_API uint32_t KLEM_CALL ZEV_Mul(ZEV_HANDLE handle, const double* source, int32_t count,
                                    const double* vector, double* destination, int32_t destinationCount);
/* destination[i][r] = sum over c of matrix[r][c] * source[i][c] for the rows
 * r < height (1 to 3) of a row-major matrix that is 3 wide. */
KLEM_API uint32_t KLEM_CALL ZEV_MulMatrix(ZEV_HANDLE handle, const double* matrix, int32_t width,
                                          int32_t height, const double* source, int32_t count,
                                          double* destination, int32_t destinationCount);

#ifdef __cplusplus
}
#endif

#endif /* KLEM_KLEM_H */
