#include "platform/malloc_tuning.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(MallocTuning, SettingsAreAddedToTunablesThatDoNotMentionThem) {
  const std::string both = "glibc.malloc.hugetlb=1:glibc.malloc.tcache_count=3000";
  EXPECT_EQ(tunablesForLargeRuns(nullptr, true), both);
  EXPECT_EQ(tunablesForLargeRuns("", true), both);
  EXPECT_EQ(tunablesForLargeRuns("glibc.malloc.top_pad=0", true), "glibc.malloc.top_pad=0:" + both);
  // Without huge pages on offer only the cache is asked for.
  EXPECT_EQ(tunablesForLargeRuns(nullptr, false), "glibc.malloc.tcache_count=3000");
}

TEST(MallocTuning, SettingsTheUserMadeAreKeptAndNothingAddedTwice) {
  EXPECT_EQ(tunablesForLargeRuns("glibc.malloc.hugetlb=0", true),
            "glibc.malloc.hugetlb=0:glibc.malloc.tcache_count=3000");
  EXPECT_EQ(tunablesForLargeRuns("glibc.malloc.tcache_count=0", true),
            "glibc.malloc.tcache_count=0:glibc.malloc.hugetlb=1");
  // All there: no second start, which also ends the chain of starts.
  EXPECT_EQ(tunablesForLargeRuns("a=1:glibc.malloc.tcache_count=7:glibc.malloc.hugetlb=1", true),
            std::nullopt);
  EXPECT_EQ(tunablesForLargeRuns("glibc.malloc.tcache_count=7", false), std::nullopt);
  // A name that only begins like a setting's does not count as setting it.
  EXPECT_EQ(tunablesForLargeRuns("glibc.malloc.tcache_count_x=1", false),
            "glibc.malloc.tcache_count_x=1:glibc.malloc.tcache_count=3000");
}

}  // namespace
}  // namespace platform
