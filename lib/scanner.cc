// Text scanner: tokens from a stream, one line buffer of fgets at a time.
#include <cstring>

#include "misc.h"

namespace {

// strchr also finds the terminator, which is in no set.
bool in_set(const char *set, char c) { return c != '\0' && strchr(set, c); }

// Newline and the end of the buffer end a line whatever the sets say; a
// comment character ends it too, dropping the rest of this buffer.
bool at_line_end(const SCANNER *s, const char *p) {
  return *p == '\0' || *p == '\n' || in_set(s->comments, *p);
}

bool ends_token(const SCANNER *s, char c) {
  return c == '\0' || c == '\n' || in_set(s->singles, c) ||
         in_set(s->delimiters, c) || in_set(s->comments, c);
}

// Moves the cursor to the first character of the next token, reading lines
// as needed; false at the end of the input (or on a read error).
bool find_token(SCANNER *s) {
  while (true) {
    if (!s->cursor || at_line_end(s, s->cursor)) {
      if (!fgets(s->line, SCAN_LINE_SIZE, s->input)) {
        s->cursor = nullptr;
        return false;
      }
      s->cursor = s->line;
    }
    while (*s->cursor != '\0' && in_set(s->delimiters, *s->cursor)) s->cursor++;
    if (!at_line_end(s, s->cursor)) return true;
  }
}

// The worker behind scan_get (advance 1) and scan_peek (advance 0): finds
// the next token, copies it into the token buffer and, when advancing, moves
// the cursor past it. Returns "" at the end of the input.
char *scan_get_or_peek(SCANNER *s, int advance) {
  if (!find_token(s)) {
    s->token[0] = '\0';
    return s->token;
  }
  // A token never leaves the line buffer, so it fits the token buffer.
  size_t n = 1;
  if (!in_set(s->singles, *s->cursor))
    while (!ends_token(s, s->cursor[n])) n++;
  memcpy(s->token, s->cursor, n);
  s->token[n] = '\0';
  if (advance) s->cursor += n;
  return s->token;
}

} // namespace

SCANNER *scan_init(FILE *input, const char *singles, const char *delimiters,
                   const char *comments) {
  auto s = static_cast<SCANNER *>(xmalloc(sizeof(SCANNER)));
  s->line = static_cast<char *>(xmalloc(SCAN_LINE_SIZE));
  s->token = static_cast<char *>(xmalloc(SCAN_LINE_SIZE));
  s->line[0] = s->token[0] = '\0';
  s->cursor = nullptr;
  s->singles = singles;
  s->delimiters = delimiters;
  s->comments = comments;
  s->input = input;
  return s;
}

char *scan_get(SCANNER *scanner) { return scan_get_or_peek(scanner, 1); }

char *scan_peek(SCANNER *scanner) { return scan_get_or_peek(scanner, 0); }

void scan_flush(SCANNER *scanner) { scanner->cursor = nullptr; }
