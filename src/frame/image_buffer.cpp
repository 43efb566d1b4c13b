#include "frame/image_buffer.h"

#include <cstdio>
#include <limits>
#include <new>

#include "frame/text_exception.h"
#include "platform/heap.h"

namespace klem {
namespace {

constexpr const char* kInvalidSize = "Invalid Size!";
constexpr const char* kInvalidFormat = "Invalid bits per pixel value!";
constexpr const char* kInvalidImageSize =
    "Invalid Image Size! The provided memory block must have the size necessary to store the "
    "image.\nFor 1Bit black white imagedata: ((Width+7)/8)*Height.\nFor 8Bit palette imagedata: "
    "Width*Height.\nFor 24Bit RGB imagedata: Width*3*Height";

bool IsKnownFormat(uint32_t bpp) {
  switch (bpp) {
    case 1: case 8: case 9: case 16: case 24: case 25: case 32: case 48: return true;
    default: return false;
  }
}

// Formats 9 and 25 describe host memory only: they can be attached, never created.
bool IsCreatableFormat(uint32_t bpp) { return IsKnownFormat(bpp) && bpp != 9 && bpp != 25; }

// Bytes per row without padding, in 64 bits so that no product wraps.
int64_t RowBytes(uint32_t bpp, int64_t width, int64_t widthInBytes) {
  switch (bpp) {
    case 1: return (width + 7) / 8;
    case 8: case 9: return width;
    case 16: return width * 2;
    case 24: return width * 3;
    case 25: return widthInBytes;
    case 32: return width * 4;
    case 48: return width * 6;
    default: return 0;
  }
}

int32_t BytesPerPixelField(uint32_t bpp) {
  switch (bpp) {
    case 8: case 9: return 1;
    case 16: return 2;
    case 24: case 25: return 3;
    case 32: return 4;
    case 48: return 6;
    default: return 0;  // format 1 packs eight pixels into a byte
  }
}

uint32_t PaletteEntriesFor(uint32_t bpp) {
  switch (bpp) {
    case 1: return 2;
    case 8: case 9: return 256;
    case 16: return 65536;
    default: return 0;  // colour formats keep whatever table they had
  }
}

// The row and size fields are 32-bit; a geometry that does not fit them is no image.
bool FitsSizeFields(int64_t rowBytes, int64_t imageBytes) {
  return rowBytes >= 0 && rowBytes <= std::numeric_limits<int32_t>::max() && imageBytes >= 0 &&
         imageBytes <= std::numeric_limits<uint32_t>::max();
}

}  // namespace

bool CMemoryBlock::Allocate(std::size_t size, std::string* failure) {
  Free();
  memory_ = static_cast<uint8_t*>(platform::AllocateZeroed(size, failure));
  owns_ = 1;
  return memory_ != nullptr;
}

void CMemoryBlock::Free() {
  if (owns_ && memory_) platform::Release(memory_);
  memory_ = nullptr;
  owns_ = 1;
}

void CMemoryBlock::Attach(void* memory) {
  Free();
  memory_ = static_cast<uint8_t*>(memory);
  owns_ = 0;
}

void CPalette::Build(uint32_t count) {
  if (count == 0 || count == Count()) return;
  std::vector<PaletteEntry> entries(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (count == 2) {
      const uint8_t v = i ? 255 : 0;
      entries[i] = {v, v, v, 255};
    } else if (count == 256) {
      const auto v = static_cast<uint8_t>(i);
      entries[i] = {v, v, v, 255};
    } else {
      entries[i] = {0, static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i & 255), 255};
    }
  }
  entries_ = std::move(entries);
}

CKorImgBase::CKorImgBase(IProgressNotification* listener) : listener_(listener) {
  CKorImgBase::Reset();
}

CKorImgBase::~CKorImgBase() = default;  // blocks free owned memory; the line array is a unique_ptr

CKorImgBase::Block CKorImgBase::BlockOf(uint32_t bpp) {
  switch (bpp) {
    case 1: return Block::kBit;
    case 8: case 9: case 16: return Block::kByte;
    case 24: case 25: case 32: case 48: return Block::kColour;
    default: return Block::kNone;
  }
}

CMemoryBlock* CKorImgBase::BlockFor(uint32_t bpp) {
  switch (BlockOf(bpp)) {
    case Block::kBit: return &bitBlock_;
    case Block::kByte: return &byteBlock_;
    case Block::kColour: return &colourBlock_;
    case Block::kNone: break;
  }
  return nullptr;
}

uint8_t* CKorImgBase::GetImageMemory() const {
  CMemoryBlock* block = const_cast<CKorImgBase*>(this)->BlockFor(bitsPerPixel_);
  return block ? block->Memory() : nullptr;
}

void CKorImgBase::FreeBlocks() {
  bitBlock_.Free();
  byteBlock_.Free();
  colourBlock_.Free();
}

void CKorImgBase::Reset() {
  bitsPerPixel_ = 0;
  width_ = 0;
  height_ = 0;
  widthBytes_ = 0;
  bytesPerPixel_ = 0;
  imageSize_ = 0;
  resolution_ = platform::ScreenResolution();
  lineArray_.reset();
}

void CKorImgBase::Clear() {
  FreeBlocks();
  palette_.Free();
  OnBeforeChange();
  CKorImgBase::Reset();
  NotifyChanged();
}

bool CKorImgBase::Create(int32_t width, int32_t height, uint32_t bitsPerPixel) {
  errorText_.clear();
  // The product is taken in 32 bits on purpose: a size whose product wraps to 0 is refused.
  const uint32_t product = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
  OnBeforeChange();
  if (product == 0 || width < 1 || height < 1) {
    errorText_ = kInvalidSize;
    return false;
  }
  if (!IsCreatableFormat(bitsPerPixel)) {
    errorText_ = kInvalidFormat;
    return false;
  }
  palette_.Build(PaletteEntriesFor(bitsPerPixel));
  FreeBlocks();

  CMemoryBlock* block = BlockFor(bitsPerPixel);
  const int64_t rowBytes = RowBytes(bitsPerPixel, width, 0);
  const int64_t imageBytes = rowBytes * height;
  std::string failure;
  const bool allocated = FitsSizeFields(rowBytes, imageBytes) &&
                         block->Allocate(static_cast<std::size_t>(imageBytes), &failure);
  if (!allocated) {
    // Keep a usable 1 x 1 image so the handle stays consistent, and say what was asked for.
    if (!block->Allocate(static_cast<std::size_t>(RowBytes(bitsPerPixel, 1, 0)), &failure)) {
      EmptyAndThrow("Can't allocate image! Out of memory!");
    }
    char text[96];
    std::snprintf(text, sizeof text, "Can't allocate image in the size of %d x %d!", width, height);
    errorText_ = text;
  }
  bitsPerPixel_ = bitsPerPixel;
  width_ = allocated ? width : 1;
  height_ = allocated ? height : 1;
  CompleteChange(0);
  return allocated;
}

bool CKorImgBase::AttachNoFree(void* memory, uint32_t sizeInBytes, int32_t width, int32_t height,
                               uint32_t bitsPerPixel) {
  return Attach(memory, sizeInBytes, width, height, 0, bitsPerPixel, false);
}

bool CKorImgBase::AttachNoFreeEx(void* memory, uint32_t sizeInBytes, int32_t width,
                                 int32_t height, int32_t widthInBytes, uint32_t bitsPerPixel) {
  return Attach(memory, sizeInBytes, width, height, widthInBytes, bitsPerPixel, true);
}

bool CKorImgBase::Attach(void* memory, uint32_t sizeInBytes, int32_t width, int32_t height,
                         int32_t widthInBytes, uint32_t bitsPerPixel, bool acceptRowLength) {
  errorText_.clear();
  if (!(width >= 1 && height > 0)) {
    errorText_ = kInvalidSize;
    return false;
  }
  if (!IsKnownFormat(bitsPerPixel) || (bitsPerPixel == 25 && !acceptRowLength)) {
    errorText_ = kInvalidFormat;
    return false;
  }
  const int64_t rowBytes = RowBytes(bitsPerPixel, width, widthInBytes);
  const int64_t needed = rowBytes * height;
  if (!FitsSizeFields(rowBytes, needed) || needed != sizeInBytes) {
    errorText_ = kInvalidImageSize;
    return false;
  }
  // Both checked before anything changes, so a refused attach leaves the image as it was.
  if (bitsPerPixel == 25 && rowBytes < int64_t{width} * 3) {
    throw CTextException(0, "Invalid width in bytes specified!");
  }
  if (memory == nullptr) throw CTextException(0, "Can't initialize linearray!");

  palette_.Build(PaletteEntriesFor(bitsPerPixel));
  FreeBlocks();
  width_ = width;
  height_ = height;
  bitsPerPixel_ = bitsPerPixel;
  resolution_ = platform::ScreenResolution();
  BlockFor(bitsPerPixel)->Attach(memory);
  OnBeforeChange();
  CompleteChange(widthInBytes);
  return true;
}

void CKorImgBase::CompleteChange(int32_t widthInBytes) {
  widthBytes_ = static_cast<int32_t>(RowBytes(bitsPerPixel_, width_, widthInBytes));
  bytesPerPixel_ = BytesPerPixelField(bitsPerPixel_);
  imageSize_ = static_cast<uint32_t>(int64_t{widthBytes_} * height_);

  uint8_t* memory = GetImageMemory();
  if (memory == nullptr) EmptyAndThrow("Can't initialize linearray!");
  std::unique_ptr<uint8_t*[]> lines(new (std::nothrow) uint8_t*[height_]);
  if (!lines) EmptyAndThrow("Can't initialize linearray!");
  for (int32_t y = 0; y < height_; ++y) lines[y] = memory + static_cast<std::size_t>(y) * widthBytes_;
  lineArray_ = std::move(lines);
  NotifyChanged();
}

// The image must never describe memory it no longer has: a change that cannot
// be completed leaves an empty image behind.
void CKorImgBase::EmptyAndThrow(const char* text) {
  FreeBlocks();
  CKorImgBase::Reset();
  throw CTextException(0, text);
}

void CKorImgBase::NotifyChanged() {
  // Whatever the listener does, the host reads the error text of this change.
  const std::string saved = errorText_;
  if (listener_) listener_->OnImageChanged();
  errorText_ = saved;
}

}  // namespace klem
