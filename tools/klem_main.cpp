// klem: command-line front end of the library, through its public C interface.
//   klem [info]                 version text, what the library found out about
//                               this processor, and the kernel entry it runs
//   klem demo [DIR]             the gallery of every family on built-in pictures
//   klem help [OPERATION]       the subcommands, or one with its options
//   klem OPERATION [options] INPUT.png... OUTPUT.png...
// Exit status: 0 done, 1 a failing call or an unreadable or unwritable PNG
// (the reason on stderr), 2 a usage mistake (the usage on stderr).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "demo.h"
#include "kernels/dispatch.h"
#include "klem/klem.h"
#include "operations.h"

namespace {

int PrintInfo() {
  KLEM_HANDLE handle = KLEM_CreateCKorPelora();
  if (handle == nullptr) {
    std::fprintf(stderr, "klem: cannot create a processing object\n");
    return 1;
  }
  using Getter = uint32_t (*)(KLEM_HANDLE, const char**);
  const Getter getters[] = {KLEM_GetVersion, KLEM_GetProcessorDetected, KLEM_GetProcessorCodeUsed,
                            KLEM_GetProcessorDetails};
  int status = 0;
  for (Getter get : getters) {
    const char* text = nullptr;
    if (get(handle, &text) != KLEM_OK) {
      status = 1;
      break;
    }
    std::printf("%s\n", text);
  }
  // The wide entries leave every text as path 4 has it; this is where they show.
  if (status == 0) {
    std::printf("kernels: %s\n", klem::kernels::KernelEntryName(klem::kernels::KernelEntryIndex()));
  }
  KLEM_FreeCKorPelora(handle);
  return status;
}

const char kGeneralUsage[] =
    "usage: klem [info]                  version and processor\n"
    "       klem demo [DIR]              gallery of every family into DIR (klem-demo)\n"
    "       klem help [OPERATION]        the operations, or one with its options\n"
    "       klem OPERATION [options] INPUT.png... OUTPUT.png...\n"
    "PNG gray 1, 8 and 16 bits, RGB 8 and 16 bits and RGBA 8 bits are formats 1, 8, 16,\n"
    "24, 48 and 32. Exit status: 0 done, 1 a failing call or a PNG that cannot be\n"
    "read or written, 2 a usage mistake.\n";

int Help(const char* name) {
  if (name == nullptr) {
    std::printf("%s\noperations:\n", kGeneralUsage);
    for (const klem_tool::Operation& op : klem_tool::Operations()) std::printf("  %-32s %s\n", op.name, op.summary);
    return 0;
  }
  const klem_tool::Operation* op = klem_tool::FindOperation(name);
  if (op == nullptr) {
    std::fprintf(stderr, "klem: no operation %s (klem help lists them)\n", name);
    return 2;
  }
  std::printf("%s", klem_tool::Usage(*op).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc < 2 ? "info" : argv[1];
  if (command == "info" && argc <= 2) return PrintInfo();
  if (command == "help" && argc <= 3) return Help(argc == 3 ? argv[2] : nullptr);
  if (command == "demo" && argc <= 3) return klem_tool::RunDemo(argc == 3 ? argv[2] : "klem-demo");
  if (command == "info" || command == "help" || command == "demo") {
    std::fprintf(stderr, "klem: too many arguments for %s\n%s", command.c_str(), kGeneralUsage);
    return 2;
  }
  const klem_tool::Operation* op = klem_tool::FindOperation(command);
  if (op == nullptr) {
    std::fprintf(stderr, "klem: no operation %s\n%s", command.c_str(), kGeneralUsage);
    return 2;
  }
  double seconds = 0;
  return klem_tool::RunOnFiles(*op, std::vector<std::string>(argv + 2, argv + argc), &seconds);
}
