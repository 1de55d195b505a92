// What every program of the suite shares: its exact help screen, a run with
// nothing to do, and parameters it cannot work with refused before any output.
#include <gtest/gtest.h>

#include "run_program.h"

namespace {

struct Screen {
  const char *program;
  const char *text;
};

// clang-format off
const Screen screens[] = {
  {"peakseek",
    "Usage: peakseek [ options ]\n"
    "\n"
    "    Use a genetic algorithm to find the maximum of a single-humped function\n"
    "    that is centered at a user-specified location.  This program serves as\n"
    "    an example of how GAs can be used to optimize functions which take a\n"
    "    floating point argument. Reproduction of strings entails crossover and\n"
    "    mutation with strings being selected based on fitness.\n"
    "\n"
    "Options with defaults in parentheses are:\n"
    "\n"
    "    -target  Target value for function. (0.5)\n"
    "    -var     Variance of bump. (1)\n"
    "    -size    Population size. (10)\n"
    "    -len     DNA length. (16)\n"
    "    -gens    Number of generations. (50)\n"
    "    -seed    Random seed. (0)\n"
    "    -crate   Crossover rate. (0.25)\n"
    "    -mrate   Mutation rate. (0.01)\n"
    "\n"},
  {"hillscan",
    "Usage: hillscan [ options ]\n"
    "\n"
    "    Use a genetic algorithm to find the maximum of a multi-humped function.\n"
    "    This program serves as an example of how GAs can be used to optimize\n"
    "    function which take a multiple floating point arguments. Reproduction of\n"
    "    strings entails crossover and mutation with strings being selected based\n"
    "    on fitness.\n"
    "\n"
    "Options with defaults in parentheses are:\n"
    "\n"
    "    -size   Population size. (10)\n"
    "    -len    DNA length. (16)\n"
    "    -gens   Number of generations. (50)\n"
    "    -seed   Random seed. (0)\n"
    "    -crate  Crossover rate. (0.75)\n"
    "    -mrate  Mutation rate. (0.01)\n"
    "\n"},
  {"jobmatch",
    "Usage: jobmatch [ options ]\n"
    "\n"
    "    Use a genetic algorithm to solve a task assignment problem with\n"
    "    user-specified costs.  This program illustrates how GAs can perform\n"
    "    combinatorial optimization.  Reproduction of strings entails special\n"
    "    crossover and mutation operations which preserve constraints on the form\n"
    "    of feasible solutions with strings being selected based on fitness.\n"
    "\n"
    "Options with defaults in parentheses are:\n"
    "\n"
    "    -specs  Problem specification file. (\"data/hop1.dat\")\n"
    "    -size   Population size. (10)\n"
    "    -gens   Number of generations. (30)\n"
    "    -seed   Random seed. (0)\n"
    "    -crate  Crossover rate. (0.75)\n"
    "    -mrate  Mutation rate. (0.01)\n"
    "    -pbase  Exponentiation base. (2)\n"
    "\n"},
  {"tacticbreed",
    "Usage: tacticbreed [ options ]\n"
    "\n"
    "    Use a genetic algorithm to evolve IPD strategies according to\n"
    "    user-specified constraints.  This program illustrates how GAs can\n"
    "    demonstrate co-evolution since IPD strategies can only be successful\n"
    "    within the context of their likely opponents.  Reproduction of\n"
    "    strategies entails crossover and mutation with strategies being selected\n"
    "    based on fitness.\n"
    "\n"
    "Options with defaults in parentheses are:\n"
    "\n"
    "    -size    Population size. (100)\n"
    "    -gens    Number of generations. (50)\n"
    "    -bouts   Bouts per generation. (50)\n"
    "    -rounds  Rounds per bout. (20)\n"
    "    -hlen    History length. (1)\n"
    "    -seed    Random seed. (0)\n"
    "    -crate   Crossover rate. (0.25)\n"
    "    -mrate   Mutation rate. (0.001)\n"
    "    -noise   Chance of mistake in transaction. (0)\n"
    "    -CC      Reward Payoff. (4)\n"
    "    -CD      Sucker Payoff. (0)\n"
    "    -DC      Temptation Payoff. (5)\n"
    "    -DD      Punish Payoff. (1)\n"
    "    -dump    Print entire population at end? (OFF)\n"
    "\n"},
  {"tacticpool",
    "Usage: tacticpool [ options ]\n"
    "\n"
    "    The ecological iterated Prisoner's Dilemma is simulated  over time\n"
    "    according to the specified parameters.  At every time step the\n"
    "    population of each strategy is calculated as a function of the expected\n"
    "    scores earned against all strategies weighted by the populations of the\n"
    "    opponents.  Possible strategies include 'Always Cooperate,' 'Always\n"
    "    Defect,' 'Random,' 'Pavlov,' and 'Tit-for-Tat.'\n"
    "\n"
    "Options with defaults in parentheses are:\n"
    "\n"
    "    -steps   Number of steps to simulate. (100000)\n"
    "    -rounds  Number of rounds per step. (10)\n"
    "    -seed    Random seed for initial state. (0)\n"
    "    -CC      Reward Payoff. (3)\n"
    "    -CD      Sucker Payoff. (0)\n"
    "    -DC      Temptation Payoff. (5)\n"
    "    -DD      Punish Payoff. (1)\n"
    "    -Iallc   Initial population of All-C. (0.2)\n"
    "    -Itft    Initial population of TFT. (0.2)\n"
    "    -Irand   Initial population of Random. (0.2)\n"
    "    -Ipav    Initial population of Pavlov. (0.2)\n"
    "    -Ialld   Initial population of All-D. (0.2)\n"
    "    -rcp     Probability of C for Random strategy. (0.5)\n"
    "    -noise   Probability of noise. (0)\n"
    "\n"},
  {"mapseries",
    "Usage: mapseries [ options ]\n"
    "\n"
    "    A time series data set is generated by a one-dimensional map according\n"
    "    to the specified options.  See the MAPS section of the manual page for\n"
    "    details of what maps are supported.  User defined maps can be added to\n"
    "    the file maps1d, but you must recompile the program.\n"
    "\n"
    "Options with defaults in parentheses are:\n"
    "\n"
    "    -points  Number of points to plot. (10)\n"
    "    -skip    Number of initial points to skip. (0)\n"
    "    -r       Value for the r parameter. (1)\n"
    "    -aux     Auxiliary map parameter. (1)\n"
    "    -x0      Initial value for x. (0.123456)\n"
    "    -func    Map function to use (one of 'log', 'tent', 'sin', or 'gauss').\n"
    "             (\"log\")\n"
    "\n"},
  {"orbitpin",
    "Usage: orbitpin [ options ]\n"
    "\n"
    "    Control the Henon system, x(t+1) = A - x(t)^2 + B * x(t - 1), with the\n"
    "    OGY control law for arbitrary choices of A and B.  The control law is\n"
    "    analytically calculated based on the system parameters. The user can\n"
    "    select times in which control is turned on and off so that\n"
    "    time-to-control and transients can be observed.  Gaussian noise can also\n"
    "    be injected into the system.  The control timing options are constrained\n"
    "    to obey (0 <= on1 <= off <= on2 <= points).\n"
    "\n"
    "Options with defaults in parentheses are:\n"
    "\n"
    "    -points  The length of the time series. (300)\n"
    "    -on1     Where to turn control on. (50)\n"
    "    -off     Where to turn control off. (100)\n"
    "    -on2     Where to turn control on again. (200)\n"
    "    -skip    Amount to skip initially. (100)\n"
    "    -seed    Random seed. (0)\n"
    "    -plimit  Largest allowed size for p. (0.2)\n"
    "    -A       Value of the A parameter. (1.29)\n"
    "    -B       Value of the B parameter. (0.3)\n"
    "    -gauss   Magnitude of Gaussian noise. (0)\n"
    "\n"},
};
// clang-format on

struct Case {
  std::string program;
  std::vector<std::string> args;
  std::string err; // all of standard error
};

std::string command(const Case &c) {
  std::string text = c.program;
  for (const auto &a : c.args) text += " " + a;
  return text;
}

// Runs it (jobmatch finds its default problem from the top of the source
// tree): the status, the exact standard error and nothing on standard output.
void expect_run(const Case &c, int status) {
  auto r = run_program(c.program, c.args, SOURCE_DIR);
  EXPECT_EQ(r.status, status) << command(c);
  EXPECT_EQ(r.err, c.err) << command(c);
  EXPECT_EQ(r.out, "") << command(c);
}

} // namespace

TEST(EveryProgram, HelpScreenIsExact) {
  for (const Screen &s : screens) expect_run({s.program, {"-help"}, s.text}, 1);
  // A misused option: one line naming it, then the screen.
  expect_run({"peakseek", {"-size"},
              std::string("peakseek: unknown or incorrectly used option \"-size\".\n") +
                  screens[0].text},
             1);
}

TEST(EveryProgram, NothingToDoPrintsNothing) {
  const Case cases[] = {
    {"peakseek", {"-gens", "0"}, ""},
    {"peakseek", {"-gens", "-5"}, ""},
    {"hillscan", {"-gens", "0"}, ""},
    {"hillscan", {"-gens", "-5"}, ""},
    {"jobmatch", {"-gens", "0"}, ""},
    {"tacticbreed", {"-gens", "0"}, ""},
    {"tacticpool", {"-steps", "0"}, ""},
    {"tacticpool", {"-steps", "-3"}, ""},
    {"mapseries", {"-points", "0"}, ""},
    {"mapseries", {"-points", "-5", "-skip", "2"}, ""},
    // Bounds whose sum would wrap around in int arithmetic.
    {"mapseries", {"-points", "-2147483648", "-skip", "-1"}, ""},
    {"orbitpin", {"-points", "0", "-on1", "0", "-off", "0", "-on2", "0"}, ""},
    {"orbitpin", {"-skip", "-2147483648", "-points", "2147483647", "-on1", "0",
                  "-off", "0", "-on2", "0"}, ""},
  };
  for (const Case &c : cases) expect_run(c, 0);
}

TEST(EveryProgram, UnusableParametersAreRefusedBeforeAnyOutput) {
  const std::string peakseek_size = "peakseek: -size must be from 1 to 2147483646.\n",
                    peakseek_len = "peakseek: -len must be from 2 to 2147483646.\n",
                    hillscan_len = "hillscan: -len must be from 1 to 1073741823.\n",
                    tacticbreed_hlen = "tacticbreed: -hlen must be from 1 to 15.\n",
                    orbitpin_timing = "Bad choice of on1, on2, off, and/or points.\n";
  const Case cases[] = {
    {"peakseek", {"-size", "0"}, peakseek_size},
    {"peakseek", {"-size", "-1"}, peakseek_size},
    {"peakseek", {"-len", "1"}, peakseek_len},
    {"peakseek", {"-len", "-4"}, peakseek_len},
    {"peakseek", {"-size", "-6"}, "malloc failed to get -48 bytes.\n"},
    {"peakseek", {"-size", "536870913"}, "malloc failed to get 4294967312 bytes.\n"},
    {"peakseek", {"-size", "2000000000", "-len", "100"},
     "malloc failed to get 16000000000 bytes.\n"},
    {"hillscan", {"-len", "0"}, hillscan_len},
    {"hillscan", {"-len", "-3"}, hillscan_len},
    {"hillscan", {"-len", "1073741824"}, hillscan_len},
    {"hillscan", {"-len", "1500000000"}, hillscan_len},
    {"hillscan", {"-len", "2147483647"}, hillscan_len},
    {"hillscan", {"-size", "0"}, "hillscan: -size must be from 1 to 2147483646.\n"},
    {"hillscan", {"-size", "-6"}, "malloc failed to get -48 bytes.\n"},
    {"jobmatch", {"-size", "0"}, "jobmatch: -size must be from 1 to 2147483646.\n"},
    {"jobmatch", {"-size", "-5"}, "malloc failed to get -32 bytes.\n"},
    {"tacticbreed", {"-hlen", "0"}, tacticbreed_hlen},
    {"tacticbreed", {"-hlen", "16"}, tacticbreed_hlen},
    {"tacticbreed", {"-hlen", "2147483647"}, tacticbreed_hlen},
    {"tacticbreed", {"-hlen", "-1"}, "malloc failed to get -4 bytes.\n"},
    {"tacticbreed", {"-hlen", "-2147483648"}, "malloc failed to get -8589934592 bytes.\n"},
    {"tacticbreed", {"-bouts", "0"}, "tacticbreed: -bouts must be from 1 to 2147483647.\n"},
    {"tacticbreed", {"-rounds", "-2"}, "tacticbreed: -rounds must be from 1 to 2147483647.\n"},
    {"tacticbreed", {"-size", "0"}, "tacticbreed: -size must be from 1 to 2147483646.\n"},
    {"tacticbreed", {"-size", "-6"}, "malloc failed to get -48 bytes.\n"},
    {"tacticbreed", {"-size", "2147483646"}, "malloc failed to get 17179869168 bytes.\n"},
    {"orbitpin", {"-on1", "-1"}, orbitpin_timing},
    {"orbitpin", {"-off", "250"}, orbitpin_timing},
    {"orbitpin", {"-on2", "400"}, orbitpin_timing},
    {"orbitpin", {"-on1", "101"}, orbitpin_timing},
    {"orbitpin", {"-points", "-1", "-on1", "0", "-off", "0", "-on2", "0"}, orbitpin_timing},
  };
  for (const Case &c : cases) expect_run(c, 1);
}
