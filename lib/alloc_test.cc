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
  // An empty request is granted, and counted, since malloc gives it a block.
  long long before = memory_taken;
  free(xmalloc(0));
  EXPECT_GT(memory_taken, before);
}

TEST(Xmalloc, GrantsALargeBlockWithinTheLimit) {
  const long long request = 3000000000;
  // A megabyte to spare: the limit read now and the one the allocator read
  // at its first request may differ by what was mapped in between.
  if (memory_limit() - memory_taken < request + (1 << 20))
    GTEST_SKIP() << "the memory limit here, " << memory_limit() << " bytes, is below "
                 << request;
  // In a process of its own, which keeps the block until it ends.
  EXPECT_EXIT(exit(xmalloc_wide(3, request / 3) ? 0 : 2), testing::ExitedWithCode(0), "");
}
