// Command-line options and the help screen.
#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstring>
#include <string>

#include "misc.h"
#include "wrap.h"

const char *program_name = "";

namespace {

// printf into a string of whatever length the result needs.
std::string format(const char *fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list again;
  va_copy(again, args);
  int n = vsnprintf(nullptr, 0, fmt, args);
  va_end(args);
  std::string s(n > 0 ? n : 0, '\0');
  if (n > 0) vsnprintf(s.data(), s.size() + 1, fmt, again);
  va_end(again);
  return s;
}

// The parenthesised current value shown after an entry's help text.
std::string value_text(const OPTION &o) {
  switch (o.type) {
  case OPT_INT:
    return format(" (%d)", *static_cast<int *>(o.variable));
  case OPT_DOUBLE:
    return format(" (%g)", *static_cast<double *>(o.variable));
  case OPT_STRING: {
    const char *s = *static_cast<const char **>(o.variable);
    return s ? format(" (\"%s\")", s) : std::string(" (none)");
  }
  case OPT_SWITCH:
    return *static_cast<int *>(o.variable) ? " (ON)" : " (OFF)";
  default:
    return " (no default)";
  }
}

bool is_shown(const OPTION &o) { return o.type >= OPT_INT && o.type <= OPT_HANDLER; }

[[noreturn]] void misuse(char **argv, int index, OPTION *options,
                         const char *help_string) {
  bad_option(argv, index);
  display_options(argv, options, help_string);
}

// Stores the value of entry o, whose name stands at argv[*i]; false when a
// needed value is missing or the entry cannot be used.
bool take_option(int argc, char **argv, OPTION *options, int entry, int *i) {
  const OPTION &o = options[entry];
  bool takes_value = o.type == OPT_INT || o.type == OPT_DOUBLE ||
                     o.type == OPT_STRING;
  if (takes_value && *i + 1 >= argc) return false;
  switch (o.type) {
  case OPT_INT:
    *static_cast<int *>(o.variable) = text_to_int(argv[*i + 1]);
    *i += 2;
    return true;
  case OPT_DOUBLE:
    *static_cast<double *>(o.variable) = strtod(argv[*i + 1], nullptr);
    *i += 2;
    return true;
  case OPT_STRING:
    *static_cast<const char **>(o.variable) = argv[*i + 1];
    *i += 2;
    return true;
  case OPT_SWITCH: {
    int *flag = static_cast<int *>(o.variable);
    *flag = *flag == 0 ? 1 : 0;
    *i += 1;
    return true;
  }
  case OPT_HANDLER: {
    // A handler that does not move on would make the parser loop forever,
    // so that counts as a misuse too.
    int start = *i;
    auto handler = reinterpret_cast<option_handler>(o.variable);
    return handler(argv, argc, options, i, entry) == 0 && *i > start;
  }
  default:
    return false;
  }
}

} // namespace

int text_to_int(const char *text) {
  long v = strtol(text, nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

void bad_option(char **argv, int index) {
  fprintf(stderr, "%s: unknown or incorrectly used option \"%s\".\n", argv[0],
          argv[index]);
}

void display_options(char **argv, OPTION *options, const char *help_string) {
  std::string screen = format("Usage: %s [ options ]\n\n", argv[0]);
  format_string(screen, help_string, 4, 4, 4);
  screen += "\nOptions with defaults in parentheses are:\n\n";
  size_t width = 0;
  for (const OPTION *o = options; o->name; o++)
    width = std::max(width, strlen(o->name));
  for (const OPTION *o = options; o->name; o++) {
    if (!is_shown(*o)) continue;
    std::string line = o->name;
    line.append(width + 2 - line.size(), ' ');
    line += o->help ? o->help : "";
    line += value_text(*o);
    format_string(screen, line.c_str(), static_cast<int>(width) + 6, 4, 4);
  }
  screen += '\n';
  fwrite(screen.data(), 1, screen.size(), stderr);
  exit(1);
}

void get_options(int argc, char **argv, OPTION *options,
                 const char *help_string) {
  if (argc > 0 && argv[0]) program_name = argv[0];
  int i = 1;
  while (i < argc) {
    if (strcmp(argv[i], "-help") == 0)
      display_options(argv, options, help_string);
    int entry = 0;
    while (options[entry].name && strcmp(options[entry].name, argv[i]) != 0)
      entry++;
    if (!options[entry].name) misuse(argv, i, options, help_string);
    int at = i;
    if (!take_option(argc, argv, options, entry, &i))
      misuse(argv, i >= 0 && i < argc ? i : at, options, help_string);
  }
}

void bad_parameter(const char *option, const char *range) {
  fprintf(stderr, "%s: %s must be %s.\n", program_name, option, range);
  exit(1);
}
