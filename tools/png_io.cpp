#include "png_io.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace klem_tool {
namespace {

struct Layout {
  uint32_t bitsPerPixel;
  int colourType;
  int depth;
};

// The one table both directions read.
constexpr Layout kLayouts[] = {
    {1, PNG_COLOR_TYPE_GRAY, 1},  {8, PNG_COLOR_TYPE_GRAY, 8}, {16, PNG_COLOR_TYPE_GRAY, 16},
    {24, PNG_COLOR_TYPE_RGB, 8},  {48, PNG_COLOR_TYPE_RGB, 16}, {32, PNG_COLOR_TYPE_RGBA, 8},
};

const char* ColourTypeName(int type) {
  switch (type) {
    case PNG_COLOR_TYPE_GRAY: return "gray";
    case PNG_COLOR_TYPE_GRAY_ALPHA: return "gray with alpha";
    case PNG_COLOR_TYPE_RGB: return "RGB";
    case PNG_COLOR_TYPE_RGBA: return "RGBA";
    default: return "palette";
  }
}

class File {
 public:
  File(const std::string& path, const char* mode) : file_(std::fopen(path.c_str(), mode)) {}
  ~File() {
    if (file_) std::fclose(file_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  FILE* get() const { return file_; }

 private:
  FILE* file_;
};

// libpng reports a broken file by calling this and never coming back: the
// text goes to the caller's string, then the jump to Guarded.
void OnError(png_structp png, png_const_charp message) {
  static_cast<std::string*>(png_get_error_ptr(png))->assign(message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Runs body under libpng's error jump; false when libpng gave up. The jump
// skips body's frame, so body must own nothing that needs destroying.
template <typename Body>
bool Guarded(png_structp png, Body&& body) {
  if (setjmp(png_jmpbuf(png))) return false;
  body();
  return true;
}

struct Pixels {
  int32_t width = 0, height = 0, widthBytes = 0;
  uint32_t bitsPerPixel = 0;
  uint8_t* memory = nullptr;
};

Pixels PixelsOf(KLEM_HANDLE image) {
  Pixels p;
  void* memory = nullptr;
  KLEM_GetWidth(image, &p.width);
  KLEM_GetHeight(image, &p.height);
  KLEM_GetWidthBytes(image, &p.widthBytes);
  KLEM_GetBitsPerPixel(image, &p.bitsPerPixel);
  KLEM_GetImageMemory(image, &memory);
  p.memory = static_cast<uint8_t*>(memory);
  return p;
}

std::vector<png_bytep> RowsOf(const Pixels& p) {
  std::vector<png_bytep> rows(static_cast<std::size_t>(p.height));
  for (int32_t y = 0; y < p.height; ++y) rows[y] = p.memory + static_cast<std::size_t>(y) * p.widthBytes;
  return rows;
}

}  // namespace

std::string ErrorText(KLEM_HANDLE handle) {
  char text[KLEM_ERROR_BUFFER_SIZE] = "";
  KLEM_GetError(handle, text);
  return text;
}

std::string ReadPng(const std::string& path, KLEM_HANDLE image) {
  File file(path, "rb");
  if (!file.get()) return std::strerror(errno);
  png_byte signature[8] = {};
  if (std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
    return "not a PNG file";
  }
  std::string why;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &why, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return "out of memory";
  }
  std::vector<png_bytep> rows;
  const bool read = Guarded(png, [&] {
    png_init_io(png, file.get());
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    const int type = png_get_color_type(png, info);
    const int fileDepth = png_get_bit_depth(png, info);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_PALETTE && png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (type == PNG_COLOR_TYPE_GRAY && fileDepth < 8 && fileDepth > 1) png_set_expand_gray_1_2_4_to_8(png);
    // PNG samples are big-endian, klem's are in host order (x86-64: little).
    if (fileDepth == 16) png_set_swap(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int colourType = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    const Layout* layout = nullptr;
    for (const Layout& l : kLayouts) {
      if (l.colourType == colourType && l.depth == depth) layout = &l;
    }
    if (!layout) {
      why = std::string("unsupported PNG layout: ") + ColourTypeName(colourType) + " at " +
            std::to_string(depth) + " bits a sample";
      return;
    }
    const uint32_t width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    if (width > INT32_MAX || height > INT32_MAX ||
        KLEM_Create(image, int32_t(width), int32_t(height), layout->bitsPerPixel) != KLEM_OK) {
      why = ErrorText(image);
      return;
    }
    rows = RowsOf(PixelsOf(image));
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
  });
  png_destroy_read_struct(&png, &info, nullptr);
  if (!read && why.empty()) why = "damaged PNG file";
  return why;
}

std::string WritePng(const std::string& path, KLEM_HANDLE image) {
  const Pixels p = PixelsOf(image);
  const Layout* layout = nullptr;
  for (const Layout& l : kLayouts) {
    if (l.bitsPerPixel == p.bitsPerPixel) layout = &l;
  }
  if (!layout) return "format " + std::to_string(p.bitsPerPixel) + " has no PNG form";
  if (p.memory == nullptr || p.width < 1 || p.height < 1) return "the image is empty";
  File file(path, "wb");
  if (!file.get()) return std::strerror(errno);
  std::string why;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &why, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return "out of memory";
  }
  std::vector<png_bytep> rows = RowsOf(p);
  const bool written = Guarded(png, [&] {
    png_init_io(png, file.get());
    png_set_IHDR(png, info, uint32_t(p.width), uint32_t(p.height), layout->depth, layout->colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (layout->depth == 16) png_set_swap(png);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
  });
  png_destroy_write_struct(&png, &info);
  if (!written && why.empty()) why = "cannot write the PNG file";
  return why;
}

}  // namespace klem_tool
