/* A C99 host of the library: compiles the public header as C and drives a
 * handle through the exported functions. Exit code 0 means every check held. */
#include <stdio.h>
#include <string.h>

#include "klem/klem.h"

static int failures = 0;
static void Check(int held, int line) {
  if (!held) fprintf(stderr, "%s:%d: check failed\n", __FILE__, line), ++failures;
}
#define CHECK(cond) Check((cond), __LINE__)

int main(void) {
  KLEM_HANDLE h = KLEM_CreateCKorPelora();
  char error[KLEM_ERROR_BUFFER_SIZE];
  const char* version = NULL;
  unsigned char pixels[4 * 3 * 2];
  void* memory = NULL;
  int32_t width = 0;
  uint32_t bpp = 0;

  CHECK(h != NULL);
  CHECK(KLEM_Create(NULL, 4, 2, 8) == KLEM_INVALID_ARG);
  CHECK(KLEM_Create(h, 0, 2, 8) == KLEM_FAILED);
  CHECK(KLEM_GetError(h, error) == KLEM_OK && strcmp(error, "Invalid Size!") == 0);
  CHECK(KLEM_AttachNoFree(h, pixels, sizeof pixels, 4, 2, 24) == KLEM_OK);
  CHECK(KLEM_GetImageMemory(h, &memory) == KLEM_OK && memory == (void*)pixels);
  CHECK(KLEM_GetWidth(h, &width) == KLEM_OK && width == 4);
  CHECK(KLEM_GetBitsPerPixel(h, &bpp) == KLEM_OK && bpp == 24);
  CHECK(KLEM_GetVersion(h, &version) == KLEM_OK && strncmp(version, "5.0.5.6 ", 8) == 0);
  CHECK(KLEM_FreeCKorPelora(h) == KLEM_OK);
  return failures == 0 ? 0 : 1;
}
