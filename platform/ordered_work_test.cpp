#include "platform/ordered_work.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {
namespace {

// Items do some work of their own, then record themselves with the turn,
// some from within the item, the rest in their endings: the record is in
// item order whatever the thread count.
TEST(Turns, WhatItemsDoWithTheTurnHappensInItemOrder) {
  for (const unsigned threads : {1u, 2u, 7u}) {
    SCOPED_TRACE(threads);
    const size_t count = 400;
    std::vector<size_t> order;
    std::vector<size_t> squares(count);
    runInTurns(count, threads, 3, [&](size_t i, TurnGate& gate) -> Ending {
      squares[i] = i * i;
      if (i % 3 == 0) {
        EXPECT_TRUE(gate.await());
        order.push_back(i);
        return {};
      }
      return [&order, i] { order.push_back(i); };
    });
    for (size_t i = 0; i < count; ++i) EXPECT_EQ(i * i, squares[i]);
    ASSERT_EQ(count, order.size());
    for (size_t i = 0; i < count; ++i) EXPECT_EQ(i, order[i]);
  }
}

TEST(Turns, ItemsRunAtMostTheWindowAheadOfTheTurn) {
  const size_t window = 2;
  std::atomic<size_t> finished{0};
  std::atomic<size_t> furthestLead{0};
  runInTurns(300, 4, window, [&](size_t i, TurnGate& gate) -> Ending {
    const size_t lead = i - finished.load();
    size_t seen = furthestLead.load();
    while (lead > seen && !furthestLead.compare_exchange_weak(seen, lead)) {
    }
    if (gate.ready()) {
      EXPECT_EQ(i, finished.load());
    }
    return [&finished, i] { finished = i + 1; };
  });
  EXPECT_EQ(300u, finished.load());
  EXPECT_LE(furthestLead.load(), window);
}

// When the turn passes through a row of finished items, each ending that
// moves it on makes room in the window at once: a thread waiting for room
// takes its next item while the later endings still run. Here item 1's
// ending waits for the item that the room left by item 0 lets in.
TEST(Turns, AnEndingMakesRoomForTheNextItemBeforeTheEndingsAfterIt) {
  const size_t window = 3;
  std::mutex mutex;
  std::condition_variable changed;
  bool lastAheadDone = false;
  bool nextStarted = false;
  bool nextStartedInTime = false;
  runInTurns(window + 2, 2, window, [&](size_t i, TurnGate&) -> Ending {
    std::unique_lock lock(mutex);
    if (i == 0) {
      // Held back until the other thread has done every item it may run
      // ahead, so that the endings of items 1..window wait behind this one.
      changed.wait_for(lock, std::chrono::seconds(5), [&] { return lastAheadDone; });
    } else if (i == window) {
      lastAheadDone = true;
    } else if (i == window + 1) {
      nextStarted = true;
    }
    changed.notify_all();
    if (i != 1) return {};
    return [&] {
      std::unique_lock endingLock(mutex);
      nextStartedInTime =
          changed.wait_for(endingLock, std::chrono::seconds(5), [&] { return nextStarted; });
    };
  });
  EXPECT_TRUE(nextStartedInTime);
}

// Items named by handOutFirst start before their place, each once and far
// beyond the window, the rest in order; the turn still goes in item order.
// Names that are handed out already, out of range or behind the order are
// passed over.
TEST(Turns, ItemsHandedOutFirstStartEarlyAndEndInOrder) {
  for (const unsigned threads : {1u, 3u}) {
    SCOPED_TRACE(threads);
    const size_t count = 200;
    std::mutex mutex;
    std::vector<size_t> started;
    std::vector<size_t> ended;
    std::vector<size_t> asks{150, 150, 5000, 190, 0, 151};
    runInTurns(
        count, threads, 2,
        [&](size_t i, TurnGate&) -> Ending {
          {
            const std::lock_guard lock(mutex);
            started.push_back(i);
          }
          return [&ended, i] { ended.push_back(i); };
        },
        [&]() -> std::optional<size_t> {
          if (asks.empty()) return std::nullopt;
          const size_t ask = asks.front();
          asks.erase(asks.begin());
          return ask;
        });
    ASSERT_EQ(count, ended.size());
    for (size_t i = 0; i < count; ++i) EXPECT_EQ(i, ended[i]);
    ASSERT_EQ(count, started.size());
    const auto startOf = [&](size_t item) {
      return std::find(started.begin(), started.end(), item) - started.begin();
    };
    EXPECT_LT(startOf(150), 10);
    EXPECT_LT(startOf(190), 10);
    EXPECT_LT(startOf(151), 10);
    EXPECT_EQ(1, std::count(started.begin(), started.end(), 150));
    EXPECT_EQ(1, std::count(started.begin(), started.end(), 0));
  }
}

TEST(Turns, AFailureStopsTheRunAfterTheItemsBeforeIt) {
  for (const unsigned threads : {1u, 3u}) {
    SCOPED_TRACE(threads);
    std::vector<size_t> done;
    std::atomic<int> refused{0};
    try {
      runInTurns(1000, threads, 4, [&](size_t i, TurnGate& gate) -> Ending {
        if (i == 40) throw std::runtime_error("item 40");
        if (i % 2 == 0) return [&done, i] { done.push_back(i); };
        if (!gate.await()) {
          ++refused;
          return {};
        }
        done.push_back(i);
        return {};
      });
      FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(std::string("item 40"), error.what());
    }
    ASSERT_EQ(40u, done.size());
    EXPECT_EQ(39u, done.back());
  }
}

TEST(Turns, AFailingEndingStopsTheRunToo) {
  std::vector<size_t> done;
  EXPECT_THROW(runInTurns(500, 3, 4,
                          [&](size_t i, TurnGate&) -> Ending {
                            return [&done, i] {
                              if (i == 7) throw std::logic_error("ending 7");
                              done.push_back(i);
                            };
                          }),
               std::logic_error);
  EXPECT_EQ(7u, done.size());
}

}  // namespace
}  // namespace platform
