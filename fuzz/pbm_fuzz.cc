// Fuzzes the PBM reader on a file holding the input. Images whose pixel
// count would make one input take long (every missing pixel is reported)
// are skipped; sizes that cannot be allocated are kept.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "harness.h"
#include "misc.h"

namespace {

// The header's width and height as strtol reads them, for the size screen.
bool header(const uint8_t *data, size_t size, long *width, long *height) {
  FILE *stream = fmemopen(const_cast<uint8_t *>(data), size, "r");
  if (!stream) return false;
  bool magic = false;
  Outcome o = run_guarded([&] {
    SCANNER *s = scan_init(stream, "", " \t\n", "#");
    magic = strcmp(scan_get(s), "P1") == 0;
    *width = strtol(scan_get(s), nullptr, 10);
    *height = strtol(scan_get(s), nullptr, 10);
  });
  fclose(stream);
  return magic;
}

long as_int(long v) { return std::clamp<long>(v, INT_MIN, INT_MAX); }

size_t count_of(const std::string &text, const char *what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) n++;
  return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  long w = 0, h = 0;
  if (size > 0 && header(data, size, &w, &h)) {
    w = as_int(w);
    h = as_int(h);
    if (h > 8192 || (w > 0 && h > 0 && w * h > 8192)) return 0;
  }
  const char *path = file_holding(data, size);
  int width = -7, height = -7;
  size_t odd = 0; // cells holding neither 0 nor 1
  Outcome o = run_guarded([&] {
    int **rows = read_pbm_file(path, &width, &height);
    // Within the guarded call: the rows are released with it.
    for (int r = 0; r < height; r++)
      for (int c = 0; c < width; c++) {
        int v = rows[r][c];
        if (v < -48 || v > 255 - 48) {
          fprintf(stderr, "\ncell (%d, %d) holds %d\n", r, c, v);
          abort();
        }
        if (v != 0 && v != 1) odd++;
      }
  });
  require_clean_ending(o);
  if (!o.exited) {
    require(width == w && height == h, "width or height differ from the header", o);
    require(odd == count_of(o.err, "error: ("),
            "reported pixels differ from the cells that are not 0 or 1", o);
  }
  return 0;
}
