// Fuzzes the text scanner. The first four bytes give the lengths of the
// singles, delimiters and comments sets (0 to 7 each) and of a list of
// operations (0 to 31); then come those bytes, and the rest is the stream.
// Each operation byte asks for a get, a peek, a flush, or switches the
// singles between the set from the input and "01" (as the PBM reader does).
// After the operations the rest of the stream is read token by token.
#include <cstdio>
#include <cstring>
#include <string>

#include "harness.h"
#include "misc.h"

namespace {

struct Reader {
  SCANNER *scanner;
  const std::string &text;
  const std::string *singles;
  const std::string &delimiters;
  const std::string &comments;
  bool ended = false;        // the empty token was handed out
  std::string peeked;        // the token of the last peek, if any
  bool has_peeked = false;
  size_t tokens = 0;         // non-empty tokens taken
  const Outcome &none;
};

bool in(const std::string &set, char c) { return c != '\0' && set.find(c) != std::string::npos; }

// Every token is a piece of the text made of characters that end no token,
// or a single character of its own; the empty token marks the end for good.
void check_token(Reader &r, const char *token) {
  require(token != nullptr, "null token", r.none);
  size_t n = strlen(token);
  require(n <= 255, "token longer than 255 characters", r.none);
  if (n == 0) {
    r.ended = true;
    return;
  }
  require(!r.ended, "a token after the end of the input", r.none);
  require(r.text.find(token) != std::string::npos, "token is not a piece of the input", r.none);
  for (size_t i = 0; i < n; i++) {
    char c = token[i];
    require(c != '\n', "token holds a newline", r.none);
    require(!in(r.delimiters, c), "token holds a delimiter", r.none);
    require(!in(r.comments, c), "token holds a comment character", r.none);
    require(n == 1 || !in(*r.singles, c), "token of several characters holds a single", r.none);
  }
}

// A get (advance) or a peek; either repeats the token of a peek before it.
void next(Reader &r, bool advance) {
  char *token = advance ? scan_get(r.scanner) : scan_peek(r.scanner);
  check_token(r, token);
  if (r.has_peeked)
    require(r.peeked == token,
            advance ? "get differs from the peek before it" : "two peeks differ", r.none);
  r.peeked = token;
  r.has_peeked = !advance;
  if (advance && token[0]) r.tokens++;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 4) return 0;
  size_t ns = data[0] % 8, nd = data[1] % 8, nc = data[2] % 8, nops = data[3] % 32;
  size_t at = 4;
  auto take = [&](size_t n) {
    n = std::min(n, size - at);
    std::string s(reinterpret_cast<const char *>(data + at), n);
    at += n;
    return std::string(s.c_str()); // a set ends at its first NUL
  };
  std::string singles = take(ns), delimiters = take(nd), comments = take(nc);
  size_t nops_avail = std::min(nops, size - at);
  const uint8_t *ops = data + at;
  at += nops_avail;
  std::string text(reinterpret_cast<const char *>(data + at), size - at);
  const std::string pbm_singles = "01";

  FILE *stream = text.empty() ? fopen("/dev/null", "r")
                              : fmemopen(text.data(), text.size(), "r");
  if (!stream) abort();
  Outcome none;
  Outcome o = run_guarded([&] {
    SCANNER *s = scan_init(stream, singles.c_str(), delimiters.c_str(), comments.c_str());
    Reader r{s, text, &singles, delimiters, comments, false, "", false, 0, none};
    for (size_t i = 0; i < nops_avail; i++) {
      switch (ops[i] % 4) {
      case 0: next(r, true); break;
      case 1: next(r, false); break;
      case 2: scan_flush(s); r.has_peeked = false; break;
      case 3:
        r.singles = r.singles == &singles ? &pbm_singles : &singles;
        s->singles = r.singles->c_str();
        r.has_peeked = false;
        break;
      }
    }
    // Every token takes at least one character of the text.
    for (size_t i = 0; i <= text.size() + 1 && !r.ended; i++) next(r, true);
    require(r.ended, "the input never ends", none);
    require(r.tokens <= text.size(), "more tokens than characters", none);
    next(r, true);
    next(r, false);
  });
  fclose(stream);
  require(!o.exited, "the scanner exited", o);
  return 0;
}
