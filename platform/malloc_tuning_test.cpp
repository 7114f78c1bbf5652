#include "platform/malloc_tuning.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/sanitized.h"

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

#if defined(__GLIBC__) && !defined(KORVEX_ASAN)
TEST(MallocTuning, FreedMemoryAtTheHeapTopStaysAfterWholeHeapGrowth) {
  if (const char* tunables = std::getenv("GLIBC_TUNABLES");
      tunables != nullptr && std::strstr(tunables, "glibc.malloc.") != nullptr) {
    GTEST_SKIP() << "malloc is tuned from outside";
  }
  { const WholeHeapGrowth growth; }
  // Under the size from which blocks get mappings of their own, so the block
  // comes from the heap; freed, it lies at the heap's top. Writing pages
  // frees and takes such blocks all the time, and each time their memory
  // went back, taking it again cost a fresh huge page.
  constexpr size_t kBlockBytes = 8 << 20;
  std::unique_ptr<char, decltype(&std::free)> block(static_cast<char*>(std::malloc(kBlockBytes)),
                                                    &std::free);
  ASSERT_NE(block, nullptr);
  block.get()[kBlockBytes - 1] = 1;
  const auto blockEnd = reinterpret_cast<std::uintptr_t>(block.get()) + kBlockBytes;
  block.reset();
  EXPECT_GE(reinterpret_cast<std::uintptr_t>(::sbrk(0)), blockEnd);
}
#endif

}  // namespace
}  // namespace platform
