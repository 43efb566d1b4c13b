/* A C99 host of the library: compiles the public header as C and drives a
 * handle through the exported functions. Exit code 0 means every check held. */
#include <string.h>

#include "klem/klem.h"

/* The pipeline that the C# and Pascal hosts run too, with the same expected
 * values, worked out by hand: a 4 x 3 gray image with pixel i = 10 i, attached;
 * plus an image of 7s; the 3 x 3 maximum filter, which changes only the two
 * inner pixels (to the maxima 107 and 117 of their windows); nearest resize to
 * 8 x 6, which doubles every pixel; a quarter turn into 6 x 8, which takes
 * source (x, y) to (5 - y, x); and the error of an add of different sizes. */
static int RunsTheHostPipeline(void) {
  unsigned char pixels[12];
  unsigned char result[48];
  char error[KLEM_ERROR_BUFFER_SIZE];
  void* memory = NULL;
  long sum = 0;
  int i;
  KLEM_HANDLE a = KLEM_CreateCKorPelora(), b = KLEM_CreateCKorPelora();
  KLEM_HANDLE filtered = KLEM_CreateCKorPelora(), big = KLEM_CreateCKorPelora();
  KLEM_HANDLE turned = KLEM_CreateCKorPelora();
  int ok = a && b && filtered && big && turned;
  for (i = 0; i < 12; ++i) pixels[i] = (unsigned char)(10 * i);
  ok = ok && KLEM_AttachNoFree(a, pixels, sizeof pixels, 4, 3, 8) == KLEM_OK;
  ok = ok && KLEM_Create(b, 4, 3, 8) == KLEM_OK && KLEM_AddConstant(b, 7) == KLEM_OK;
  ok = ok && KLEM_Add(a, b) == KLEM_OK && pixels[0] == 7 && pixels[11] == 117;
  ok = ok && KLEM_Create(filtered, 4, 3, 8) == KLEM_OK && KLEM_Filter(filtered, 3, a) == KLEM_OK;
  ok = ok && KLEM_Create(big, 8, 6, 8) == KLEM_OK && KLEM_Resize(big, filtered, 8, 6, 3) == KLEM_OK;
  ok = ok && KLEM_Create(turned, 6, 8, 8) == KLEM_OK && KLEM_Rotate(turned, big, 90.0, 5) == KLEM_OK;
  ok = ok && KLEM_GetImageMemory(turned, &memory) == KLEM_OK;
  if (ok) {
    memcpy(result, memory, sizeof result);
    for (i = 0; i < 48; ++i) sum += result[i];
  }
  /* 744 after the add, 50 + 50 more from the filter, four times that when doubled. */
  ok = ok && sum == 3376 && result[5] == 7 && result[0] == 87 && result[7 * 6] == 117;
  ok = ok && result[2 * 6 + 2] == 107 && result[4 * 6 + 2] == 117 && result[2 * 6 + 4] == 17;
  ok = ok && KLEM_Add(a, big) == KLEM_FAILED && KLEM_GetError(a, error) == KLEM_OK;
  ok = ok && strcmp(error, "Pictures of different size!") == 0;
  KLEM_FreeCKorPelora(turned);
  KLEM_FreeCKorPelora(big);
  KLEM_FreeCKorPelora(filtered);
  KLEM_FreeCKorPelora(b);
  return ok && KLEM_FreeCKorPelora(a) == KLEM_OK;
}

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
  ok = ok && KLEM_FreeCKorPelora(h) == KLEM_OK && RunsTheHostPipeline();
  return ok ? 0 : 1;
}
