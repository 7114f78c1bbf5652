#include "platform/ordered_work.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {
namespace {

TEST(OrderedWork, ConsumesEveryItemInOrderWhateverTheThreadCount) {
  for (const unsigned threads : {1u, 2u, 7u}) {
    SCOPED_TRACE(threads);
    const size_t count = 500;
    std::vector<size_t> slots(count);
    std::vector<size_t> order;
    runOrdered(
        count, threads, 4, [&](size_t i) { slots[i] = i * i; },
        [&](size_t i) {
          EXPECT_EQ(i * i, slots[i]);
          order.push_back(i);
        });
    ASSERT_EQ(count, order.size());
    for (size_t i = 0; i < count; ++i) EXPECT_EQ(i, order[i]);
  }
}

TEST(OrderedWork, NeverProducesMoreThanTheWindowAheadOfTheConsumer) {
  const size_t window = 3;
  std::atomic<size_t> consumed{0};
  std::atomic<size_t> furthestLead{0};
  runOrdered(
      200, 4, window,
      [&](size_t i) {
        const size_t lead = i + 1 - consumed.load();
        size_t seen = furthestLead.load();
        while (lead > seen && !furthestLead.compare_exchange_weak(seen, lead)) {
        }
      },
      [&](size_t i) { consumed = i + 1; });
  EXPECT_LE(furthestLead.load(), window);
}

TEST(OrderedWork, AProducerFailureReachesTheCallerAfterTheItemsBeforeIt) {
  for (const unsigned threads : {1u, 3u}) {
    SCOPED_TRACE(threads);
    std::vector<size_t> consumed;
    try {
      runOrdered(
          100, threads, 8,
          [](size_t i) {
            if (i == 40) throw std::runtime_error("item 40");
          },
          [&](size_t i) { consumed.push_back(i); });
      FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(std::string("item 40"), error.what());
    }
    EXPECT_EQ(40u, consumed.size());
  }
}

TEST(OrderedWork, AConsumerFailureStopsThePool) {
  EXPECT_THROW(runOrdered(
                   1000, 3, 2, [](size_t) {},
                   [](size_t i) {
                     if (i == 5) throw std::logic_error("stop");
                   }),
               std::logic_error);
}

}  // namespace
}  // namespace platform
