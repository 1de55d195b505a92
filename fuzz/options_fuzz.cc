// Fuzzes the option parser and the help screen. The input is a list of texts
// separated by NUL bytes: the description, the program name, then the
// arguments. Every input ends on the help screen: through get_options when it
// shows it, otherwise by calling display_options on the parsed values.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "harness.h"
#include "misc.h"
#include "wrap.h"

namespace {

int count = 10;
double rate = 0.5;
const char *name = "data/in.dat";
int verbose = 0;
int shadowed = 7;     // a second "-count" entry: never reached
int help_switch = 0;  // an entry named "-help": never reached
int odd = 3;          // an entry of no known type

// Takes a count k (0 to 3) and then k words. A count of -1 moves nothing,
// which the parser must refuse rather than loop on.
int word_list(char **argv, int argc, OPTION *, int *index, int) {
  if (*index + 1 >= argc) return 1;
  long k = strtol(argv[*index + 1], nullptr, 10);
  if (k == -1) return 0;
  if (k < 0 || k > 3 || *index + 2 + k > argc) return 1;
  *index += 2 + static_cast<int>(k);
  return 0;
}

OPTION options[] = {
  { "-count",   OPT_INT,     &count,   "How many." },
  { "-rate",    OPT_DOUBLE,  &rate,
    "A rate with a help text long enough to need a second line on the help "
    "screen, so that continuation lines are exercised as well." },
  { "-name",    OPT_STRING,  &name,    "File name." },
  { "-verbose", OPT_SWITCH,  &verbose, "Say more." },
  { "-words",   OPT_HANDLER, reinterpret_cast<void *>(word_list),
    "A count and that many words." },
  { "-count",   OPT_INT,     &shadowed, "Shadowed by the first entry." },
  { "-help",    OPT_SWITCH,  &help_switch, "Never reached." },
  { "-odd",     42,          &odd,     "An entry of no known type." },
  { nullptr,    OPT_NULL,    nullptr,  nullptr }
};

const size_t longest_name = 8; // "-verbose"

void reset_values() {
  count = 10;
  rate = 0.5;
  name = "data/in.dat";
  verbose = 0;
  shadowed = 7;
  help_switch = 0;
  odd = 3;
}

// Letters, blanks and newlines only, as the wrapped text holds them.
std::string without_blanks(const std::string &s) {
  std::string r;
  for (char c : s)
    if (c != ' ' && c != '\n') r += c;
  return r;
}

// format_string must not invent, reorder or drop anything but blanks; it may
// stop early only where a word does not fit, and then writes no final line
// break; no line is longer than 80 - margin, the break character aside.
void check_wrap(const char *text, int indent, int first_indent) {
  const int margin = 4;
  std::string out;
  Outcome o = run_guarded([&] { format_string(out, text, indent, margin, first_indent); });
  require(!o.exited, "format_string exited", o);
  std::string want = without_blanks(text), got = without_blanks(out);
  require(want.compare(0, got.size(), got) == 0,
          "wrapped text is not a prefix of the text", o);
  require(got.size() == want.size() || out.empty() || out.back() != '\n',
          "wrapped text cut short but ends with a line break", o);
  size_t start = 0;
  while (start < out.size()) {
    size_t end = out.find('\n', start);
    if (end == std::string::npos) end = out.size();
    size_t length = end - start;
    if (length > 0 && strchr("\t\v\f\r", out[end - 1])) length--;
    require(length <= static_cast<size_t>(80 - margin), "wrapped line too long", o);
    start = end + 1;
  }
}

std::string printed(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
std::string printed(const char *fmt, ...) {
  char buffer[512];
  va_list args;
  va_start(args, fmt);
  vsnprintf(buffer, sizeof buffer, fmt, args);
  va_end(args);
  return buffer;
}

// The screen shows the values that parsing left, under the program's name.
// `input`: every text the screen may repeat (description and arguments).
void check_screen(const Outcome &o, const std::string &program, const std::string &input) {
  require(o.exited && o.status == 1, "help screen did not exit with status 1", o);
  std::string usage = "Usage: " + program + " [ options ]\n\n";
  std::string error = program + ": unknown or incorrectly used option \"";
  require(o.err.compare(0, usage.size(), usage) == 0 ||
              (o.err.compare(0, error.size(), error) == 0 &&
               o.err.find(usage) != std::string::npos),
          "help screen does not start as it should", o);
  std::string pad(longest_name + 2 - strlen("-count"), ' ');
  require(o.err.find("    -count" + pad + "How many." + printed(" (%d)\n", count)) !=
              std::string::npos,
          "help screen does not show the parsed -count", o);
  pad.assign(longest_name + 2 - strlen("-verbose"), ' ');
  require(o.err.find("    -verbose" + pad + "Say more." + (verbose ? " (ON)\n" : " (OFF)\n")) !=
              std::string::npos,
          "help screen does not show the parsed -verbose", o);
  require(o.err.find("(no default)") != std::string::npos,
          "help screen lacks the handler entry", o);
  require(input.find("no known type") != std::string::npos ||
              o.err.find("no known type") == std::string::npos,
          "help screen shows an entry of no known type", o);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  // Texts between NUL bytes; the last one ends at the end of the input.
  std::vector<std::string> texts(1);
  for (size_t i = 0; i < size; i++) {
    if (data[i] == 0) {
      if (texts.size() == 64) break;
      texts.emplace_back();
    } else {
      texts.back() += static_cast<char>(data[i]);
    }
  }
  std::string input(reinterpret_cast<const char *>(data), size);
  std::vector<char> help(texts[0].begin(), texts[0].end());
  help.push_back('\0');
  std::string program = texts.size() > 1 ? texts[1] : "prog";
  std::vector<std::string> args(texts.begin() + std::min<size_t>(2, texts.size()), texts.end());
  std::vector<char *> argv;
  argv.push_back(program.data());
  for (std::string &a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(argv.size()) - 1;

  check_wrap(help.data(), 4, 4);
  check_wrap(help.data(), static_cast<int>(longest_name) + 6, 4);

  reset_values();
  Outcome parse = run_guarded([&] { get_options(argc, argv.data(), options, help.data()); });
  require(shadowed == 7, "a second entry of the same name was used", parse);
  require(help_switch == 0, "an entry named -help was used", parse);
  require(odd == 3, "an entry of no known type was stored", parse);
  require(verbose == 0 || verbose == 1, "switch holds neither 0 nor 1", parse);
  if (parse.exited) {
    check_screen(parse, program, input);
    return 0;
  }
  require(parse.err.empty(), "parsing wrote to standard error and went on", parse);
  require(strcmp(program_name, program.c_str()) == 0, "program_name is not argv[0]", parse);
  Outcome screen = run_guarded([&] { display_options(argv.data(), options, help.data()); });
  check_screen(screen, program, input);
  return 0;
}
