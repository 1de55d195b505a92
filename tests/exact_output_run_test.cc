// Every program against checksums of what the build before the speed-ups
// printed for the same options: the fast paths (bulk random draws, game
// totals worked out once, the buffered number writer) must not change a byte.
// Rows whose output holds a NaN were recorded again when every NaN came to
// be printed as "-nan".
// bench/checksums.py runs the commands of the table and prints its rows; it
// also writes tests/exact_output/PROGRAM.gz, the head of each output, from
// which a failing row shows the first line that differs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <sstream>

#include "run_program.h"
#include "temp_dir.h"

namespace {

// The checksum of no output at all.
constexpr uint64_t EMPTY = 0xcbf29ce484222325u;

struct Case {
  const char *command; // program and options; @name is a file written below
  uint64_t out, err;   // checksums of standard output and standard error
  size_t out_size;
  int status;
};

// clang-format off
const Case cases[] = {
  {"peakseek",
   0x123633368f4270b1u, EMPTY, 5440, 0},
  {"peakseek -size 1000 -len 64 -gens 20 -seed 7",
   0x43ca9a539f0803e3u, EMPTY, 3130, 0},
  {"peakseek -size 301 -len 53 -gens 30 -seed 3 -crate 1 -mrate 0.2",
   0x127fda015b1e8c99u, EMPTY, 4370, 0},
  {"peakseek -size 50 -len 54 -gens 40 -mrate 0.5",
   0x8b7939bca1cbe71fu, EMPTY, 5870, 0},
  {"peakseek -size 20 -len 200 -gens 20 -seed 5 -mrate 0.05",
   0x0a51ac0f12bc4513u, EMPTY, 5850, 0},
  {"peakseek -size 6 -len 1100 -gens 3",
   0x29f97f8482e14602u, EMPTY, 3576, 0},
  {"peakseek -gens 30 -mrate 0 -crate 0",
   0x11b6171baf44b3a5u, EMPTY, 3260, 0},
  {"peakseek -size 12 -gens 10 -mrate 1",
   0xc0a6b79c01e7d1a5u, EMPTY, 1080, 0},
  {"peakseek -gens 10 -mrate 1e-300 -crate 1e-300",
   0x391e1a565a91bdccu, EMPTY, 1080, 0},
  {"peakseek -gens 10 -mrate nan -crate -1",
   0x391e1a565a91bdccu, EMPTY, 1080, 0},
  {"peakseek -size 40 -gens 20 -var -1",
   0xc90ef87705098bf7u, EMPTY, 2170, 0},
  {"peakseek -size 40 -gens 20 -var 0 -target 0.5 -len 2",
   0xc3e23a344ea284bdu, EMPTY, 1710, 0},
  {"peakseek -gens 5 -target inf",
   0x9351432ee66c397du, EMPTY, 540, 0},
  {"peakseek -size 7 -seed -5 -len 9 -gens 25",
   0x2a04df55993b79bcu, EMPTY, 2540, 0},
  {"hillscan",
   0xae4f7fe46af0565bu, EMPTY, 7188, 0},
  {"hillscan -size 1000 -len 64 -gens 20 -seed 7",
   0x27213a3813bf6344u, EMPTY, 4775, 0},
  {"hillscan -size 200 -len 26 -gens 30 -seed 2 -crate 1 -mrate 0.1",
   0xe674527650e3c3fau, EMPTY, 4894, 0},
  {"hillscan -size 30 -len 27 -gens 30 -mrate 0.5",
   0xda8fc79b2f73fc0au, EMPTY, 4939, 0},
  {"hillscan -size 10 -len 1 -gens 20",
   0x026b0d3dd02a501eu, EMPTY, 2230, 0},
  {"hillscan -size 10 -len 600 -gens 3",
   0x2c2fdb154e2e6458u, EMPTY, 3930, 0},
  {"hillscan -size 20 -gens 20 -mrate 0 -crate 0",
   0x793fea476ca82a73u, EMPTY, 2850, 0},
  {"hillscan -size 20 -gens 10 -mrate 1 -seed 9",
   0xbf25f11dadb1eea6u, EMPTY, 1421, 0},
  {"hillscan -size 9 -len 100 -gens 15 -seed -3",
   0x0bc3d2b973732d4cu, EMPTY, 4670, 0},
  {"jobmatch",
   0x504039069ab1b0ffu, EMPTY, 3380, 0},
  {"jobmatch -specs @jobs50 -size 100 -gens 50",
   0x8986e69ac79e2683u, EMPTY, 13440, 0},
  {"jobmatch -specs @jobs50 -size 60 -gens 30 -pbase 1",
   0x2a3b4622dbda29c8u, EMPTY, 8060, 0},
  {"jobmatch -specs @jobs50 -size 60 -gens 30 -pbase 0.5 -seed 4",
   0xb1b3eb07304d9d58u, EMPTY, 8055, 0},
  {"jobmatch -specs @jobs50 -size 60 -gens 30 -pbase 3 -seed 5",
   0x8b7607c363865e85u, EMPTY, 8060, 0},
  {"jobmatch -specs @jobs50 -size 40 -gens 20 -mrate 0.3 -crate 1",
   0xc344b8a5cca588feu, EMPTY, 5370, 0},
  {"jobmatch -specs @jobs50 -size 40 -gens 20 -mrate 0 -crate 0",
   0xa2562f3d5ecee95du, EMPTY, 5370, 0},
  {"jobmatch -specs @jobs50 -size 30 -gens 10 -mrate 1 -seed 8",
   0x9e0ad06e2ad5fa07u, EMPTY, 2680, 0},
  {"jobmatch -specs @one -size 4 -gens 5",
   0x0517d35353ac1b99u, EMPTY, 370, 0},
  {"jobmatch -specs @three -size 7 -gens 12 -seed 2 -mrate 0.2",
   0xecf3215edea08c31u, EMPTY, 986, 0},
  {"tacticbreed",
   EMPTY, 0xa432f350176e9e37u, 0, 0},
  {"tacticbreed -size 60 -gens 5 -hlen 3",
   EMPTY, 0xb66b9f0a51bc690au, 0, 0},
  {"tacticbreed -size 60 -gens 5 -hlen 3 -noise 0.05",
   EMPTY, 0xe250e017af5144f5u, 0, 0},
  {"tacticbreed -size 20 -gens 4 -noise 1",
   EMPTY, 0x77e516ac784b9d6eu, 0, 0},
  {"tacticbreed -size 20 -gens 4 -hlen 2 -noise 1e-300",
   EMPTY, 0xe47aab86a25b0939u, 0, 0},
  {"tacticbreed -size 30 -gens 6 -hlen 2 -rounds 1",
   EMPTY, 0xa71a1e35e73be05bu, 0, 0},
  {"tacticbreed -size 20 -gens 3 -hlen 5 -bouts 10 -rounds 40",
   EMPTY, 0xea8bf2c0a21455dfu, 0, 0},
  {"tacticbreed -size 16 -gens 5 -hlen 4 -rounds 3 -noise 0.2",
   EMPTY, 0xadb7fcf656524727u, 0, 0},
  {"tacticbreed -size 30 -gens 5 -CC 3.7 -DC 5.9 -DD -1.2 -CD 0.3",
   EMPTY, 0xb4c33aa6e6adc11bu, 0, 0},
  {"tacticbreed -size 10 -gens 3 -CC 1e300 -hlen 2",
   EMPTY, 0x19ae9a1ca30dd310u, 0, 0},
  {"tacticbreed -size 10 -gens 3 -CC 1e15 -DC 3e15 -rounds 30",
   EMPTY, 0xc184b9d50b2f9146u, 0, 0},
  {"tacticbreed -size 20 -gens 4 -dump",
   0xbc3a537c19b5f5ddu, 0x6abc35d7f55e54b5u, 120, 0},
  {"tacticbreed -size 7 -bouts 3 -rounds 50 -crate 1 -mrate 0.1 -dump -seed 12",
   0x46153c3addf22bb6u, 0xd6a7d2f0cab0b613u, 48, 0},
  {"tacticbreed -gens 0 -dump -hlen 3 -size 5",
   0x744562011fc8e11au, EMPTY, 516, 0},
  {"tacticpool -steps 20000",
   0x136bb01e2b25b0b9u, EMPTY, 920000, 0},
  {"tacticpool -steps 3000 -noise 0.01",
   0xecf3593dc0b62fd2u, EMPTY, 138000, 0},
  {"tacticpool -steps 300 -noise 1",
   0x9180ec33f288dd78u, EMPTY, 13800, 0},
  {"tacticpool -steps 300 -noise 1e-300 -seed 4",
   0xe930cf572f14b0dcu, EMPTY, 13800, 0},
  {"tacticpool -steps 300 -noise -1",
   0xbb4d72d917f01f29u, EMPTY, 13800, 0},
  {"tacticpool -steps 1000 -Irand 0",
   0x597096e9137fe535u, EMPTY, 46000, 0},
  {"tacticpool -steps 500 -rcp 0",
   0x81fe1212d4fa8358u, EMPTY, 23000, 0},
  {"tacticpool -steps 500 -rcp 1",
   0x97686a1dd5b2e07eu, EMPTY, 23000, 0},
  {"tacticpool -steps 500 -rcp 0.3 -seed 6",
   0x95d5a575526967e5u, EMPTY, 23000, 0},
  {"tacticpool -steps 5 -rounds 0",
   0xf270900b669e2d62u, EMPTY, 150, 0},
  {"tacticpool -steps 300 -rounds 1",
   0x450d5813b7ddac5cu, EMPTY, 13800, 0},
  {"tacticpool -steps 300 -rounds 37 -noise 0.02",
   0x947911dfc285ca06u, EMPTY, 13800, 0},
  {"tacticpool -steps 300 -Iallc 0 -Itft 0 -Ipav 0",
   0xeb9506aaab76ce06u, EMPTY, 13800, 0},
  {"tacticpool -steps 50 -CC 1e308 -DC 1e308",
   0xab77ff23eb634c0du, EMPTY, 1320, 0},
  {"tacticpool -steps 200 -Iallc 1 -Itft 2 -Irand 0.5 -Ipav 3 -Ialld 4 -CD -1",
   0xb5d6912f26ae2d16u, EMPTY, 9200, 0},
  {"tacticpool -steps 100 -Iallc 0 -Itft 0 -Irand 0 -Ipav 0 -Ialld 0",
   0x3defa17173825bddu, EMPTY, 2600, 0},
  {"mapseries",
   0xef39423eb779e71eu, EMPTY, 90, 0},
  {"mapseries -points 100000 -skip 10",
   0x13e96f58e30d5299u, EMPTY, 900000, 0},
  {"mapseries -points 50000 -func tent -r 0.999",
   0x8bd89aa9751bdc43u, EMPTY, 450000, 0},
  {"mapseries -points 50000 -func sin -aux 3 -r 0.7",
   0x729f792ab4763aebu, EMPTY, 450000, 0},
  {"mapseries -points 50000 -func gauss -aux 50 -r 2",
   0x045d90c7c667458eu, EMPTY, 450000, 0},
  {"mapseries -points 100 -r 1e10",
   0xf835bbc241367a44u, EMPTY, 778, 0},
  {"mapseries -points 100 -x0 -5 -r 3",
   0x0f1c25dbb498e695u, EMPTY, 987, 0},
  {"mapseries -points 30 -x0 1e-310",
   0xdc13ff3f64f0da75u, EMPTY, 270, 0},
  {"mapseries -points 10 -skip -3",
   0xab18b65279b909feu, EMPTY, 63, 0},
  {"mapseries -points 0",
   EMPTY, EMPTY, 0, 0},
  {"orbitpin",
   0x5d6feecec4df1667u, EMPTY, 16092, 0},
  {"orbitpin -points 30000 -skip 0",
   0x1452c005fdbdf217u, EMPTY, 1668894, 0},
  {"orbitpin -points 20000 -gauss 0.1 -seed 3",
   0x9972119d7ad3e2eeu, EMPTY, 811516, 0},
  {"orbitpin -A 1.4 -B 0.3",
   0xc92430cd1b2f6dd3u, EMPTY, 16092, 0},
  {"orbitpin -A -1",
   0xa86d294c23087588u, EMPTY, 12342, 0},
  {"orbitpin -A 5",
   0xa86d294c23087588u, EMPTY, 12342, 0},
  {"orbitpin -plimit 0",
   0x620915fcd59d47e7u, EMPTY, 16092, 0},
  // From line 51 on, NaNs: the sign bit of the one computed differs between
  // compilers, and the row proves that every build prints it as "-nan".
  {"orbitpin -gauss 0 -seed 21 -B -0.3 -A 1.0",
   0xc3497a8cd43d9247u, EMPTY, 12847, 0},
  {"orbitpin -skip -5 -points 40 -on1 10 -off 20 -on2 30",
   0x2368bd72a92db2bcu, EMPTY, 1851, 0},
  {"orbitpin -on1 0 -off 0 -on2 0 -points 0",
   EMPTY, EMPTY, 0, 0},
};
// clang-format on

// FNV-1a, 64 bits.
uint64_t checksum(const std::string &text) {
  uint64_t h = 0xcbf29ce484222325u;
  for (unsigned char c : text) h = (h ^ c) * 0x100000001b3u;
  return h;
}

// The 50 x 50 problem of entries 0 to 99 from a fixed linear congruential
// sequence, as the benchmark uses it.
std::string problem50() {
  std::string text = "50\n";
  uint64_t s = 12345;
  for (int r = 0; r < 50; r++) {
    for (int c = 0; c < 50; c++) {
      s = (s * 1103515245 + 12345) % 2147483648u;
      if (c) text += ' ';
      text += std::to_string(s / 65536 % 100);
    }
    text += "\n";
  }
  return text;
}

// What a command printed when its row was recorded.
struct Reference {
  std::string out, err;
};

// The outputs recorded for the rows of one program, by command: records of
// "COMMAND\nOUT_SIZE ERR_SIZE\n" and then both streams, gzip-compressed.
// Empty when the file or gzip cannot be read.
std::map<std::string, Reference> references(const std::string &program) {
  std::string path = std::string(SOURCE_DIR) + "/tests/exact_output/" + program + ".gz";
  std::string text;
  if (FILE *f = popen(("gzip -dc '" + path + "' 2>/dev/null").c_str(), "r")) {
    char buffer[1 << 16];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    pclose(f);
  }
  std::map<std::string, Reference> found;
  for (size_t at = 0; at < text.size();) {
    size_t command_end = text.find('\n', at), sizes_end = text.find('\n', command_end + 1);
    size_t out_size = 0, err_size = 0;
    if (sizes_end == std::string::npos ||
        sscanf(text.c_str() + command_end + 1, "%zu %zu", &out_size, &err_size) != 2 ||
        text.size() - sizes_end - 1 < out_size + err_size)
      break;
    Reference &r = found[text.substr(at, command_end - at)];
    r.out = text.substr(sizes_end + 1, out_size);
    r.err = text.substr(sizes_end + 1 + out_size, err_size);
    at = sizes_end + 1 + out_size + err_size;
  }
  return found;
}

// Where a stream departs from what was recorded: the number and text of the
// first line that differs, on both sides. `whole`: the recording is the
// whole stream, not only its head.
std::string first_difference(const char *stream, const std::string &got,
                             const std::string &want, bool whole) {
  auto got_lines = split_lines(got), want_lines = split_lines(want);
  size_t i = 0;
  while (i < got_lines.size() && i < want_lines.size() && got_lines[i] == want_lines[i]) i++;
  std::ostringstream s;
  if (i == want_lines.size() && !whole) {
    s << stream << " agrees with the " << i << " lines recorded; the rest was not kept\n";
    return s.str();
  }
  auto line = [&](const std::vector<std::string> &lines) {
    return i < lines.size() ? '"' + lines[i].substr(0, 200) + '"' : std::string("(none)");
  };
  s << stream << " differs at line " << i + 1 << ":\n  recorded: " << line(want_lines)
    << "\n  now:      " << line(got_lines) << "\n";
  return s.str();
}

// What a failing row has to say: its command, and for each stream that
// differs the first line that does, with its checksum and size.
std::string diagnosis(const Case &c, const RunResult &r, const Reference *ref) {
  std::ostringstream s;
  s << "command: " << c.command << "\n";
  if (r.status != c.status) s << "status " << r.status << ", recorded " << c.status << "\n";
  if (r.out.size() != c.out_size || checksum(r.out) != c.out) {
    s << "standard output: " << r.out.size() << " bytes, checksum " << std::hex
      << checksum(r.out) << "; recorded " << std::dec << c.out_size << " bytes, checksum "
      << std::hex << c.out << std::dec << "\n";
    if (ref) s << first_difference("standard output", r.out, ref->out, checksum(ref->out) == c.out);
  }
  if (checksum(r.err) != c.err) {
    s << "standard error: checksum " << std::hex << checksum(r.err) << ", recorded " << c.err
      << std::dec << "\n";
    if (ref) s << first_difference("standard error", r.err, ref->err, checksum(ref->err) == c.err);
  }
  if (!ref) s << "(no recorded output of this command could be read from tests/exact_output)\n";
  return s.str();
}

// Runs every command of the table for one program.
void check(const std::string &program) {
  TempDir dir;
  dir.file("jobs50", problem50());
  dir.file("one", "1\n7\n");
  dir.file("three", "3\n1 2 3\n4 5 6\n7 8 9\n");
  auto recorded = references(program);
  int runs = 0;
  for (const Case &c : cases) {
    std::istringstream words(c.command);
    std::string name, word;
    words >> name;
    if (name != program) continue;
    std::vector<std::string> args;
    while (words >> word) args.push_back(word[0] == '@' ? dir.path + "/" + word.substr(1) : word);
    auto r = run_program(program, args, SOURCE_DIR);
    bool same = r.status == c.status && r.out.size() == c.out_size &&
                checksum(r.out) == c.out && checksum(r.err) == c.err;
    auto ref = recorded.find(c.command);
    if (!same) ADD_FAILURE() << diagnosis(c, r, ref == recorded.end() ? nullptr : &ref->second);
    // The recorded heads must stay those of the rows, or they would mislead.
    if (same && ref != recorded.end()) {
      EXPECT_TRUE(r.out.starts_with(ref->second.out) && r.err.starts_with(ref->second.err))
          << c.command << ": tests/exact_output is out of date (bench/checksums.py)";
    }
    runs++;
  }
  EXPECT_GT(runs, 0);
}

} // namespace

TEST(ExactOutput, Peakseek) { check("peakseek"); }
TEST(ExactOutput, Hillscan) { check("hillscan"); }
TEST(ExactOutput, Jobmatch) { check("jobmatch"); }
TEST(ExactOutput, Tacticbreed) { check("tacticbreed"); }
TEST(ExactOutput, Tacticpool) { check("tacticpool"); }
TEST(ExactOutput, Mapseries) { check("mapseries"); }
TEST(ExactOutput, Orbitpin) { check("orbitpin"); }
