// klem: command-line front end of the library, through its public C interface.
//   klem [info]   version text, what the library found out about this processor,
//                 and the kernel entry it runs
#include <cstdio>
#include <cstring>

#include "kernels/dispatch.h"
#include "klem/klem.h"

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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "info") == 0) return PrintInfo();
  std::fprintf(stderr, "usage: klem [info]\n");
  return 2;
}
