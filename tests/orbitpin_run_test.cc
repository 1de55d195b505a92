#include <gtest/gtest.h>

#include <cmath>

#include "run_program.h"

namespace {

struct Line {
  int n;
  std::string x, y, p; // as printed, so equal values compare exactly
};

std::vector<Line> series(const std::vector<std::string> &args) {
  auto r = run_program("orbitpin", args);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  std::vector<Line> lines;
  for (const auto &text : split_lines(r.out)) {
    std::vector<std::string> f;
    size_t start = 0;
    for (size_t tab; (tab = text.find('\t', start)) != std::string::npos; start = tab + 1)
      f.push_back(text.substr(start, tab - start));
    f.push_back(text.substr(start));
    EXPECT_EQ(f.size(), 5u) << text;
    if (f.size() != 5) continue;
    EXPECT_EQ(f[0], "(t,x[t],y[t],p[t])=");
    Line l{std::stoi(f[1]), f[2], f[3], f[4]};
    for (const auto &v : {l.x, l.y, l.p})
      EXPECT_TRUE(v.size() > 1 && (v[0] == ' ' || v[0] == '-')) << text;
    lines.push_back(l);
  }
  return lines;
}

std::vector<std::string> xs(const std::vector<Line> &lines) {
  std::vector<std::string> v;
  for (const auto &l : lines) v.push_back(l.x);
  return v;
}

} // namespace

TEST(OrbitpinRun, ControlActsOnlyInItsWindowsAndWithinTheLimit) {
  auto lines = series({});
  ASSERT_EQ(lines.size(), 300u);
  int applied = 0;
  for (int k = 0; k < 300; k++) {
    const Line &l = lines[k];
    EXPECT_EQ(l.n, k + 1);
    if (k > 0) {
      EXPECT_EQ(l.y, lines[k - 1].x) << l.n; // y[t] = x[t-1]
    }
    bool window = (l.n > 50 && l.n <= 100) || l.n > 200;
    double p = std::stod(l.p);
    if (!window) {
      EXPECT_EQ(l.p, " 0.000000") << l.n;
    }
    EXPECT_LE(std::fabs(p), 0.2) << l.n;
    applied += p != 0.0;
  }
  EXPECT_GT(applied, 0);
  // The orbit is caught on the fixed point before each window closes.
  EXPECT_EQ(lines[99].x, " 0.838486");
  EXPECT_EQ(lines[299].x, " 0.838486");
}

TEST(OrbitpinRun, ALimitOfZeroLeavesTheMapUncontrolled) {
  auto uncontrolled = series({"-on1", "0", "-off", "0", "-on2", "300"});
  EXPECT_EQ(xs(series({"-plimit", "0"})), xs(uncontrolled));
  EXPECT_EQ(xs(series({"-plimit", "-1"})), xs(uncontrolled));
  EXPECT_NE(xs(series({})), xs(uncontrolled));
}

TEST(OrbitpinRun, SeedAndNoiseChangeTheSeries) {
  const std::vector<std::string> brief = {"-points", "20", "-on1", "0", "-off", "0",
                                           "-on2", "20"};
  auto with = [&](std::vector<std::string> more) {
    more.insert(more.end(), brief.begin(), brief.end());
    return series(more);
  };
  auto plain = xs(with({}));
  ASSERT_EQ(plain.size(), 20u);
  EXPECT_EQ(xs(with({})), plain);
  EXPECT_NE(xs(with({"-seed", "5"})), plain);
  auto noisy = with({"-gauss", "0.01"});
  EXPECT_NE(xs(noisy), plain);
  int shifted = 0;
  for (size_t k = 1; k < noisy.size(); k++) shifted += noisy[k].y != noisy[k - 1].x;
  EXPECT_GT(shifted, 15);
}

TEST(OrbitpinRun, SkipAndPointsSetTheNumbering) {
  auto lines = series({"-skip", "-3", "-points", "10", "-on1", "0", "-off", "0",
                       "-on2", "10"});
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines.front().n, 4);
  EXPECT_EQ(lines.back().n, 10);
}

TEST(OrbitpinRun, NoRealFixedPointGivesNotANumberAndStillSucceeds) {
  auto lines = series({"-A", "-5", "-points", "3", "-skip", "0", "-on1", "0",
                       "-off", "2", "-on2", "3"});
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[0].p.find("nan"), std::string::npos);
  EXPECT_NE(lines[2].x.find("nan"), std::string::npos);
}
