// Reader for plain ("P1") PBM bitmaps.
#include <climits>
#include <cstring>

#include "misc.h"

namespace {

// One pixel per token; anything but a 0 or 1 digit is reported and read on,
// so the cell holds its code minus that of '0' (-48 past the end of input).
int read_pixel(SCANNER *s, int r, int c) {
  unsigned char code = static_cast<unsigned char>(scan_get(s)[0]);
  if (code != '0' && code != '1')
    fprintf(stderr, "error: (%d, %d) read ascii(%d) = '%c'\n", r, c, code, code);
  return code - '0';
}

} // namespace

int **read_pbm_file(const char *path, int *width, int *height) {
  FILE *f = fopen(path, "r");
  if (!f) {
    fprintf(stderr, "Unable to open \"%s\"", path);
    perror(":");
    exit(1);
  }
  SCANNER *s = scan_init(f, "", " \t\n", "#");
  if (strcmp(scan_get(s), "P1") != 0) {
    fprintf(stderr, "File \"%s\" is not a pbm file.\n", path);
    exit(1);
  }
  *width = text_to_int(scan_get(s));
  *height = text_to_int(scan_get(s));
  // Pixel digits are tokens of their own: rows may be written without blanks.
  s->singles = "01";
  auto rows = static_cast<int **>(xmalloc_array(*height, sizeof(int *)));
  for (int r = 0; r < *height; r++) {
    rows[r] = static_cast<int *>(xmalloc_array(*width, sizeof(int)));
    for (int c = 0; c < *width; c++) rows[r][c] = read_pixel(s, r, c);
  }
  return rows;
}
