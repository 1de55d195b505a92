// Every program against checksums of what the build before the speed-ups
// printed for the same options: the fast paths (bulk random draws, game
// totals worked out once, the buffered number writer) must not change a byte.
// Rows whose output holds a NaN were recorded again when every NaN came to
// be printed as "-nan".
// bench/checksums.py runs the commands of the table and prints its rows.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>

#include "run_program.h"
#include "temp_dir.h"

namespace {

struct Case {
  const char *command; // program and options; @name is a file written below
  uint64_t out, err;   // checksums of standard output and standard error
  size_t out_size;
  int status;
};

// clang-format off
const Case cases[] = {
  {"peakseek",
   0x123633368f4270b1u, 0xcbf29ce484222325u, 5440, 0},
  {"peakseek -size 1000 -len 64 -gens 20 -seed 7",
   0x43ca9a539f0803e3u, 0xcbf29ce484222325u, 3130, 0},
  {"peakseek -size 301 -len 53 -gens 30 -seed 3 -crate 1 -mrate 0.2",
   0x127fda015b1e8c99u, 0xcbf29ce484222325u, 4370, 0},
  {"peakseek -size 50 -len 54 -gens 40 -mrate 0.5",
   0x8b7939bca1cbe71fu, 0xcbf29ce484222325u, 5870, 0},
  {"peakseek -size 20 -len 200 -gens 20 -seed 5 -mrate 0.05",
   0x0a51ac0f12bc4513u, 0xcbf29ce484222325u, 5850, 0},
  {"peakseek -size 6 -len 1100 -gens 3",
   0x29f97f8482e14602u, 0xcbf29ce484222325u, 3576, 0},
  {"peakseek -gens 30 -mrate 0 -crate 0",
   0x11b6171baf44b3a5u, 0xcbf29ce484222325u, 3260, 0},
  {"peakseek -size 12 -gens 10 -mrate 1",
   0xc0a6b79c01e7d1a5u, 0xcbf29ce484222325u, 1080, 0},
  {"peakseek -gens 10 -mrate 1e-300 -crate 1e-300",
   0x391e1a565a91bdccu, 0xcbf29ce484222325u, 1080, 0},
  {"peakseek -gens 10 -mrate nan -crate -1",
   0x391e1a565a91bdccu, 0xcbf29ce484222325u, 1080, 0},
  {"peakseek -size 40 -gens 20 -var -1",
   0xc90ef87705098bf7u, 0xcbf29ce484222325u, 2170, 0},
  {"peakseek -size 40 -gens 20 -var 0 -target 0.5 -len 2",
   0xc3e23a344ea284bdu, 0xcbf29ce484222325u, 1710, 0},
  {"peakseek -gens 5 -target inf",
   0x9351432ee66c397du, 0xcbf29ce484222325u, 540, 0},
  {"peakseek -size 7 -seed -5 -len 9 -gens 25",
   0x2a04df55993b79bcu, 0xcbf29ce484222325u, 2540, 0},
  {"hillscan",
   0xae4f7fe46af0565bu, 0xcbf29ce484222325u, 7188, 0},
  {"hillscan -size 1000 -len 64 -gens 20 -seed 7",
   0x27213a3813bf6344u, 0xcbf29ce484222325u, 4775, 0},
  {"hillscan -size 200 -len 26 -gens 30 -seed 2 -crate 1 -mrate 0.1",
   0xe674527650e3c3fau, 0xcbf29ce484222325u, 4894, 0},
  {"hillscan -size 30 -len 27 -gens 30 -mrate 0.5",
   0xda8fc79b2f73fc0au, 0xcbf29ce484222325u, 4939, 0},
  {"hillscan -size 10 -len 1 -gens 20",
   0x026b0d3dd02a501eu, 0xcbf29ce484222325u, 2230, 0},
  {"hillscan -size 10 -len 600 -gens 3",
   0x2c2fdb154e2e6458u, 0xcbf29ce484222325u, 3930, 0},
  {"hillscan -size 20 -gens 20 -mrate 0 -crate 0",
   0x793fea476ca82a73u, 0xcbf29ce484222325u, 2850, 0},
  {"hillscan -size 20 -gens 10 -mrate 1 -seed 9",
   0xbf25f11dadb1eea6u, 0xcbf29ce484222325u, 1421, 0},
  {"hillscan -size 9 -len 100 -gens 15 -seed -3",
   0x0bc3d2b973732d4cu, 0xcbf29ce484222325u, 4670, 0},
  {"jobmatch",
   0x504039069ab1b0ffu, 0xcbf29ce484222325u, 3380, 0},
  {"jobmatch -specs @jobs50 -size 100 -gens 50",
   0x8986e69ac79e2683u, 0xcbf29ce484222325u, 13440, 0},
  {"jobmatch -specs @jobs50 -size 60 -gens 30 -pbase 1",
   0x2a3b4622dbda29c8u, 0xcbf29ce484222325u, 8060, 0},
  {"jobmatch -specs @jobs50 -size 60 -gens 30 -pbase 0.5 -seed 4",
   0xb1b3eb07304d9d58u, 0xcbf29ce484222325u, 8055, 0},
  {"jobmatch -specs @jobs50 -size 60 -gens 30 -pbase 3 -seed 5",
   0x8b7607c363865e85u, 0xcbf29ce484222325u, 8060, 0},
  {"jobmatch -specs @jobs50 -size 40 -gens 20 -mrate 0.3 -crate 1",
   0xc344b8a5cca588feu, 0xcbf29ce484222325u, 5370, 0},
  {"jobmatch -specs @jobs50 -size 40 -gens 20 -mrate 0 -crate 0",
   0xa2562f3d5ecee95du, 0xcbf29ce484222325u, 5370, 0},
  {"jobmatch -specs @jobs50 -size 30 -gens 10 -mrate 1 -seed 8",
   0x9e0ad06e2ad5fa07u, 0xcbf29ce484222325u, 2680, 0},
  {"jobmatch -specs @one -size 4 -gens 5",
   0x0517d35353ac1b99u, 0xcbf29ce484222325u, 370, 0},
  {"jobmatch -specs @three -size 7 -gens 12 -seed 2 -mrate 0.2",
   0xecf3215edea08c31u, 0xcbf29ce484222325u, 986, 0},
  {"tacticbreed",
   0xcbf29ce484222325u, 0xa432f350176e9e37u, 0, 0},
  {"tacticbreed -size 60 -gens 5 -hlen 3",
   0xcbf29ce484222325u, 0xb66b9f0a51bc690au, 0, 0},
  {"tacticbreed -size 60 -gens 5 -hlen 3 -noise 0.05",
   0xcbf29ce484222325u, 0xe250e017af5144f5u, 0, 0},
  {"tacticbreed -size 20 -gens 4 -noise 1",
   0xcbf29ce484222325u, 0x77e516ac784b9d6eu, 0, 0},
  {"tacticbreed -size 20 -gens 4 -hlen 2 -noise 1e-300",
   0xcbf29ce484222325u, 0xe47aab86a25b0939u, 0, 0},
  {"tacticbreed -size 30 -gens 6 -hlen 2 -rounds 1",
   0xcbf29ce484222325u, 0xa71a1e35e73be05bu, 0, 0},
  {"tacticbreed -size 20 -gens 3 -hlen 5 -bouts 10 -rounds 40",
   0xcbf29ce484222325u, 0xea8bf2c0a21455dfu, 0, 0},
  {"tacticbreed -size 16 -gens 5 -hlen 4 -rounds 3 -noise 0.2",
   0xcbf29ce484222325u, 0xadb7fcf656524727u, 0, 0},
  {"tacticbreed -size 30 -gens 5 -CC 3.7 -DC 5.9 -DD -1.2 -CD 0.3",
   0xcbf29ce484222325u, 0xb4c33aa6e6adc11bu, 0, 0},
  {"tacticbreed -size 10 -gens 3 -CC 1e300 -hlen 2",
   0xcbf29ce484222325u, 0x19ae9a1ca30dd310u, 0, 0},
  {"tacticbreed -size 10 -gens 3 -CC 1e15 -DC 3e15 -rounds 30",
   0xcbf29ce484222325u, 0xc184b9d50b2f9146u, 0, 0},
  {"tacticbreed -size 20 -gens 4 -dump",
   0xbc3a537c19b5f5ddu, 0x6abc35d7f55e54b5u, 120, 0},
  {"tacticbreed -size 7 -bouts 3 -rounds 50 -crate 1 -mrate 0.1 -dump -seed 12",
   0x46153c3addf22bb6u, 0xd6a7d2f0cab0b613u, 48, 0},
  {"tacticbreed -gens 0 -dump -hlen 3 -size 5",
   0x744562011fc8e11au, 0xcbf29ce484222325u, 516, 0},
  {"tacticpool -steps 20000",
   0x136bb01e2b25b0b9u, 0xcbf29ce484222325u, 920000, 0},
  {"tacticpool -steps 3000 -noise 0.01",
   0xecf3593dc0b62fd2u, 0xcbf29ce484222325u, 138000, 0},
  {"tacticpool -steps 300 -noise 1",
   0x9180ec33f288dd78u, 0xcbf29ce484222325u, 13800, 0},
  {"tacticpool -steps 300 -noise 1e-300 -seed 4",
   0xe930cf572f14b0dcu, 0xcbf29ce484222325u, 13800, 0},
  {"tacticpool -steps 300 -noise -1",
   0xbb4d72d917f01f29u, 0xcbf29ce484222325u, 13800, 0},
  {"tacticpool -steps 1000 -Irand 0",
   0x597096e9137fe535u, 0xcbf29ce484222325u, 46000, 0},
  {"tacticpool -steps 500 -rcp 0",
   0x81fe1212d4fa8358u, 0xcbf29ce484222325u, 23000, 0},
  {"tacticpool -steps 500 -rcp 1",
   0x97686a1dd5b2e07eu, 0xcbf29ce484222325u, 23000, 0},
  {"tacticpool -steps 500 -rcp 0.3 -seed 6",
   0x95d5a575526967e5u, 0xcbf29ce484222325u, 23000, 0},
  {"tacticpool -steps 5 -rounds 0",
   0xf270900b669e2d62u, 0xcbf29ce484222325u, 150, 0},
  {"tacticpool -steps 300 -rounds 1",
   0x450d5813b7ddac5cu, 0xcbf29ce484222325u, 13800, 0},
  {"tacticpool -steps 300 -rounds 37 -noise 0.02",
   0x947911dfc285ca06u, 0xcbf29ce484222325u, 13800, 0},
  {"tacticpool -steps 300 -Iallc 0 -Itft 0 -Ipav 0",
   0xeb9506aaab76ce06u, 0xcbf29ce484222325u, 13800, 0},
  {"tacticpool -steps 50 -CC 1e308 -DC 1e308",
   0xab77ff23eb634c0du, 0xcbf29ce484222325u, 1320, 0},
  {"tacticpool -steps 200 -Iallc 1 -Itft 2 -Irand 0.5 -Ipav 3 -Ialld 4 -CD -1",
   0xb5d6912f26ae2d16u, 0xcbf29ce484222325u, 9200, 0},
  {"tacticpool -steps 100 -Iallc 0 -Itft 0 -Irand 0 -Ipav 0 -Ialld 0",
   0x3defa17173825bddu, 0xcbf29ce484222325u, 2600, 0},
  {"mapseries",
   0xef39423eb779e71eu, 0xcbf29ce484222325u, 90, 0},
  {"mapseries -points 100000 -skip 10",
   0x13e96f58e30d5299u, 0xcbf29ce484222325u, 900000, 0},
  {"mapseries -points 50000 -func tent -r 0.999",
   0x8bd89aa9751bdc43u, 0xcbf29ce484222325u, 450000, 0},
  {"mapseries -points 50000 -func sin -aux 3 -r 0.7",
   0x729f792ab4763aebu, 0xcbf29ce484222325u, 450000, 0},
  {"mapseries -points 50000 -func gauss -aux 50 -r 2",
   0x045d90c7c667458eu, 0xcbf29ce484222325u, 450000, 0},
  {"mapseries -points 100 -r 1e10",
   0xf835bbc241367a44u, 0xcbf29ce484222325u, 778, 0},
  {"mapseries -points 100 -x0 -5 -r 3",
   0x0f1c25dbb498e695u, 0xcbf29ce484222325u, 987, 0},
  {"mapseries -points 30 -x0 1e-310",
   0xdc13ff3f64f0da75u, 0xcbf29ce484222325u, 270, 0},
  {"mapseries -points 10 -skip -3",
   0xab18b65279b909feu, 0xcbf29ce484222325u, 63, 0},
  {"mapseries -points 0",
   0xcbf29ce484222325u, 0xcbf29ce484222325u, 0, 0},
  {"orbitpin",
   0x5d6feecec4df1667u, 0xcbf29ce484222325u, 16092, 0},
  {"orbitpin -points 30000 -skip 0",
   0x1452c005fdbdf217u, 0xcbf29ce484222325u, 1668894, 0},
  {"orbitpin -points 20000 -gauss 0.1 -seed 3",
   0x9972119d7ad3e2eeu, 0xcbf29ce484222325u, 811516, 0},
  {"orbitpin -A 1.4 -B 0.3",
   0xc92430cd1b2f6dd3u, 0xcbf29ce484222325u, 16092, 0},
  {"orbitpin -A -1",
   0xa86d294c23087588u, 0xcbf29ce484222325u, 12342, 0},
  {"orbitpin -A 5",
   0xa86d294c23087588u, 0xcbf29ce484222325u, 12342, 0},
  {"orbitpin -plimit 0",
   0x620915fcd59d47e7u, 0xcbf29ce484222325u, 16092, 0},
  // Line 51 is a NaN whose sign bit differs between compilers.
  {"orbitpin -gauss 0 -seed 21 -B -0.3 -A 1.0",
   0xc3497a8cd43d9247u, 0xcbf29ce484222325u, 12847, 0},
  {"orbitpin -skip -5 -points 40 -on1 10 -off 20 -on2 30",
   0x2368bd72a92db2bcu, 0xcbf29ce484222325u, 1851, 0},
  {"orbitpin -on1 0 -off 0 -on2 0 -points 0",
   0xcbf29ce484222325u, 0xcbf29ce484222325u, 0, 0},
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

// Runs every command of the table for one program.
void check(const std::string &program) {
  TempDir dir;
  dir.file("jobs50", problem50());
  dir.file("one", "1\n7\n");
  dir.file("three", "3\n1 2 3\n4 5 6\n7 8 9\n");
  int runs = 0;
  for (const Case &c : cases) {
    std::istringstream words(c.command);
    std::string name, word;
    words >> name;
    if (name != program) continue;
    std::vector<std::string> args;
    while (words >> word) args.push_back(word[0] == '@' ? dir.path + "/" + word.substr(1) : word);
    auto r = run_program(program, args, SOURCE_DIR);
    EXPECT_EQ(r.status, c.status) << c.command;
    EXPECT_EQ(r.out.size(), c.out_size) << c.command;
    EXPECT_EQ(checksum(r.out), c.out) << c.command;
    EXPECT_EQ(checksum(r.err), c.err) << c.command;
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
