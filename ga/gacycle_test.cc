#include <gtest/gtest.h>

#include "gacycle.h"

TEST(PopulationSize, RoundsUpToEvenAndRefusesZero) {
  EXPECT_EQ(round_population_size(7), 8);
  EXPECT_EQ(round_population_size(1), 2);
  EXPECT_EQ(round_population_size(10), 10);
  EXPECT_EQ(round_population_size(-3), -2);
  EXPECT_EXIT(round_population_size(0), testing::ExitedWithCode(1),
              "-size must be from 1 to 2147483646\\.\n");
  EXPECT_EXIT(round_population_size(-1), testing::ExitedWithCode(1),
              "-size must be from 1 to 2147483646\\.\n");
  EXPECT_EXIT(round_population_size(2147483647), testing::ExitedWithCode(1),
              "-size must be");
}
