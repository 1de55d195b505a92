#include <gtest/gtest.h>

#include "run_program.h"

namespace {

std::vector<std::string> series(const std::vector<std::string> &args) {
  auto r = run_program("mapseries", args);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  return split_lines(r.out);
}

using Lines = std::vector<std::string>;

} // namespace

TEST(MapseriesRun, EachMapStartsWithItsKnownIterates) {
  auto log = series({});
  ASSERT_EQ(log.size(), 10u);
  EXPECT_EQ(Lines(log.begin(), log.begin() + 3),
            (Lines{"0.432858", "0.981968", "0.070827"}));
  EXPECT_EQ(log.back(), "0.005901");
  EXPECT_EQ(series({"-func", "tent", "-points", "5"}),
            (Lines{"0.246912", "0.493824", "0.987648", "0.024704", "0.049408"}));
  EXPECT_EQ(series({"-func", "sin", "-points", "2"}), (Lines{"0.850107", "0.095689"}));
  EXPECT_EQ(series({"-func", "gauss", "-points", "2"}), (Lines{"0.867807", "0.873469"}));
  for (const char *name : {"LOG", "logistic", ""})
    EXPECT_EQ(series({"-func", name}), log) << '"' << name << '"';
}

TEST(MapseriesRun, SkipAndPointsChooseTheLines) {
  EXPECT_EQ(series({"-skip", "3", "-points", "2"}), (Lines{"0.263243", "0.775784"}));
  auto shortened = series({"-skip", "-3"});
  ASSERT_EQ(shortened.size(), 7u);
  EXPECT_EQ(shortened[0], "0.432858");
}

TEST(MapseriesRun, RunawaySeriesAreResultsNotErrors) {
  auto escaped = series({"-r", "1e300", "-points", "3"});
  ASSERT_EQ(escaped.size(), 3u);
  EXPECT_EQ(escaped[1], "-inf");
  auto undefined = series({"-x0", "nan", "-points", "2"});
  ASSERT_EQ(undefined.size(), 2u);
  EXPECT_NE(undefined[1].find("nan"), std::string::npos);
}
