// The klem program against the library it drives: each family once on small
// generated PNG files, compared byte for byte with the library's own result
// (PNG keeps every bit), the error paths, every table row, and the demo.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

#include "operations.h"
#include "png_io.h"

namespace klem_tool {
namespace {

namespace fs = std::filesystem;
using Handles = std::vector<KLEM_HANDLE>;

// An odd width leaves unused bits in 1-bit rows.
constexpr int32_t kWidth = 21, kHeight = 13;

// Clears the bits past the width in every 1-bit row, which no PNG file keeps.
void ClearUnusedBits(uint8_t* bytes, int32_t step, int32_t width, int32_t height) {
  for (int32_t y = 0; y < height; ++y) bytes[y * step + step - 1] &= uint8_t(0xFF << (8 * step - width));
}

// The pixels of an image as a PNG file holds them.
std::vector<uint8_t> Bytes(KLEM_HANDLE image) {
  void* memory = nullptr;
  uint32_t size = 0, bitsPerPixel = 0;
  int32_t step = 0, width = 0, height = 0;
  KLEM_GetImageMemory(image, &memory);
  KLEM_GetImageSizeInBytes(image, &size);
  KLEM_GetBitsPerPixel(image, &bitsPerPixel);
  KLEM_GetWidthBytes(image, &step);
  KLEM_GetWidth(image, &width);
  KLEM_GetHeight(image, &height);
  const uint8_t* bytes = static_cast<const uint8_t*>(memory);
  std::vector<uint8_t> pixels(bytes, bytes + size);
  if (bitsPerPixel == 1) ClearUnusedBits(pixels.data(), step, width, height);
  return pixels;
}

// Pseudo-random pixels, the same for a given seed, each at least low.
void Generate(KLEM_HANDLE image, uint32_t bitsPerPixel, uint32_t seed, uint8_t low = 0) {
  ASSERT_EQ(KLEM_Create(image, kWidth, kHeight, bitsPerPixel), KLEM_OK);
  void* memory = nullptr;
  int32_t step = 0;
  KLEM_GetImageMemory(image, &memory);
  KLEM_GetWidthBytes(image, &step);
  uint8_t* bytes = static_cast<uint8_t*>(memory);
  for (int32_t i = 0; i < step * kHeight; ++i) bytes[i] = uint8_t((seed = seed * 1103515245u + 12345u) >> 23) | low;
  if (bitsPerPixel == 1) ClearUnusedBits(bytes, step, kWidth, kHeight);
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("klem-cli-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // Runs the program in the folder; returns the exit status, stderr in *err.
  int Klem(const std::string& args, std::string* err = nullptr) const {
    const std::string command = "cd '" + dir_.string() + "' && '" KLEM_PROGRAM "' " + args + " 2> err.txt >/dev/null";
    const int status = std::system(command.c_str());
    std::ifstream file(dir_ / "err.txt");
    std::stringstream text;
    text << file.rdbuf();
    if (err) *err = text.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path dir_;
};

struct Case {
  const char* command;                 // the subcommand and its options
  std::vector<uint32_t> inputs;        // formats of the generated inputs
  int outputs;                         // results compared
  // The library's result on the same inputs: in-place calls change in[0],
  // the others fill out (created by the lambda).
  std::function<uint32_t(const Handles& in, std::vector<Image>& out)> expected;
};

uint32_t Into(std::vector<Image>& out, KLEM_HANDLE like, uint32_t bitsPerPixel, int32_t w = kWidth, int32_t h = kHeight) {
  out.emplace_back();
  if (bitsPerPixel == 0) KLEM_GetBitsPerPixel(like, &bitsPerPixel);
  return KLEM_Create(out.back().get(), w, h, bitsPerPixel);
}

const Case kCases[] = {
    {"add-constant --value 0x050A0F", {24}, 1, [](const Handles& in, auto&) { return KLEM_AddConstant(in[0], 0x050A0F); }},
    {"subtract --scale-factor 1", {8, 8}, 1,
     [](const Handles& in, auto&) { KLEM_SetScaleFactor(in[0], 1); return KLEM_Subtract(in[0], in[1]); }},
    {"xor-constant --value 90", {8}, 1, [](const Handles& in, auto&) { return KLEM_XorConstant(in[0], 90); }},
    {"invert", {1}, 1, [](const Handles& in, auto&) { return KLEM_Invert(in[0]); }},
    {"scale --count1 3 --direction 1", {16}, 1, [](const Handles& in, auto&) { return KLEM_Scale(in[0], 3, 1, 1, 1); }},
    {"hdr-scale-down", {48}, 1, [](const Handles& in, auto& out) { return Into(out, in[0], 24) | KLEM_HDRScaleDown(out[0].get(), in[0]); }},
    {"rgb-to-ycc", {24}, 1, [](const Handles& in, auto& out) { return Into(out, in[0], 0) | KLEM_RGBtoYCC(out[0].get(), in[0]); }},
    {"rgba-to-bgra --flip 1", {32}, 1,
     [](const Handles& in, auto& out) {
       void *from = nullptr, *to = nullptr;
       Into(out, in[0], 0);
       KLEM_GetImageMemory(in[0], &from);
       KLEM_GetImageMemory(out[0].get(), &to);
       return KLEM_RGBAtoBGRA(in[0], static_cast<uint8_t*>(from), 4 * kWidth, static_cast<uint8_t*>(to), 4 * kWidth, kWidth, kHeight, 1);
     }},
    {"convert-to-1bit --threshold 100", {8}, 1, [](const Handles& in, auto& out) { return Into(out, in[0], 1) | KLEM_ConvertTo1Bit(out[0].get(), in[0], 100); }},
    {"scale-to-gray --mode 0", {1}, 1, [](const Handles& in, auto& out) { return Into(out, in[0], 8) | KLEM_ScaleToGray(out[0].get(), in[0], 0); }},
    {"look-up-table-8bit --levels 0,100,255 --values 0,50,255 --mode cubic", {8}, 1,
     [](const Handles& in, auto& out) {
       const int32_t levels[] = {0, 100, 255}, values[] = {0, 50, 255};
       return Into(out, in[0], 0) | KLEM_LookUpTable8Bit(out[0].get(), in[0], values, levels, 3, 2);
     }},
    {"threshold-lt-val-gt-val --lower 50 --lower-value 1 --upper 200 --upper-value 254", {24}, 1,
     [](const Handles& in, auto&) { return KLEM_ThresholdLTValGTVal(in[0], 50, 1, 200, 254); }},
    {"dilate-ex --mask 1,0,1,0,1,0 --mask-width 3 --mask-height 2", {8}, 1,
     [](const Handles& in, auto&) { const uint8_t mask[] = {1, 0, 1, 0, 1, 0}; return KLEM_DilateEx(in[0], mask, 3, 2); }},
    {"filter --number 23", {24}, 1, [](const Handles& in, auto& out) { return Into(out, in[0], 0) | KLEM_Filter(out[0].get(), 23, in[0]); }},
    {"filter-user-defined --kernel 1,2,3,4 --kernel-width 2 --kernel-height 2 --anchor-column 0 --anchor-row 1 --divisor 10", {8}, 1,
     [](const Handles& in, auto& out) {
       const int32_t kernel[] = {1, 2, 3, 4};
       return Into(out, in[0], 0) | KLEM_FilterUserDefined(out[0].get(), in[0], kernel, 2, 2, 0, 1, 10);
     }},
    {"crop --left 12 --top 2 --right 3 --bottom 9", {24}, 1,
     [](const Handles& in, auto& out) { return Into(out, in[0], 0, 10, 8) | KLEM_Crop(out[0].get(), in[0], 12, 2, 3, 9); }},
    {"copy-with-const-border --left 2 --top 1 --right 3 --bottom 4 --value 0x112233", {24}, 1,
     [](const Handles& in, auto& out) { return Into(out, in[0], 0, kWidth + 5, kHeight + 5) | KLEM_CopyWithConstBorder(out[0].get(), in[0], 2, 1, 0x112233); }},
    {"split-channels", {24}, 3,
     [](const Handles& in, auto& out) {
       for (int c = 0; c < 3; ++c) Into(out, in[0], 8);
       return KLEM_SplitChannels(in[0], out[0].get(), out[1].get(), out[2].get());
     }},
    {"from-channels-rgba", {8, 8, 8, 8}, 1,
     [](const Handles& in, auto& out) { return Into(out, in[0], 32) | KLEM_FromChannelsRGBA(out[0].get(), in[0], in[1], in[2], in[3]); }},
    {"alpha-overlay --type atop", {32, 32}, 1,
     [](const Handles& in, auto& out) { return Into(out, in[0], 0) | KLEM_AlphaOverlay(out[0].get(), in[0], in[1], 3); }},
    {"resize --width 30 --height 7 --mode cubic", {24}, 1,
     [](const Handles& in, auto& out) { return Into(out, in[0], 0, 30, 7) | KLEM_Resize(out[0].get(), in[0], 30, 7, 2); }},
    {"mirror-vertical", {8}, 1, [](const Handles& in, auto&) { return KLEM_MirrorVertical(in[0]); }},
    // A 1-bit rotation by 0 spans one pixel less than the source.
    {"rotate --angle 0 --mode nearest", {1}, 1,
     [](const Handles& in, auto& out) { return Into(out, in[0], 1, kWidth - 1, kHeight - 1) | KLEM_Rotate(out[0].get(), in[0], 0, 3); }},
    {"shear --x 0.5 --y 0", {24}, 1,
     [](const Handles& in, auto& out) { return Into(out, in[0], 0, kWidth + 6, kHeight) | KLEM_Shear(out[0].get(), in[0], 0.5, 0, 1); }},
    {"warp-perspective --coeffs 2,0,0,0,1,0,0,0,1 --mode nearest", {8}, 1,
     [](const Handles& in, auto& out) {
       const double c[] = {2, 0, 0, 0, 1, 0, 0, 0, 1};
       return Into(out, in[0], 0, 2 * kWidth - 1, kHeight) | KLEM_WarpPerspective(out[0].get(), in[0], c, 9, 3);
     }},
    {"flood-fill --x 5 --y 6 --value 9 --lower 20 --upper 60 --connectivity 1", {8}, 1,
     [](const Handles& in, auto&) { return KLEM_FloodFill(in[0], 5, 6, 9, 20, 60, 1); }},
};

TEST_F(Cli, EachFamilyGivesTheLibrarysBytes) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.command);
    std::vector<Image> inputs(c.inputs.size());
    Handles in;
    std::string files;
    for (std::size_t i = 0; i < c.inputs.size(); ++i) {
      Generate(inputs[i].get(), c.inputs[i], uint32_t(7 + i));
      const std::string name = "in" + std::to_string(i) + ".png";
      ASSERT_EQ(WritePng(Path(name), inputs[i].get()), "");
      files += " " + name;
      in.push_back(inputs[i].get());
    }
    for (int k = 0; k < c.outputs; ++k) files += " out" + std::to_string(k) + ".png";
    ASSERT_EQ(Klem(std::string(c.command) + files), 0);
    std::vector<Image> expected;
    ASSERT_EQ(c.expected(in, expected), KLEM_OK);
    for (int k = 0; k < c.outputs; ++k) {
      Image result;
      ASSERT_EQ(ReadPng(Path("out" + std::to_string(k) + ".png"), result.get()), "");
      EXPECT_EQ(Bytes(result.get()), Bytes(expected.empty() ? in[0] : expected[k].get()));
    }
  }
}

TEST_F(Cli, ErrorsSayWhatAndExitWithTheirStatus) {
  Image rgba, gray;
  Generate(rgba.get(), 32, 1);
  Generate(gray.get(), 8, 2);
  ASSERT_EQ(WritePng(Path("rgba.png"), rgba.get()), "");
  ASSERT_EQ(WritePng(Path("gray.png"), gray.get()), "");
  std::ofstream(Path("text.png")) << "not an image";
  const std::string whole = [&] { std::stringstream s; s << std::ifstream(Path("gray.png")).rdbuf(); return s.str(); }();
  std::ofstream(Path("cut.png")) << whole.substr(0, whole.size() / 2);
  // The library's own texts for a wrong format and a failing call.
  KLEM_AddConstant(rgba.get(), 1);
  KLEM_DivideConstant(gray.get(), 0);
  const struct {
    std::string args;
    int status;
    std::string err;  // the start of stderr
  } cases[] = {
      {"invert missing.png out.png", 1, "klem invert: cannot read missing.png: No such file or directory\n"},
      {"invert text.png out.png", 1, "klem invert: cannot read text.png: not a PNG file\n"},
      {"invert cut.png out.png", 1, "klem invert: cannot read cut.png: "},
      {"invert gray.png no/such/dir.png", 1, "klem invert: cannot write no/such/dir.png: No such file or directory\n"},
      {"add-constant rgba.png out.png", 1, "klem add-constant: " + ErrorText(rgba.get()) + "\n"},
      {"divide-constant --value 0 gray.png out.png", 1, "klem divide-constant: " + ErrorText(gray.get()) + "\n"},
      // The count's text lands on the source's object.
      {"warp-perspective --coeffs 1,0,0,0,1,0,0,0 gray.png out.png", 1, "klem warp-perspective: coeffs must be an array of 9 double values!\n"},
      {"add-constant --bogus 1 gray.png out.png", 2, "klem add-constant: unknown option --bogus\nusage: klem add-constant"},
      {"add-constant --value 1x gray.png out.png", 2, "klem add-constant: bad value for --value: 1x\nusage:"},
      {"add-constant gray.png out.png --value", 2, "klem add-constant: option --value needs a value\nusage:"},
      {"invert gray.png", 2, "klem invert: expected 2 files, got 1\nusage: klem invert [options] INPUT.png OUTPUT.png\n"},
      {"frobnicate", 2, "klem: no operation frobnicate\nusage:"},
      {"help frobnicate", 2, "klem: no operation frobnicate"},
      {"demo a b", 2, "klem: too many arguments for demo\nusage:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    std::string err;
    EXPECT_EQ(Klem(c.args, &err), c.status);
    EXPECT_EQ(err.substr(0, c.err.size()), c.err);
  }
  EXPECT_NE(ErrorText(gray.get()), "");
  EXPECT_FALSE(fs::exists(Path("out.png")));
}

// Every row, on every format, runs its defaults to a result or to a library
// error: never to a fault of the table, and some format always works.
TEST(Operations, EveryRowRunsItsDefaults) {
  for (const Operation& op : Operations()) {
    SCOPED_TRACE(op.name);
    int done = 0;
    for (uint32_t format : {1u, 8u, 16u, 24u, 32u, 48u}) {
      for (uint32_t others : {format, 8u}) {
        std::vector<Image> images(std::size_t(op.inputs)), made;
        klem_tool::Run run;
        const std::vector<std::string> args(std::size_t(op.inputs + op.outputs), "f.png");
        std::vector<std::string> files;
        std::string why;
        ASSERT_TRUE(ParseArguments(op, args, &run, &files, &why)) << why;
        for (int i = 0; i < op.inputs; ++i) {
          Generate(images[i].get(), i == 0 ? format : others, 3, 1);  // no zero divisors
          run.in.push_back(images[i].get());
        }
        double seconds = 0;
        why = Execute(run, made, &seconds);
        EXPECT_EQ(why.find("does not declare"), std::string::npos) << why;
        done += why.empty();
      }
    }
    EXPECT_GT(done, 0);
  }
}

TEST_F(Cli, DemoWritesEveryPictureItShows) {
  ASSERT_EQ(Klem("demo gallery"), 0);
  std::stringstream page;
  page << std::ifstream(Path("gallery/index.html")).rdbuf();
  const std::string html = page.str();
  const std::regex source("src=\"([^\"]+)\"");
  int shown = 0;
  for (auto m = std::sregex_iterator(html.begin(), html.end(), source); m != std::sregex_iterator(); ++m, ++shown) {
    Image image;
    EXPECT_EQ(ReadPng(Path("gallery/" + (*m)[1].str()), image.get()), "") << (*m)[1];
  }
  EXPECT_GT(shown, 80);
}

}  // namespace
}  // namespace klem_tool
