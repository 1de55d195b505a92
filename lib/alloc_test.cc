#include <gtest/gtest.h>

#include "misc.h"

TEST(Xmalloc, RefusedAndImpossibleRequestsEndTheRun) {
  EXPECT_EXIT(xmalloc(-40), testing::ExitedWithCode(1),
              "^malloc failed to get -40 bytes\\.\n$");
  EXPECT_EXIT(xmalloc_array(536870914, 8), testing::ExitedWithCode(1),
              "^malloc failed to get 4294967312 bytes\\.\n$");
  EXPECT_EXIT(xmalloc_array(-3, 8), testing::ExitedWithCode(1),
              "failed to get -24 bytes");
  // Beyond the int range, and beyond any memory there is.
  EXPECT_EXIT(xmalloc_wide(2147483647, 2147483647), testing::ExitedWithCode(1),
              "^malloc failed to get 4611686014132420609 bytes\\.\n$");
  void *p = xmalloc(0);
  EXPECT_NE(p, nullptr);
  free(p);
  // 3 GB: granted, in a process of its own that keeps it until it ends.
  EXPECT_EXIT(exit(xmalloc_wide(3, 1000000000) ? 0 : 2), testing::ExitedWithCode(0), "");
}
