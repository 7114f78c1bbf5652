#include "platform/huge_pages.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(HugePages, TheSettingIsAddedToTunablesThatDoNotMentionIt) {
  EXPECT_EQ(tunablesAskingForHugePages(nullptr), "glibc.malloc.hugetlb=1");
  EXPECT_EQ(tunablesAskingForHugePages(""), "glibc.malloc.hugetlb=1");
  EXPECT_EQ(tunablesAskingForHugePages("glibc.malloc.tcache_count=0"),
            "glibc.malloc.tcache_count=0:glibc.malloc.hugetlb=1");
  // Set already, either way: left as it is (and no second start).
  EXPECT_EQ(tunablesAskingForHugePages("glibc.malloc.hugetlb=0"), std::nullopt);
  EXPECT_EQ(tunablesAskingForHugePages("a=1:glibc.malloc.hugetlb=1"), std::nullopt);
}

}  // namespace
}  // namespace platform
