#include <gtest/gtest.h>

#include <cmath>

#include "report.h"

TEST(BestIndex, TakesTheFirstOfEqualsAboveMinusOne) {
  double sum = 0;
  const double v[] = {0.5, 0.9, 0.9, 0.1};
  EXPECT_EQ(best_index(v, 4, &sum), 1);
  EXPECT_DOUBLE_EQ(sum, 2.4);
  const double low[] = {-1.0, -5.0, NAN};
  EXPECT_EQ(best_index(low, 3, &sum), -1);
}
