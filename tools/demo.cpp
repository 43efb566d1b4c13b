#include "demo.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "operations.h"
#include "png_io.h"

namespace klem_tool {
namespace {

constexpr int kWidth = 320, kHeight = 240;

struct Rgba {
  int r, g, b, a;
};

// Gradients, hard-edged shapes and one-pixel lines: what filters, dithering
// and interpolation show their differences on.
Rgba Scene(int x, int y) {
  if (x % 40 == 20 && y > 160) return {255, 255, 255, 255};
  if (std::abs(2 * x - 3 * y + 40) <= 1) return {0, 0, 0, 255};
  if (x >= 40 && x < 120 && y >= 40 && y < 110) return {250, 230, 40, 255};
  const int dx = x - 230, dy = y - 150;
  if (dx * dx + dy * dy < 55 * 55) return {40, 60, 200, 255};
  const int r = 255 * x / (kWidth - 1), g = 255 * y / (kHeight - 1);
  return {r, g, 255 - (r + g) / 2, 255 * x / (kWidth - 1)};
}

Rgba Rings(int x, int y) {
  const double d = std::hypot(x - kWidth / 2.0, y - kHeight / 2.0);
  const auto wave = [d](double phase) { return int(127.5 + 127.5 * std::sin(d / 7.0 + phase)); };
  return {wave(0), wave(2.1), wave(4.2), 255 * y / (kHeight - 1)};
}

Rgba Disc(int x, int y) {
  const int dx = x - kWidth / 2, dy = y - kHeight / 2;
  const int v = dx * dx + dy * dy < 90 * 90 ? 255 : 0;
  return {v, v, v, 255};
}

struct Picture {
  const char* name;
  uint32_t bitsPerPixel;
  Rgba (*pixel)(int x, int y);
};

const Picture kPictures[] = {
    {"colour", 24, Scene}, {"colour2", 24, Rings}, {"gray", 8, Scene},   {"bw", 1, Scene},
    {"rgba", 32, Scene},   {"rgba2", 32, Rings},   {"deep", 48, Scene},  {"deep-gray", 16, Scene},
    {"mask", 8, Disc},
};

// One representative call of every family, as it would be typed in the shell.
struct Step {
  const char* command;
  std::vector<const char*> inputs;
};

const Step kSteps[] = {
    {"add", {"colour", "colour2"}},
    {"subtract-constant --value 0x404040", {"colour"}},
    {"multiply --scale-factor 8", {"colour", "colour2"}},
    {"difference", {"colour", "colour2"}},
    {"xor", {"colour", "colour2"}},
    {"invert", {"colour"}},
    {"scale --count1 1 --count2 2 --count3 3", {"colour"}},
    {"hdr-scale-down", {"deep"}},
    {"hdr-scale-down", {"deep-gray"}},
    {"rgb-to-yuv", {"colour"}},
    {"rgb-to-xyz", {"colour"}},
    {"rgb-to-cmy", {"colour"}},
    {"rgb-to-bgr --flip 1", {"colour"}},
    {"grayscale-8bit", {"colour"}},
    {"convert-to-1bit --threshold 128", {"gray"}},
    {"gamma-correction", {"colour"}},
    {"look-up-table-8bit --levels 0,96,160,255 --values 0,200,40,255 --mode 2", {"gray"}},
    {"look-up-table", {"colour"}},
    {"threshold-lt-val-gt-val --lower 80 --lower-value 0 --upper 170 --upper-value 255", {"gray"}},
    {"threshold-gt --threshold 0x80c0ff", {"colour"}},
    {"erode", {"colour"}},
    {"dilate-ex --mask 0,0,1,0,0,0,0,1,0,0,1,1,1,1,1,0,0,1,0,0,0,0,1,0,0 --mask-width 5 --mask-height 5", {"gray"}},
    {"filter --number 7", {"colour"}},
    {"filter --number 9", {"colour"}},
    {"filter --number 17", {"gray"}},
    {"filter --number 23", {"colour"}},
    {"filter-user-defined --kernel -1,-1,-1,-1,8,-1,-1,-1,-1 --divisor 1", {"gray"}},
    {"antialias", {"colour"}},
    {"scale-to-gray --mode 1", {"bw"}},
    {"resize --width 160 --height 120 --mode area", {"colour"}},
    {"resize --width 480 --height 360 --mode nearest", {"colour"}},
    {"resize --width 480 --height 360 --mode linear", {"gray"}},
    {"resize --width 480 --height 360 --mode cubic", {"colour"}},
    {"resize --width 160 --height 120 --mode nearest", {"bw"}},
    {"mirror-horizontal", {"colour"}},
    {"mirror-vertical", {"gray"}},
    {"rotate --angle 30 --mode cubic", {"colour"}},
    {"rotate --angle 90 --mode exact", {"gray"}},
    {"rotate --angle -20 --mode nearest", {"bw"}},
    {"rotate-center --angle 15 --x 160 --y 120 --mode linear", {"colour"}},
    {"shear --x 0.3 --y 0.1 --mode linear", {"colour"}},
    {"warp-perspective --coeffs 1,0.2,0,0.05,1,0,0.001,0.0005,1 --mode cubic", {"colour"}},
    {"fill --value 0x3060c0", {"colour"}},
    {"crop --left 40 --top 30 --right 199 --bottom 149", {"colour"}},
    {"copy-with-const-border --left 16 --top 16 --right 16 --bottom 16 --value 0x203040", {"colour"}},
    {"copy-with-replicate-border --left 16 --top 16 --right 16 --bottom 16", {"colour"}},
    {"copy-with-mask", {"colour", "colour2", "mask"}},
    {"split-channels", {"colour"}},
    {"from-channels", {"gray", "mask", "gray"}},
    {"swap-channels --order 2,0,1", {"colour"}},
    {"alpha-overlay --type 0", {"rgba", "rgba2"}},
    {"alpha-premultiply", {"rgba"}},
    {"alpha-overlay-with-constant --alpha-a 160 --alpha-b 96 --type 0", {"colour", "colour2"}},
    {"apply-alpha-channel", {"rgba2", "mask"}},
    {"flood-fill --x 300 --y 10 --value 0 --lower 3 --upper 3", {"gray"}},
};

bool Paint(const Picture& picture, KLEM_HANDLE image) {
  if (KLEM_Create(image, kWidth, kHeight, picture.bitsPerPixel) != KLEM_OK) return false;
  void* memory = nullptr;
  int32_t step = 0;
  KLEM_GetImageMemory(image, &memory);
  KLEM_GetWidthBytes(image, &step);
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = static_cast<uint8_t*>(memory) + y * step;
    for (int x = 0; x < kWidth; ++x) {
      const Rgba p = picture.pixel(x, y);
      const int gray = (77 * p.r + 150 * p.g + 29 * p.b) >> 8;
      const int samples[4] = {p.r, p.g, p.b, p.a};
      switch (picture.bitsPerPixel) {
        case 1: row[x / 8] |= uint8_t((gray > 127) << (7 - x % 8)); break;  // first pixel in the top bit
        case 8: row[x] = uint8_t(gray); break;
        case 16: reinterpret_cast<uint16_t*>(row)[x] = uint16_t(gray * 257); break;
        case 48:
          for (int c = 0; c < 3; ++c) reinterpret_cast<uint16_t*>(row)[3 * x + c] = uint16_t(samples[c] * 257);
          break;
        default:
          for (uint32_t c = 0; c < picture.bitsPerPixel / 8; ++c) row[x * picture.bitsPerPixel / 8 + c] = uint8_t(samples[c]);
      }
    }
  }
  return true;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream stream(text);
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

std::string Images(const std::vector<std::string>& files) {
  std::string html;
  for (const std::string& file : files) html += "<img src=\"" + file + "\" title=\"" + file + "\"> ";
  return html;
}

// The operation's name, -2, -3... from its second step on, so that names stay
// when steps are added; .1, .2... for each of several outputs.
std::vector<std::string> OutputNames(const Operation& op, int use) {
  std::string name = op.name;
  if (use > 1) name.append("-").append(std::to_string(use));
  std::vector<std::string> names;
  for (int k = 1; k <= op.outputs; ++k) {
    names.push_back(op.outputs > 1 ? std::string(name).append(".").append(std::to_string(k)) : name);
    names.back() += ".png";
  }
  return names;
}

}  // namespace

int RunDemo(const std::string& dir) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) {
    std::fprintf(stderr, "klem demo: cannot make %s: %s\n", dir.c_str(), error.message().c_str());
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  for (const Picture& picture : kPictures) {
    Image image;
    const std::string path = dir + "/" + picture.name + ".png";
    const std::string why = Paint(picture, image.get()) ? WritePng(path, image.get()) : ErrorText(image.get());
    if (!why.empty()) {
      std::fprintf(stderr, "klem demo: cannot write %s: %s\n", path.c_str(), why.c_str());
      return 1;
    }
  }
  std::string rows;
  std::map<std::string, int> uses;
  int failures = 0;
  for (const Step& step : kSteps) {
    std::vector<std::string> args = Words(step.command);
    const Operation* op = FindOperation(args[0]);
    args.erase(args.begin());
    std::vector<std::string> inputs, outputs;
    for (const char* input : step.inputs) inputs.push_back(std::string(input) + ".png");
    if (op) outputs = OutputNames(*op, ++uses[op->name]);
    std::string shown = std::string("klem ") + step.command;
    for (const auto* files : {&inputs, &outputs}) {
      for (const std::string& file : *files) {
        shown += " " + file;
        args.push_back(dir + "/" + file);
      }
    }
    double seconds = 0;
    const int status = op ? RunOnFiles(*op, args, &seconds) : 2;
    failures += status != 0;
    char time[32];
    std::snprintf(time, sizeof time, "%.3f ms", seconds * 1e3);
    std::printf("%-100s %10s%s\n", shown.c_str(), time, status ? "  FAILED" : "");
    rows += "<tr><td><code>" + shown + "</code></td><td>" + time + "</td><td>" + Images(inputs) + "</td><td>" +
            (status ? "failed" : Images(outputs)) + "</td></tr>\n";
  }
  std::ofstream page(dir + "/index.html");
  page << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>klem demo</title>\n"
          "<style>body{font-family:sans-serif} td{vertical-align:top;padding:4px} img{width:160px;"
          "image-rendering:pixelated}</style></head>\n<body><h1>klem demo</h1>\n"
          "<table><tr><th>call</th><th>time</th><th>input</th><th>result</th></tr>\n"
       << rows << "</table></body></html>\n";
  if (!page) {
    std::fprintf(stderr, "klem demo: cannot write %s/index.html\n", dir.c_str());
    return 1;
  }
  const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%zu steps, %d failed, %.2f s; open %s/index.html\n", std::size(kSteps), failures, total, dir.c_str());
  return failures ? 1 : 0;
}

}  // namespace klem_tool
