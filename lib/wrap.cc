// Word wrapping of the help screen.
#include <cstring>
#include <string>

#include "wrap.h"

namespace {

bool is_white(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

} // namespace

void format_string(std::string &out, const char *text, int indent,
                   int margin, int first_indent) {
  out.append(first_indent > 0 ? first_indent : 0, ' ');
  long n = static_cast<long>(strlen(text));
  long p = 0;
  bool first = true;
  while (p < n) {
    long limit;
    if (first) {
      limit = p + 80 - margin - first_indent;
    } else {
      while (p < n && text[p] == ' ') p++;
      out.append(indent > 0 ? indent : 0, ' ');
      limit = p + 80 - margin - indent;
    }
    if (n < limit) {
      if (p == n) return;
      out.append(text + p, n - 1 - p);
      if (text[n - 1] != ' ') out += text[n - 1];
      out += '\n';
      return;
    }
    if (limit < p) return; // no room for any text on this line
    long brk = limit;
    if (!is_white(text[limit])) {
      while (brk > p && !is_white(text[brk])) brk--;
      if (brk <= p) return; // a word longer than the line ends the text
    }
    out.append(text + p, brk - p);
    if (text[brk] != ' ') out += text[brk];
    out += '\n';
    p = brk + 1;
    first = false;
  }
}
