// The program's subcommands: one row of the operation table for each exported
// image operation, and what reads options, makes the destinations and runs a row.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "klem/klem.h"
#include "png_io.h"

namespace klem_tool {

enum class Kind { kInt, kUint, kDouble, kInts, kDoubles };

struct Option {
  const char* name;      // given as --name VALUE
  const char* fallback;  // the value when it is not given
  Kind kind;
  const char* help;
  const char* words = nullptr;  // words that stand for numbers: "step=0,linear=1"
};

struct Shape {
  int32_t width;
  int32_t height;
  uint32_t bitsPerPixel;
};

struct Run;
// Size and format of the new destinations, or nothing with the reason in a
// handle's error text. A null rule: the operation works in place on the first input.
using ShapeRule = std::optional<Shape> (*)(const Run&);
using Call = uint32_t (*)(const Run&);

struct Operation {
  const char* name;
  const char* summary;
  int inputs;
  int outputs;
  ShapeRule shape;
  Call call;
  std::vector<Option> options;
};

// An operation with its option values and images, as the call sees it.
struct Run {
  const Operation* op = nullptr;
  std::vector<std::string> values;  // one for each of op->options
  int32_t scaleFactor = 0;
  std::vector<KLEM_HANDLE> in, out;

  KLEM_HANDLE dst() const { return out[0]; }
  int32_t Int(const char* name) const;
  uint32_t Uint(const char* name) const;
  double Double(const char* name) const;
  std::vector<int32_t> Ints(const char* name) const;
  std::vector<double> Doubles(const char* name) const;
};

const std::vector<Operation>& Operations();
const Operation* FindOperation(const std::string& name);

std::string Usage(const Operation& op);

// Fills run's option values from args (--name VALUE pairs anywhere) and
// returns the other arguments, the files; false with the reason on a mistake.
bool ParseArguments(const Operation& op, const std::vector<std::string>& args, Run* run,
                    std::vector<std::string>* files, std::string* why);

// Makes the destinations (kept in made) and runs the call on run.in; the
// time of the call alone goes to *seconds. Returns the library's error text
// when something failed, else the empty text.
std::string Execute(Run& run, std::vector<Image>& made, double* seconds);

// The subcommand on files: reads the inputs, runs, writes the outputs.
// Returns the exit status: 0 done, 1 a failing call or a PNG that could not
// be read or written (the text on stderr), 2 a usage mistake (the usage on
// stderr). The call's time goes to *seconds.
int RunOnFiles(const Operation& op, const std::vector<std::string>& args, double* seconds);

}  // namespace klem_tool
