/* A C99 host of the library: compiles the public header as C and drives a
 * handle through the exported functions. Exit code 0 means every check held. */
#include <string.h>

#include "klem/klem.h"

int main(void) {
  KLEM_HANDLE h = KLEM_CreateCKorPelora();
  char error[KLEM_ERROR_BUFFER_SIZE];
  const char* version = NULL;
  unsigned char pixels[4 * 3 * 2];
  void* memory = NULL;
  int32_t width = 0;
  int ok = h != NULL && KLEM_Create(NULL, 4, 2, 8) == KLEM_INVALID_ARG;
  ok = ok && KLEM_Create(h, 0, 2, 8) == KLEM_FAILED && KLEM_GetError(h, error) == KLEM_OK;
  ok = ok && strcmp(error, "Invalid Size!") == 0;
  ok = ok && KLEM_AttachNoFree(h, pixels, sizeof pixels, 4, 2, 24) == KLEM_OK;
  ok = ok && KLEM_GetImageMemory(h, &memory) == KLEM_OK && memory == (void*)pixels;
  ok = ok && KLEM_GetWidth(h, &width) == KLEM_OK && width == 4;
  ok = ok && KLEM_GetVersion(h, &version) == KLEM_OK && strncmp(version, "5.0.5.6 ", 8) == 0;
  ok = ok && KLEM_FreeCKorPelora(h) == KLEM_OK;
  return ok ? 0 : 1;
}
