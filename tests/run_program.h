// Runs a built program of the suite and captures what it writes.
#ifndef RUN_PROGRAM_H
#define RUN_PROGRAM_H

#include <string>
#include <vector>

struct RunResult {
  int status;       // exit status, or 128 + signal number
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs BIN_DIR/program with the given arguments (argv[0] is the program's
// bare name), optionally in another working directory, with `input` on its
// standard input.
RunResult run_program(const std::string &program,
                      const std::vector<std::string> &args = {},
                      const std::string &workdir = "",
                      const std::string &input = "");

// Runs `program` with `args` and seed 7 twice, then with seed 8: the two
// runs with one seed must print the same, the other seed something else.
void expect_seed_decides(const std::string &program,
                         const std::vector<std::string> &args);

// Runs BIN_DIR/program with a terminal as its standard output, standard
// error thrown away, until it ends or has used `cpu_seconds` of processor
// time; returns what the terminal was shown.
std::string run_on_terminal(const std::string &program,
                            const std::vector<std::string> &args, int cpu_seconds);

// The lines of a text, without their newlines.
std::vector<std::string> split_lines(const std::string &text);

// The statistics blocks of a GA report, each `size` lines long and opening
// with "---" and "time = T"; returns each block's time and its other lines,
// failing the test on any other shape.
struct StatBlock {
  int time;
  std::vector<std::string> lines; // the lines after "time = T"
};
std::vector<StatBlock> stat_blocks(const std::string &text, size_t size);

// The six-line blocks of the optimisers over binary digits: the average,
// the best point as `point_format` reads it (into x, then y), the best DNA
// and the best value; failing the test on any other shape.
struct DigitBlock {
  int time;
  double average, x, y, value;
  std::string dna;
};
std::vector<DigitBlock> digit_blocks(const std::string &text, const char *point_format);

#endif
