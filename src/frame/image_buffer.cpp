#include "frame/image_buffer.h"

#include <limits>
#include <memory>
#include <new>
#include <optional>

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

// Bytes per row without padding; at most 6 * INT32_MAX, so 64 bits hold it.
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

struct Extent {
  int32_t rowBytes;
  uint32_t imageBytes;
};

// Row length and size of an image, or nothing when they do not fit the 32-bit
// fields. The row is checked before it is multiplied, so the product of two
// values below 2^31 cannot wrap in 64 unsigned bits.
std::optional<Extent> ExtentOf(uint32_t bpp, int32_t width, int32_t height, int32_t widthInBytes) {
  const int64_t row = RowBytes(bpp, width, widthInBytes);
  if (row < 0 || row > std::numeric_limits<int32_t>::max() || height < 0) return std::nullopt;
  const uint64_t bytes = static_cast<uint64_t>(row) * static_cast<uint64_t>(height);
  if (bytes > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  return Extent{static_cast<int32_t>(row), static_cast<uint32_t>(bytes)};
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

// Row pointers of an image; null when the heap refuses them.
std::unique_ptr<uint8_t*[]> LineArray(uint8_t* memory, int32_t rowBytes, int32_t height) noexcept {
  std::unique_ptr<uint8_t*[]> lines(new (std::nothrow) uint8_t*[static_cast<std::size_t>(height)]);
  if (lines) {
    for (int32_t y = 0; y < height; ++y) lines[y] = memory + static_cast<std::size_t>(y) * rowBytes;
  }
  return lines;
}

}  // namespace

bool CMemoryBlock::Allocate(std::size_t size, CErrorText* failure) noexcept {
  Free();
  memory_ = static_cast<uint8_t*>(platform::AllocateZeroed(size));
  if (memory_ == nullptr && failure) {
    failure->Format("Out of memory error allocating %lld bytes! %s", static_cast<long long>(size),
                    platform::RefusalText());
  }
  return memory_ != nullptr;
}

void CMemoryBlock::Free() noexcept {
  if (owns_ && memory_) platform::Release(memory_);
  memory_ = nullptr;
  owns_ = 1;
}

void CMemoryBlock::Attach(void* memory) noexcept {
  Free();
  memory_ = static_cast<uint8_t*>(memory);
  owns_ = 0;
}

void CPalette::Build(uint32_t count) {
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
  entries_.swap(entries);
}

// A new image made aside: memory, table, line array and geometry. Only when it
// is complete does Commit put it in place of the current one.
struct CKorImgBase::PendingImage {
  // Builds the colour table the format needs unless the image already has it;
  // may throw, while nothing of the image has changed.
  PendingImage(uint32_t bpp, const CPalette& current) : bitsPerPixel(bpp) {
    const uint32_t entries = PaletteEntriesFor(bpp);
    if (entries != 0 && entries != current.Count()) palette.Build(entries);
  }

  // Owned, zero-filled memory of width x height with its line array.
  bool Allocate(int32_t w, int32_t h) noexcept {
    const std::optional<Extent> extent = ExtentOf(bitsPerPixel, w, h, 0);
    // Create reports a refusal with its own text, so the heap's description is not asked for.
    if (!extent || !block.Allocate(extent->imageBytes, nullptr)) return false;
    lines = LineArray(block.Memory(), extent->rowBytes, h);
    if (!lines) return false;
    Describe(w, h, *extent);
    return true;
  }
  void Describe(int32_t w, int32_t h, const Extent& extent) noexcept {
    width = w;
    height = h;
    widthBytes = extent.rowBytes;
    imageSize = extent.imageBytes;
  }

  uint32_t bitsPerPixel;
  int32_t width = 0, height = 0, widthBytes = 0;
  uint32_t imageSize = 0;
  CMemoryBlock block;
  CPalette palette;  // empty: the image keeps the table it has
  std::unique_ptr<uint8_t*[]> lines;
};

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

void CKorImgBase::FreeBlocks() noexcept {
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

bool CKorImgBase::Refuse(const char* text) noexcept {
  errorText_.Assign(text);
  return false;
}

bool CKorImgBase::Create(int32_t width, int32_t height, uint32_t bitsPerPixel) {
  errorText_.Clear();
  // The product is taken in 32 bits on purpose: a size whose product wraps to 0 is refused.
  const uint32_t product = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
  OnBeforeChange();
  if (product == 0 || width < 1 || height < 1) return Refuse(kInvalidSize);
  if (!IsCreatableFormat(bitsPerPixel)) return Refuse(kInvalidFormat);

  PendingImage image(bitsPerPixel, palette_);
  if (image.Allocate(width, height)) {
    Commit(image);
    return true;
  }
  // Keep a usable 1 x 1 image so the handle stays consistent, and say what was asked for.
  if (!image.Allocate(1, 1)) EmptyAndThrow("Can't allocate image! Out of memory!");
  errorText_.Format("Can't allocate image in the size of %d x %d!", width, height);
  Commit(image);
  return false;
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
  errorText_.Clear();
  if (!(width >= 1 && height > 0)) return Refuse(kInvalidSize);
  if (!IsKnownFormat(bitsPerPixel) || (bitsPerPixel == 25 && !acceptRowLength)) {
    return Refuse(kInvalidFormat);
  }
  const std::optional<Extent> extent = ExtentOf(bitsPerPixel, width, height, widthInBytes);
  if (!extent || extent->imageBytes != sizeInBytes) return Refuse(kInvalidImageSize);
  // Both checked before anything changes, so a refused attach leaves the image as it was.
  if (bitsPerPixel == 25 && extent->rowBytes < int64_t{width} * 3) {
    throw CTextException(0, "Invalid width in bytes specified!");
  }
  if (memory == nullptr) throw CTextException(0, "Can't initialize linearray!");

  PendingImage image(bitsPerPixel, palette_);
  image.block.Attach(memory);
  image.lines = LineArray(image.block.Memory(), extent->rowBytes, height);
  if (!image.lines) throw std::bad_alloc();
  image.Describe(width, height, *extent);
  resolution_ = platform::ScreenResolution();
  OnBeforeChange();
  Commit(image);
  return true;
}

void CKorImgBase::Commit(PendingImage& image) {
  FreeBlocks();
  BlockFor(image.bitsPerPixel)->Swap(image.block);
  if (image.palette.Count() != 0) palette_.Swap(image.palette);
  bitsPerPixel_ = image.bitsPerPixel;
  width_ = image.width;
  height_ = image.height;
  widthBytes_ = image.widthBytes;
  bytesPerPixel_ = BytesPerPixelField(image.bitsPerPixel);
  imageSize_ = image.imageSize;
  lineArray_ = std::move(image.lines);
  NotifyChanged();
}

// The image must never describe memory it no longer has: when not even the
// smallest image can be made, it is left empty.
void CKorImgBase::EmptyAndThrow(const char* text) {
  FreeBlocks();
  CKorImgBase::Reset();
  throw CTextException(0, text);
}

void CKorImgBase::NotifyChanged() {
  // Whatever the listener does, the host reads the error text of this change.
  const CErrorText saved = errorText_;
  if (listener_) listener_->OnImageChanged();
  errorText_ = saved;
}

}  // namespace klem
