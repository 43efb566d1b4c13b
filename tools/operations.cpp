#include "operations.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace klem_tool {
namespace {

// Every number is read whole, in decimal or with 0x in hexadecimal.
bool ParseInteger(const std::string& text, long long low, long long high, long long* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  *value = std::strtoll(text.c_str(), &end, 0);
  return errno == 0 && *end == '\0' && *value >= low && *value <= high;
}

bool ParseReal(const std::string& text, double* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  *value = std::strtod(text.c_str(), &end);
  return errno == 0 && *end == '\0';
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream stream(text);
  for (std::string item; std::getline(stream, item, ',');) items.push_back(item);
  return items;
}

bool Valid(Kind kind, const std::string& text) {
  long long integer = 0;
  double real = 0;
  switch (kind) {
    case Kind::kInt: return ParseInteger(text, INT32_MIN, INT32_MAX, &integer);
    case Kind::kUint: return ParseInteger(text, 0, UINT32_MAX, &integer);
    case Kind::kDouble: return ParseReal(text, &real);
    case Kind::kInts:
    case Kind::kDoubles:
      for (const std::string& item : SplitList(text)) {
        if (!Valid(kind == Kind::kInts ? Kind::kInt : Kind::kDouble, item)) return false;
      }
      return !text.empty();
  }
  return false;
}

// The number a word of the option stands for, else the value itself.
std::string Resolve(const Option& option, const std::string& value) {
  for (const std::string& pair : SplitList(option.words ? option.words : "")) {
    const std::size_t equals = pair.find('=');
    if (pair.compare(0, equals, value) == 0) return pair.substr(equals + 1);
  }
  return value;
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::kInt: case Kind::kUint: return "N";
    case Kind::kDouble: return "X";
    case Kind::kInts: return "N,N,...";
    case Kind::kDoubles: return "X,X,...";
  }
  return "";
}

// The first error text of the destinations, then of the inputs: most calls
// store it on the handle, a few on the source they were given.
std::string LibraryError(const Run& run, uint32_t status) {
  for (const auto* handles : {&run.out, &run.in}) {
    for (KLEM_HANDLE handle : *handles) {
      std::string text = ErrorText(handle);
      if (!text.empty()) return text;
    }
  }
  return "the call failed with status " + std::to_string(status);
}

const std::string& TextOf(const Run& run, const char* name) {
  for (std::size_t i = 0; i < run.op->options.size(); ++i) {
    if (std::string(run.op->options[i].name) == name) return run.values[i];
  }
  throw std::logic_error(std::string(run.op->name) + " asks for --" + name + ", which its row does not declare");
}

}  // namespace

int32_t Run::Int(const char* name) const { return int32_t(std::strtoll(TextOf(*this, name).c_str(), nullptr, 0)); }
uint32_t Run::Uint(const char* name) const { return uint32_t(std::strtoull(TextOf(*this, name).c_str(), nullptr, 0)); }
double Run::Double(const char* name) const { return std::strtod(TextOf(*this, name).c_str(), nullptr); }

std::vector<int32_t> Run::Ints(const char* name) const {
  std::vector<int32_t> values;
  for (const std::string& item : SplitList(TextOf(*this, name))) values.push_back(int32_t(std::strtoll(item.c_str(), nullptr, 0)));
  return values;
}

std::vector<double> Run::Doubles(const char* name) const {
  std::vector<double> values;
  for (const std::string& item : SplitList(TextOf(*this, name))) values.push_back(std::strtod(item.c_str(), nullptr));
  return values;
}

const Operation* FindOperation(const std::string& name) {
  for (const Operation& op : Operations()) {
    if (name == op.name) return &op;
  }
  return nullptr;
}

std::string Usage(const Operation& op) {
  std::string text = "usage: klem " + std::string(op.name) + " [options]";
  for (int i = 0; i < op.inputs; ++i) text += op.inputs == 1 ? " INPUT.png" : " INPUT" + std::to_string(i + 1) + ".png";
  for (int i = 0; i < op.outputs; ++i) text += op.outputs == 1 ? " OUTPUT.png" : " OUTPUT" + std::to_string(i + 1) + ".png";
  text += "\n  " + std::string(op.summary) + (op.shape ? "" : " (in place: the output is the first input changed)") + "\n";
  for (const Option& option : op.options) {
    text += "  --" + std::string(option.name) + " " + KindName(option.kind) + "  " + option.help;
    if (option.words) text += std::string("; or ") + option.words;
    text += " (default " + std::string(option.fallback) + ")\n";
  }
  text += "  --scale-factor N  results times 2^-N in the integer kernels (default 0)\n";
  return text;
}

bool ParseArguments(const Operation& op, const std::vector<std::string>& args, Run* run,
                    std::vector<std::string>* files, std::string* why) {
  run->op = &op;
  run->values.clear();
  for (const Option& option : op.options) run->values.push_back(option.fallback);
  files->clear();
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i].rfind("--", 0) != 0) {
      files->push_back(args[i]);
      continue;
    }
    const std::string name = args[i].substr(2);
    if (i + 1 == args.size()) {
      *why = "option --" + name + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    if (name == "scale-factor") {
      long long factor = 0;
      if (!ParseInteger(value, INT32_MIN, INT32_MAX, &factor)) {
        *why = "bad value for --scale-factor: " + value;
        return false;
      }
      run->scaleFactor = int32_t(factor);
      continue;
    }
    std::size_t k = 0;
    while (k < op.options.size() && name != op.options[k].name) ++k;
    if (k == op.options.size()) {
      *why = "unknown option --" + name;
      return false;
    }
    run->values[k] = Resolve(op.options[k], value);
    if (!Valid(op.options[k].kind, run->values[k])) {
      *why = "bad value for --" + name + ": " + value;
      return false;
    }
  }
  const std::size_t expected = std::size_t(op.inputs + op.outputs);
  if (files->size() != expected) {
    *why = "expected " + std::to_string(expected) + " files, got " + std::to_string(files->size());
    return false;
  }
  return true;
}

std::string Execute(Run& run, std::vector<Image>& made, double* seconds) {
  run.out.clear();
  if (!run.op->shape) {
    run.out.push_back(run.in[0]);
  } else {
    const std::optional<Shape> shape = run.op->shape(run);
    if (!shape) return LibraryError(run, KLEM_FAILED);
    for (int i = 0; i < run.op->outputs; ++i) {
      made.emplace_back();
      run.out.push_back(made.back().get());
      if (KLEM_Create(made.back().get(), shape->width, shape->height, shape->bitsPerPixel) != KLEM_OK) {
        return LibraryError(run, KLEM_FAILED);
      }
    }
  }
  KLEM_SetScaleFactor(run.dst(), run.scaleFactor);
  const auto start = std::chrono::steady_clock::now();
  uint32_t status = KLEM_FAILED;
  try {
    status = run.op->call(run);
  } catch (const std::exception& fault) {
    return fault.what();
  }
  *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return status == KLEM_OK ? std::string() : LibraryError(run, status);
}

int RunOnFiles(const Operation& op, const std::vector<std::string>& args, double* seconds) {
  Run run;
  std::vector<std::string> files;
  std::string why;
  if (!ParseArguments(op, args, &run, &files, &why)) {
    std::fprintf(stderr, "klem %s: %s\n%s", op.name, why.c_str(), Usage(op).c_str());
    return 2;
  }
  std::vector<Image> inputs(std::size_t(op.inputs));
  for (int i = 0; i < op.inputs; ++i) {
    why = ReadPng(files[i], inputs[i].get());
    if (!why.empty()) {
      std::fprintf(stderr, "klem %s: cannot read %s: %s\n", op.name, files[i].c_str(), why.c_str());
      return 1;
    }
    run.in.push_back(inputs[i].get());
  }
  std::vector<Image> made;
  why = Execute(run, made, seconds);
  if (!why.empty()) {
    std::fprintf(stderr, "klem %s: %s\n", op.name, why.c_str());
    return 1;
  }
  for (int k = 0; k < op.outputs; ++k) {
    const std::string& path = files[std::size_t(op.inputs + k)];
    why = WritePng(path, run.out[k]);
    if (!why.empty()) {
      std::fprintf(stderr, "klem %s: cannot write %s: %s\n", op.name, path.c_str(), why.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace klem_tool
