// The image every operation reads and writes: one contiguous block of pixel
// memory, owned (allocated here) or borrowed (attached by the host), with the
// geometry that kernels need and the object's error text.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "frame/error_text.h"
#include "platform/display.h"

namespace klem {

// Listener of an image; an image can itself serve as another image's listener.
class IProgressNotification {
 public:
  virtual ~IProgressNotification() = default;
  virtual uint32_t OnProgress(int32_t done, int32_t total) = 0;
  virtual void OnStart() = 0;
  virtual void OnFinish() = 0;
  virtual void OnCancel() = 0;
  virtual void OnStatus(const char* text) = 0;
  virtual void OnImageChanged() = 0;
};

// One memory block of an image. Owned memory is released by Free; attached
// memory is only forgotten, never released.
class CMemoryBlock {
 public:
  CMemoryBlock() = default;
  CMemoryBlock(const CMemoryBlock&) = delete;
  CMemoryBlock& operator=(const CMemoryBlock&) = delete;
  ~CMemoryBlock() { Free(); }

  // Zero-filled, owned memory; false with `failure` describing why otherwise.
  bool Allocate(std::size_t size, CErrorText* failure) noexcept;
  void Free() noexcept;
  void Attach(void* memory) noexcept;
  void Swap(CMemoryBlock& other) noexcept {
    std::swap(owns_, other.owns_);
    std::swap(memory_, other.memory_);
  }

  uint8_t* Memory() const { return memory_; }
  bool OwnsMemory() const { return owns_ != 0; }

 private:
  uint32_t owns_ = 1;
  uint8_t* memory_ = nullptr;
};

struct PaletteEntry {
  uint8_t blue, green, red, alpha;
};

// Colour table of the palette formats 1, 8, 9 and 16.
class CPalette {
 public:
  // The table of a format with `count` entries: 2, 256 or 65536.
  void Build(uint32_t count);
  void Free() noexcept { std::vector<PaletteEntry>().swap(entries_); }
  void Swap(CPalette& other) noexcept { entries_.swap(other.entries_); }
  uint32_t Count() const { return static_cast<uint32_t>(entries_.size()); }
  const PaletteEntry* Entries() const { return entries_.empty() ? nullptr : entries_.data(); }

 private:
  std::vector<PaletteEntry> entries_;
};

class CKorImgBase : public IProgressNotification {
 public:
  explicit CKorImgBase(IProgressNotification* listener = nullptr);
  CKorImgBase(const CKorImgBase&) = delete;
  CKorImgBase& operator=(const CKorImgBase&) = delete;
  ~CKorImgBase() override;

  // An image as a listener of another image does nothing.
  uint32_t OnProgress(int32_t, int32_t) override { return 1; }
  void OnStart() override {}
  void OnFinish() override {}
  void OnCancel() override {}
  void OnStatus(const char*) override {}
  void OnImageChanged() override {}

  virtual int32_t GetClassType() const = 0;
  virtual void Reset();
  virtual void Clear();
  virtual void OnBeforeChange() {}
  virtual bool Create(int32_t width, int32_t height, uint32_t bitsPerPixel);

  bool AttachNoFree(void* memory, uint32_t sizeInBytes, int32_t width, int32_t height,
                    uint32_t bitsPerPixel);
  bool AttachNoFreeEx(void* memory, uint32_t sizeInBytes, int32_t width, int32_t height,
                      int32_t widthInBytes, uint32_t bitsPerPixel);

  int32_t GetWidth() const { return width_; }
  int32_t GetHeight() const { return height_; }
  uint32_t GetBitsPerPixel() const { return bitsPerPixel_; }
  int32_t GetWidthBytes() const { return widthBytes_; }
  int32_t GetBytesPerPixel() const { return bytesPerPixel_; }
  uint32_t GetImageSizeInBytes() const { return imageSize_; }
  uint8_t* GetImageMemory() const;
  // Start of row y; valid for 0 <= y < height.
  uint8_t* Line(int32_t y) const { return lineArray_[y]; }
  const CPalette& GetPalette() const { return palette_; }
  platform::Resolution GetResolution() const { return resolution_; }

  std::string_view GetErrorText() const { return errorText_.View(); }
  void SetErrorText(std::string_view text) noexcept { errorText_.Assign(text); }

 private:
  struct PendingImage;
  enum class Block { kNone, kBit, kByte, kColour };
  static Block BlockOf(uint32_t bitsPerPixel);
  CMemoryBlock* BlockFor(uint32_t bitsPerPixel);
  void FreeBlocks() noexcept;
  bool Attach(void* memory, uint32_t sizeInBytes, int32_t width, int32_t height,
              int32_t widthInBytes, uint32_t bitsPerPixel, bool acceptRowLength);
  bool Refuse(const char* text) noexcept;
  // Puts a completely built image in place of the current one with moves and
  // swaps that cannot fail, so a change happens whole or not at all; then
  // tells the listener.
  void Commit(PendingImage& image);
  [[noreturn]] void EmptyAndThrow(const char* text);
  void NotifyChanged();

  IProgressNotification* listener_;
  CMemoryBlock bitBlock_;
  CMemoryBlock byteBlock_;
  CMemoryBlock colourBlock_;
  CPalette palette_;
  uint32_t bitsPerPixel_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t widthBytes_ = 0;
  int32_t bytesPerPixel_ = 0;
  uint32_t imageSize_ = 0;
  platform::Resolution resolution_ = platform::ScreenResolution();
  std::unique_ptr<uint8_t*[]> lineArray_;
  CErrorText errorText_;
};

}  // namespace klem
