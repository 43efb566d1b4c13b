// A fuzzer over the whole C interface. Its input is a short program: each
// step is one byte that picks an export from the table below, followed by the
// bytes its arguments are drawn from (handles, null pointers, formats, sizes
// from 0 to a few hundred, negative and huge values, modes, host arrays of
// any count). After every call it checks what the interface promises a host:
// the status is 0, 1 or 0x80070057; an operation that returned 0 leaves the
// empty error text; the guard bytes around every host buffer are intact (they
// are also poisoned, so AddressSanitizer stops at the first touch); attached
// memory, which the harness owns, is never freed by the library (it lies
// inside larger blocks, so a free of it is an invalid free).
//
// KLEM_FUZZ_WRITE_SEEDS=DIR writes the seed corpus: one program per export.
#include <sanitizer/asan_interface.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "klem/klem.h"

extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

constexpr uint8_t kGuardByte = 0xA5;
constexpr size_t kGuard = 64;

// Host memory of exactly the size a call is told, between two guards.
class Guarded {
 public:
  explicit Guarded(size_t size) : size_(size), block_(new uint8_t[size + 2 * kGuard]) {
    std::memset(block_.get(), kGuardByte, kGuard);
    std::memset(block_.get() + kGuard + size, kGuardByte, kGuard);
    for (size_t i = 0; i < size; ++i) block_[kGuard + i] = uint8_t(i * 131 + 7);
    Poison(true);
  }
  ~Guarded() { Poison(false); }
  uint8_t* data() { return block_.get() + kGuard; }
  size_t size() const { return size_; }
  bool GuardsIntact() {
    Poison(false);
    bool intact = true;
    for (size_t i = 0; i < kGuard; ++i) {
      intact &= block_[i] == kGuardByte && block_[kGuard + size_ + i] == kGuardByte;
    }
    Poison(true);
    return intact;
  }

 private:
  void Poison(bool on) {
    if (on) {
      ASAN_POISON_MEMORY_REGION(block_.get(), kGuard);
      ASAN_POISON_MEMORY_REGION(block_.get() + kGuard + size_, kGuard);
    } else {
      ASAN_UNPOISON_MEMORY_REGION(block_.get(), kGuard);
      ASAN_UNPOISON_MEMORY_REGION(block_.get() + kGuard + size_, kGuard);
    }
  }
  size_t size_;
  std::unique_ptr<uint8_t[]> block_;
};

// What a program runs on: four image handles, two vector-math handles and
// every host buffer handed out so far (kept to the end: an attached image
// may use its buffer long after the call).
struct World {
  KLEM_HANDLE images[4] = {};
  ZEV_HANDLE vectors[2] = {};
  std::vector<std::unique_ptr<Guarded>> buffers;
  size_t bufferBytes = 0;
};

// The program's bytes; reading past the end gives zeros.
class Input {
 public:
  Input(const uint8_t* data, size_t size, World& world) : p_(data), end_(data + size), world_(world) {}
  bool Done() const { return p_ >= end_; }
  uint8_t Byte() { return p_ < end_ ? *p_++ : 0; }
  uint32_t Raw32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
    return v;
  }
  // Mostly small values, some negative, some at the ends of the range.
  int32_t Int() {
    static constexpr int32_t kEdges[] = {INT32_MIN, INT32_MAX, -1, 0, 1, 255, 256, 65535, 65536, 1 << 30};
    const uint8_t kind = Byte();
    if (kind < 160) return int32_t(Byte()) + (kind & 1 ? 256 : 0) - (kind & 2 ? 8 : 0);
    if (kind < 200) return -int32_t(Byte());
    if (kind < 230) return kEdges[Byte() % std::size(kEdges)];
    return int32_t(Raw32());
  }
  uint32_t Uint() { return uint32_t(Int()); }
  // Sizes of images and host arrays: 0 to a few hundred, sometimes negative or huge.
  int32_t Size() {
    const uint8_t kind = Byte();
    if (kind < 200) return Byte() % 64 + (kind & 3) * (kind & 4 ? 64 : 0);
    return Int();
  }
  uint32_t Format() {
    static constexpr uint32_t kFormats[] = {8, 24, 32, 1, 16, 48, 0, 9, 25, 4, 64};
    const uint8_t kind = Byte();
    return kind < 240 ? kFormats[kind % std::size(kFormats)] : Uint();
  }
  int32_t Mode() { return int32_t(Byte() % 9) - 2; }
  double Real() {
    static constexpr double kEdges[] = {0, 90, 180, 270, -90, 360, 1e-300, 1e300, -1e300,
                                        std::numeric_limits<double>::infinity(),
                                        std::numeric_limits<double>::quiet_NaN()};
    const uint8_t kind = Byte();
    if (kind < 180) return (int32_t(Byte()) - 128) / 8.0 + Byte() / 1024.0;
    if (kind < 220) return kEdges[Byte() % std::size(kEdges)];
    const uint64_t bits = uint64_t(Raw32()) << 32 | Raw32();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  KLEM_HANDLE Image() {
    const uint8_t b = Byte();
    return b % 8 == 7 ? nullptr : world_.images[b % 4];
  }
  ZEV_HANDLE Vectors() {
    const uint8_t b = Byte();
    return b % 4 == 3 ? nullptr : world_.vectors[b % 2];
  }
  // Host memory of exactly n bytes (null sometimes, and for n < 0 or beyond
  // what a program may claim).
  uint8_t* Bytes(int64_t n) {
    if (Byte() % 16 == 15 || n < 0 || n > (int64_t{1} << 22) || world_.bufferBytes + n > (size_t{64} << 20)) {
      return nullptr;
    }
    world_.buffers.push_back(std::make_unique<Guarded>(size_t(n)));
    world_.bufferBytes += size_t(n);
    return world_.buffers.back()->data();
  }
  template <typename T>
  T* Array(int64_t count) {
    uint8_t* bytes = Bytes(count < 0 ? count : count * int64_t{sizeof(T)});
    T* values = reinterpret_cast<T*>(bytes);
    for (int64_t i = 0; bytes && i < count; ++i) values[i] = FillValue<T>();
    return values;
  }
  // An out pointer (zeroed) or null.
  template <typename T>
  T* Out() {
    uint8_t* bytes = Bytes(sizeof(T));
    if (bytes) std::memset(bytes, 0, sizeof(T));
    return reinterpret_cast<T*>(bytes);
  }
  World& world() { return world_; }

 private:
  template <typename T>
  T FillValue() {
    if constexpr (std::is_same_v<T, double>) return Real();
    else if constexpr (std::is_same_v<T, int32_t>) return Int();
    else return T(Byte());
  }
  const uint8_t* p_;
  const uint8_t* end_;
  World& world_;
};

// Bytes a Create of these values may take, pixels and row pointers; huge
// requests that would be granted are skipped (they only cost time), those
// that must fail are made.
bool TooLargeToTry(int32_t width, int32_t height, uint32_t format) {
  if (width <= 0 || height <= 0) return false;
  const double bytes = (double(width) * format / 8 + 4 + sizeof(void*)) * height;
  return bytes > double(4 << 20) && bytes < 0x1p36;
}

// What a row returns when it skips a call that would only cost time.
constexpr uint32_t kSkipped = 0xffffffffu;

struct Row {
  const char* name;
  bool clearsText;  // an operation: success leaves the empty text on its handle
  uint32_t (*call)(Input& in, KLEM_HANDLE* handle, ZEV_HANDLE* vectors);
};

#define IMAGE_OP(name, ...) {name, true, [](Input& in, KLEM_HANDLE* h, ZEV_HANDLE*) -> uint32_t { *h = in.Image(); __VA_ARGS__ }}
#define FRAME_CALL(name, ...) {name, false, [](Input& in, KLEM_HANDLE* h, ZEV_HANDLE*) -> uint32_t { *h = in.Image(); __VA_ARGS__ }}
#define VECTOR_OP(name, ...) {name, true, [](Input& in, KLEM_HANDLE*, ZEV_HANDLE* z) -> uint32_t { *z = in.Vectors(); __VA_ARGS__ }}
#define VECTOR_CALL(name, ...) {name, false, [](Input& in, KLEM_HANDLE*, ZEV_HANDLE* z) -> uint32_t { *z = in.Vectors(); __VA_ARGS__ }}

uint32_t Attach(Input& in, KLEM_HANDLE h, bool withRowLength) {
  const int32_t width = in.Size(), height = in.Size(), rowLength = withRowLength ? in.Size() : 0;
  const uint32_t format = in.Format();
  // The size told: the packed rows, a little less or more, or anything.
  const __int128 rows = (__int128(std::max(width, 0)) * format + 7) / 8 * std::max(height, 0);
  const int64_t packed = int64_t(std::min<__int128>(rows, int64_t{1} << 40));
  const uint8_t choice = in.Byte();
  const int64_t told = choice < 128 ? packed : choice < 200 ? packed + int8_t(in.Byte()) : in.Size();
  uint8_t* memory = in.Bytes(told);
  const uint32_t size = memory ? uint32_t(told) : uint32_t(std::max<int64_t>(told, 0));
  return withRowLength ? KLEM_AttachNoFreeEx(h, memory, size, width, height, rowLength, format)
                       : KLEM_AttachNoFree(h, memory, size, width, height, format);
}

// The red/blue swaps read and write host rows: buffers of step x height bytes.
template <auto kSwap>
uint32_t SwapOnHostRows(Input& in, KLEM_HANDLE h) {
  const int32_t width = in.Size(), height = in.Size(), sourceStep = in.Size(), destStep = in.Size();
  const int64_t rows = std::max(height, 0);
  uint8_t* source = in.Bytes(int64_t(sourceStep) * rows);
  uint8_t* dest = in.Byte() % 4 == 0 ? source : in.Bytes(int64_t(destStep) * rows);
  return kSwap(h, source, sourceStep, dest, source == dest ? sourceStep : destStep, width, height, in.Int());
}

template <auto kMorphology>
uint32_t WithMask(Input& in, KLEM_HANDLE h) {
  const int32_t w = in.Size() % 40, ht = in.Size() % 40;
  return kMorphology(h, in.Array<uint8_t>(int64_t(w) * ht), w, ht);
}

template <auto kVectorOp>
uint32_t VectorOp(Input& in, ZEV_HANDLE z) {
  const int32_t count = in.Size(), destinationCount = in.Size();
  const double* source = in.Array<double>(int64_t(count) * 3);
  const double* vector = in.Array<double>(3);
  return kVectorOp(z, source, count, vector, in.Array<double>(int64_t(destinationCount) * 3), destinationCount);
}

template <auto kGet, typename T = const char*>
uint32_t Get(Input& in, KLEM_HANDLE h) {
  return kGet(h, in.Out<T>());
}

const Row kRows[] = {
    // frame: handles, texts, images
    {"KLEM_CreateCKorPelora", false,
     [](Input&, KLEM_HANDLE* h, ZEV_HANDLE*) -> uint32_t {
       *h = nullptr;
       KLEM_HANDLE made = KLEM_CreateCKorPelora();
       return made ? KLEM_FreeCKorPelora(made) : KLEM_OK;
     }},
    FRAME_CALL("KLEM_GetError", { char* buffer = reinterpret_cast<char*>(in.Bytes(KLEM_ERROR_BUFFER_SIZE)); return KLEM_GetError(*h, buffer); }),
    FRAME_CALL("KLEM_SetError", {
      const int32_t n = std::abs(in.Size() % 1500);
      char* text = reinterpret_cast<char*>(in.Bytes(n + 1));
      if (text) text[n] = '\0';
      return KLEM_SetError(*h, text);
    }),
    FRAME_CALL("KLEM_GetVersion", { return Get<KLEM_GetVersion>(in, *h); }),
    FRAME_CALL("KLEM_GetProcessorDetected", { return Get<KLEM_GetProcessorDetected>(in, *h); }),
    FRAME_CALL("KLEM_GetProcessorCodeUsed", { return Get<KLEM_GetProcessorCodeUsed>(in, *h); }),
    // It measures the clock for two to three seconds: once a process, then with a null handle.
    FRAME_CALL("KLEM_GetProcessorDetails", {
      static bool measured = false;
      if (std::exchange(measured, true)) *h = nullptr;
      return Get<KLEM_GetProcessorDetails>(in, *h);
    }),
    FRAME_CALL("KLEM_GetScaleFactor", { return Get<KLEM_GetScaleFactor, int32_t>(in, *h); }),
    FRAME_CALL("KLEM_SetScaleFactor", { return KLEM_SetScaleFactor(*h, in.Int()); }),
    FRAME_CALL("KLEM_Create", {
      const int32_t width = in.Size(), height = in.Size();
      const uint32_t format = in.Format();
      return TooLargeToTry(width, height, format) ? kSkipped : KLEM_Create(*h, width, height, format);
    }),
    FRAME_CALL("KLEM_AttachNoFree", { return Attach(in, *h, false); }),
    FRAME_CALL("KLEM_AttachNoFreeEx", { return Attach(in, *h, true); }),
    FRAME_CALL("KLEM_Clear", { return KLEM_Clear(*h); }),
    FRAME_CALL("KLEM_GetWidth", { return Get<KLEM_GetWidth, int32_t>(in, *h); }),
    FRAME_CALL("KLEM_GetHeight", { return Get<KLEM_GetHeight, int32_t>(in, *h); }),
    FRAME_CALL("KLEM_GetBitsPerPixel", { return Get<KLEM_GetBitsPerPixel, uint32_t>(in, *h); }),
    FRAME_CALL("KLEM_GetWidthBytes", { return Get<KLEM_GetWidthBytes, int32_t>(in, *h); }),
    FRAME_CALL("KLEM_GetImageMemory", { return Get<KLEM_GetImageMemory, void*>(in, *h); }),
    FRAME_CALL("KLEM_GetImageSizeInBytes", { return Get<KLEM_GetImageSizeInBytes, uint32_t>(in, *h); }),

    // arithmetic and logic
    IMAGE_OP("KLEM_Add", { return KLEM_Add(*h, in.Image()); }),
    IMAGE_OP("KLEM_AddConstant", { return KLEM_AddConstant(*h, in.Uint()); }),
    IMAGE_OP("KLEM_Subtract", { return KLEM_Subtract(*h, in.Image()); }),
    IMAGE_OP("KLEM_SubtractConstant", { return KLEM_SubtractConstant(*h, in.Uint()); }),
    IMAGE_OP("KLEM_Multiply", { return KLEM_Multiply(*h, in.Image()); }),
    IMAGE_OP("KLEM_MultiplyConstant", { return KLEM_MultiplyConstant(*h, in.Uint()); }),
    IMAGE_OP("KLEM_Divide", { return KLEM_Divide(*h, in.Image()); }),
    IMAGE_OP("KLEM_DivideConstant", { return KLEM_DivideConstant(*h, in.Uint()); }),
    IMAGE_OP("KLEM_Difference", { return KLEM_Difference(*h, in.Image(), in.Image()); }),
    IMAGE_OP("KLEM_DifferenceConstant", { return KLEM_DifferenceConstant(*h, in.Image(), in.Uint()); }),
    IMAGE_OP("KLEM_And", { return KLEM_And(*h, in.Image()); }),
    IMAGE_OP("KLEM_AndConstant", { return KLEM_AndConstant(*h, in.Uint()); }),
    IMAGE_OP("KLEM_Or", { return KLEM_Or(*h, in.Image()); }),
    IMAGE_OP("KLEM_OrConstant", { return KLEM_OrConstant(*h, in.Uint()); }),
    IMAGE_OP("KLEM_Xor", { return KLEM_Xor(*h, in.Image()); }),
    IMAGE_OP("KLEM_XorConstant", { return KLEM_XorConstant(*h, in.Uint()); }),
    IMAGE_OP("KLEM_Invert", { return KLEM_Invert(*h); }),
    IMAGE_OP("KLEM_Scale", { return KLEM_Scale(*h, in.Uint(), in.Uint(), in.Uint(), in.Uint()); }),
    IMAGE_OP("KLEM_HDRScaleDown", { return KLEM_HDRScaleDown(*h, in.Image()); }),

    // fill, copy, crop, borders, channels, alpha, flood fill
    IMAGE_OP("KLEM_Fill", { return KLEM_Fill(*h, in.Uint()); }),
    IMAGE_OP("KLEM_Copy", { return KLEM_Copy(*h, in.Image()); }),
    IMAGE_OP("KLEM_CopyWithMask", { return KLEM_CopyWithMask(*h, in.Image(), in.Image()); }),
    IMAGE_OP("KLEM_Crop", { return KLEM_Crop(*h, in.Image(), in.Int(), in.Int(), in.Int(), in.Int()); }),
    IMAGE_OP("KLEM_CropTo", { return KLEM_CropTo(*h, in.Image(), in.Int(), in.Int(), in.Int(), in.Int(), in.Int(), in.Int()); }),
    IMAGE_OP("KLEM_CopyWithConstBorder", { return KLEM_CopyWithConstBorder(*h, in.Image(), in.Int(), in.Int(), in.Uint()); }),
    IMAGE_OP("KLEM_CopyWithReplicateBorder", { return KLEM_CopyWithReplicateBorder(*h, in.Image(), in.Int(), in.Int()); }),
    IMAGE_OP("KLEM_SplitChannels", { return KLEM_SplitChannels(*h, in.Image(), in.Image(), in.Image()); }),
    IMAGE_OP("KLEM_FromChannels", { return KLEM_FromChannels(*h, in.Image(), in.Image(), in.Image()); }),
    IMAGE_OP("KLEM_SplitChannelsRGBA", { return KLEM_SplitChannelsRGBA(*h, in.Image(), in.Image(), in.Image(), in.Image()); }),
    IMAGE_OP("KLEM_FromChannelsRGBA", { return KLEM_FromChannelsRGBA(*h, in.Image(), in.Image(), in.Image(), in.Image()); }),
    IMAGE_OP("KLEM_SwapChannels", {
      KLEM_HANDLE source = in.Image();
      const int32_t count = in.Size() % 8;
      return KLEM_SwapChannels(*h, source, in.Array<int32_t>(count), count);
    }),
    IMAGE_OP("KLEM_AlphaPremultiply", { return KLEM_AlphaPremultiply(*h); }),
    IMAGE_OP("KLEM_AlphaPremultiplyWithConstant", { return KLEM_AlphaPremultiplyWithConstant(*h, in.Uint()); }),
    IMAGE_OP("KLEM_AlphaOverlay", { return KLEM_AlphaOverlay(*h, in.Image(), in.Image(), in.Mode() * 2); }),
    IMAGE_OP("KLEM_AlphaOverlayWithConstant",
             { return KLEM_AlphaOverlayWithConstant(*h, in.Image(), in.Uint(), in.Image(), in.Uint(), in.Mode() * 2); }),
    IMAGE_OP("KLEM_ApplyAlphaChannelConstant", { return KLEM_ApplyAlphaChannelConstant(*h, in.Uint()); }),
    IMAGE_OP("KLEM_ApplyAlphaChannel", { return KLEM_ApplyAlphaChannel(*h, in.Image()); }),
    IMAGE_OP("KLEM_FloodFill", { return KLEM_FloodFill(*h, in.Int(), in.Int(), in.Int(), in.Int(), in.Int(), in.Int()); }),

    // colour, gray, look-up tables, thresholds
    IMAGE_OP("KLEM_RGBtoCMY", { return KLEM_RGBtoCMY(*h); }),
    IMAGE_OP("KLEM_CMYtoRGB", { return KLEM_CMYtoRGB(*h); }),
    IMAGE_OP("KLEM_RGBtoYUV", { return KLEM_RGBtoYUV(*h, in.Image()); }),
    IMAGE_OP("KLEM_YUVtoRGB", { return KLEM_YUVtoRGB(*h, in.Image()); }),
    IMAGE_OP("KLEM_RGBtoXYZ", { return KLEM_RGBtoXYZ(*h, in.Image()); }),
    IMAGE_OP("KLEM_XYZtoRGB", { return KLEM_XYZtoRGB(*h, in.Image()); }),
    IMAGE_OP("KLEM_RGBtoYCC", { return KLEM_RGBtoYCC(*h, in.Image()); }),
    IMAGE_OP("KLEM_YCCtoRGB", { return KLEM_YCCtoRGB(*h, in.Image()); }),
    IMAGE_OP("KLEM_RGBtoBGR", { return SwapOnHostRows<KLEM_RGBtoBGR>(in, *h); }),
    IMAGE_OP("KLEM_RGBAtoBGRA", { return SwapOnHostRows<KLEM_RGBAtoBGRA>(in, *h); }),
    IMAGE_OP("KLEM_Grayscale8Bit", { return KLEM_Grayscale8Bit(*h, in.Image()); }),
    IMAGE_OP("KLEM_Grayscale", { return KLEM_Grayscale(*h, in.Image()); }),
    IMAGE_OP("KLEM_ConvertTo1Bit", { return KLEM_ConvertTo1Bit(*h, in.Image(), in.Uint()); }),
    IMAGE_OP("KLEM_GammaCorrection", { return KLEM_GammaCorrection(*h, in.Int()); }),
    IMAGE_OP("KLEM_LookUpTable8Bit", {
      KLEM_HANDLE source = in.Image();
      const int32_t count = in.Size();
      return KLEM_LookUpTable8Bit(*h, source, in.Array<int32_t>(count), in.Array<int32_t>(count), count, in.Mode());
    }),
    IMAGE_OP("KLEM_LookUpTable", {
      KLEM_HANDLE source = in.Image();
      int32_t counts[3];
      const int32_t* curves[6];
      for (int c = 0; c < 3; ++c) {
        counts[c] = in.Size();
        curves[2 * c] = in.Array<int32_t>(counts[c]);
        curves[2 * c + 1] = in.Array<int32_t>(counts[c]);
      }
      return KLEM_LookUpTable(*h, source, curves[0], curves[1], counts[0], curves[2], curves[3], counts[1], curves[4],
                              curves[5], counts[2], in.Mode());
    }),
    IMAGE_OP("KLEM_ThresholdGT", { return KLEM_ThresholdGT(*h, in.Int()); }),
    IMAGE_OP("KLEM_ThresholdLT", { return KLEM_ThresholdLT(*h, in.Int()); }),
    IMAGE_OP("KLEM_ThresholdGTVal", { return KLEM_ThresholdGTVal(*h, in.Int(), in.Int()); }),
    IMAGE_OP("KLEM_ThresholdLTVal", { return KLEM_ThresholdLTVal(*h, in.Int(), in.Int()); }),
    IMAGE_OP("KLEM_ThresholdLTValGTVal", { return KLEM_ThresholdLTValGTVal(*h, in.Int(), in.Int(), in.Int(), in.Int()); }),

    // morphology and filters
    IMAGE_OP("KLEM_Erode", { return KLEM_Erode(*h); }),
    IMAGE_OP("KLEM_Dilate", { return KLEM_Dilate(*h); }),
    IMAGE_OP("KLEM_ErodeEx", { return WithMask<KLEM_ErodeEx>(in, *h); }),
    IMAGE_OP("KLEM_DilateEx", { return WithMask<KLEM_DilateEx>(in, *h); }),
    IMAGE_OP("KLEM_Filter", { return KLEM_Filter(*h, in.Int() % 40, in.Image()); }),
    FRAME_CALL("KLEM_GetRoiForFilter",
             { return KLEM_GetRoiForFilter(*h, in.Int(), in.Int(), in.Out<int32_t>(), in.Out<int32_t>(), in.Out<int32_t>()); }),
    FRAME_CALL("KLEM_GetRoiForFilterEx", {
      return KLEM_GetRoiForFilterEx(*h, in.Int(), in.Int(), in.Int(), in.Int(), in.Out<int32_t>(), in.Out<int32_t>(),
                                    in.Out<int32_t>());
    }),
    FRAME_CALL("KLEM_GetFilterBorder", { return KLEM_GetFilterBorder(*h, in.Int(), in.Int(), in.Out<int32_t>(), in.Out<int32_t>()); }),
    FRAME_CALL("KLEM_GetFilterBorderEx",
             { return KLEM_GetFilterBorderEx(*h, in.Int(), in.Int(), in.Int(), in.Int(), in.Out<int32_t>(), in.Out<int32_t>()); }),
    IMAGE_OP("KLEM_FilterUserDefined", {
      KLEM_HANDLE source = in.Image();
      const int32_t w = in.Size() % 40, ht = in.Size() % 40;
      return KLEM_FilterUserDefined(*h, source, in.Array<int32_t>(int64_t(w) * ht), w, ht, in.Int(), in.Int(), in.Int());
    }),
    IMAGE_OP("KLEM_Antialias", { return KLEM_Antialias(*h, in.Image()); }),
    IMAGE_OP("KLEM_ScaleToGray", { return KLEM_ScaleToGray(*h, in.Image(), in.Int()); }),

    // geometry
    IMAGE_OP("KLEM_Resize", {
      KLEM_HANDLE source = in.Image();
      const int32_t width = in.Size(), height = in.Size();
      // A 1-bit resize works on 8-bit images of the size asked for.
      uint32_t format = 0;
      if (KLEM_GetBitsPerPixel(*h, &format) == KLEM_OK && format == 1 && TooLargeToTry(width, height, 8))
        return kSkipped;
      return KLEM_Resize(*h, source, width, height, in.Mode());
    }),
    IMAGE_OP("KLEM_MirrorHorizontal", { return KLEM_MirrorHorizontal(*h); }),
    IMAGE_OP("KLEM_MirrorVertical", { return KLEM_MirrorVertical(*h); }),
    IMAGE_OP("KLEM_Rotate", { return KLEM_Rotate(*h, in.Image(), in.Real(), in.Mode()); }),
    IMAGE_OP("KLEM_RotateCenter", { return KLEM_RotateCenter(*h, in.Image(), in.Real(), in.Int(), in.Int(), in.Mode()); }),
    IMAGE_OP("KLEM_Shear", { return KLEM_Shear(*h, in.Image(), in.Real(), in.Real(), in.Mode()); }),
    IMAGE_OP("KLEM_WarpPerspective", {
      KLEM_HANDLE source = in.Image();
      const int32_t count = in.Size() % 12;
      return KLEM_WarpPerspective(*h, source, in.Array<double>(count), count, in.Mode());
    }),
    IMAGE_OP("KLEM_RotateBox", {
      return KLEM_RotateBox(*h, in.Image(), in.Real(), in.Out<double>(), in.Out<double>(), in.Out<double>(), in.Out<double>());
    }),
    IMAGE_OP("KLEM_ShearBox", {
      return KLEM_ShearBox(*h, in.Image(), in.Real(), in.Real(), in.Out<double>(), in.Out<double>(), in.Out<double>(),
                           in.Out<double>());
    }),
    IMAGE_OP("KLEM_WarpPerspectiveCoefficients", {
      KLEM_HANDLE source = in.Image();
      const int32_t quadCount = in.Size() % 12, coeffsCount = in.Size() % 12;
      return KLEM_WarpPerspectiveCoefficients(*h, source, in.Array<double>(quadCount), quadCount,
                                              in.Array<double>(coeffsCount), coeffsCount);
    }),
    IMAGE_OP("KLEM_WarpPerspectiveBox", {
      KLEM_HANDLE source = in.Image();
      const int32_t count = in.Size() % 12;
      return KLEM_WarpPerspectiveBox(*h, source, in.Array<double>(count), count, in.Out<double>(), in.Out<double>(),
                                     in.Out<double>(), in.Out<double>());
    }),

    // vector math
    {"ZEV_CreateCFastMath", false,
     [](Input&, KLEM_HANDLE*, ZEV_HANDLE* z) -> uint32_t {
       *z = nullptr;
       ZEV_HANDLE made = ZEV_CreateCFastMath();
       return made ? ZEV_FreeCFastMath(made) : KLEM_OK;
     }},
    VECTOR_CALL("ZEV_GetError", { return ZEV_GetError(*z, reinterpret_cast<char*>(in.Bytes(KLEM_ERROR_BUFFER_SIZE))); }),
    VECTOR_CALL("ZEV_SetError", {
      char* text = reinterpret_cast<char*>(in.Bytes(8));
      if (text) std::memcpy(text, "vectors", 8);
      return ZEV_SetError(*z, text);
    }),
    VECTOR_CALL("ZEV_GetVersion", { return ZEV_GetVersion(*z, in.Out<const char*>()); }),
    VECTOR_CALL("ZEV_GetProcessorDetected", { return ZEV_GetProcessorDetected(*z, in.Out<const char*>()); }),
    VECTOR_CALL("ZEV_GetProcessorCodeUsed", { return ZEV_GetProcessorCodeUsed(*z, in.Out<const char*>()); }),
    VECTOR_OP("ZEV_Add", { return VectorOp<ZEV_Add>(in, *z); }),
    VECTOR_OP("ZEV_Sub", { return VectorOp<ZEV_Sub>(in, *z); }),
    VECTOR_OP("ZEV_Mul", { return VectorOp<ZEV_Mul>(in, *z); }),
    VECTOR_OP("ZEV_MulMatrix", {
      const int32_t width = in.Size() % 6, height = in.Size() % 6, count = in.Size(), destinationCount = in.Size();
      const double* matrix = in.Array<double>(int64_t(width) * height);
      const double* source = in.Array<double>(int64_t(count) * 3);
      return ZEV_MulMatrix(*z, matrix, width, height, source, count, in.Array<double>(int64_t(destinationCount) * 3),
                           destinationCount);
    }),

    // freeing a handle; the program goes on with a new one
    {"KLEM_FreeCKorPelora", false,
     [](Input& in, KLEM_HANDLE* h, ZEV_HANDLE*) -> uint32_t {
       const uint8_t which = in.Byte();
       *h = nullptr;
       if (which % 8 == 7) return KLEM_FreeCKorPelora(nullptr);
       KLEM_HANDLE& image = in.world().images[which % 4];
       const uint32_t status = KLEM_FreeCKorPelora(image);
       image = KLEM_CreateCKorPelora();
       return status;
     }},
    {"ZEV_FreeCFastMath", false,
     [](Input& in, KLEM_HANDLE*, ZEV_HANDLE* z) -> uint32_t {
       const uint8_t which = in.Byte();
       *z = nullptr;
       if (which % 4 == 3) return ZEV_FreeCFastMath(nullptr);
       ZEV_HANDLE& vectors = in.world().vectors[which % 2];
       const uint32_t status = ZEV_FreeCFastMath(vectors);
       vectors = ZEV_CreateCFastMath();
       return status;
     }},
};
constexpr size_t kRowCount = std::size(kRows);

[[noreturn]] void Fail(const char* call, const char* what) {
  std::fprintf(stderr, "klem_fuzzer: after %s: %s\n", call, what);
  std::abort();
}

std::string ErrorOf(KLEM_HANDLE h, ZEV_HANDLE z) {
  char text[KLEM_ERROR_BUFFER_SIZE] = {};
  if (h) KLEM_GetError(h, text);
  if (z) ZEV_GetError(z, text);
  return text;
}

void Check(const Row& row, uint32_t status, KLEM_HANDLE h, ZEV_HANDLE z, World& world) {
  if (status == kSkipped) return;
  if (status != KLEM_OK && status != KLEM_FAILED && status != KLEM_INVALID_ARG) Fail(row.name, "a status other than 0, 1 and 0x80070057");
  if (status == KLEM_OK && row.clearsText && !ErrorOf(h, z).empty()) Fail(row.name, "success with an error text");
  for (const auto& buffer : world.buffers) {
    if (!buffer->GuardsIntact()) Fail(row.name, "a guard byte of host memory changed");
  }
}

int RunProgram(const uint8_t* data, size_t size) {
  World world;
  for (auto& image : world.images) image = KLEM_CreateCKorPelora();
  for (auto& vectors : world.vectors) vectors = ZEV_CreateCFastMath();
  Input in(data, size, world);
  for (int step = 0; step < 64 && !in.Done(); ++step) {
    const Row& row = kRows[in.Byte() % kRowCount];
    KLEM_HANDLE h = nullptr;
    ZEV_HANDLE z = nullptr;
    const uint32_t status = row.call(in, &h, &z);
    Check(row, status, h, z, world);
  }
  for (auto& image : world.images) KLEM_FreeCKorPelora(image);
  for (auto& vectors : world.vectors) ZEV_FreeCFastMath(vectors);
  for (const auto& buffer : world.buffers) {
    if (!buffer->GuardsIntact()) Fail("freeing the handles", "a guard byte of host memory changed");
  }
  return 0;
}

// One program per export: three images made (24-bit, 24-bit, 8-bit, of odd
// sizes), then the export with arguments from bytes that draw small values.
void WriteSeeds(const char* dir) {
  for (size_t k = 0; k < kRowCount; ++k) {
    std::vector<uint8_t> program;
    const uint8_t create = 9;  // the row of KLEM_Create
    const uint8_t images[][6] = {{0, 0, 37, 0, 23, 1}, {1, 0, 37, 0, 23, 1}, {2, 0, 37, 0, 23, 0}};
    for (const auto& image : images) {
      program.push_back(create);
      program.insert(program.end(), image, image + 6);
    }
    program.push_back(uint8_t(k));
    for (int i = 0; i < 48; ++i) program.push_back(uint8_t(i % 3 == 0 ? 0 : 3 + i));
    const std::string path = std::string(dir) + "/" + kRows[k].name;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
      std::fwrite(program.data(), 1, program.size(), file);
      std::fclose(file);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (std::strcmp(kRows[9].name, "KLEM_Create") != 0) std::abort();  // the seeds depend on it
  if (const char* dir = std::getenv("KLEM_FUZZ_WRITE_SEEDS")) WriteSeeds(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return RunProgram(data, size); }
