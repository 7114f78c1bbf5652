#include "platform/ordered_work.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace platform {

bool TurnGate::await() {
  std::unique_lock lock(state_.mutex);
  if (!hasTurn_) {
    state_.changed.wait(lock, [this] { return state_.current.load() == index_; });
    hasTurn_ = true;
  }
  return !state_.stopped;
}

bool TurnGate::ready() {
  // Only this item moves the turn on from here, so once seen it stays.
  if (!hasTurn_ && state_.current.load() == index_) await();
  return hasTurn_;
}

namespace {

// Runs an ending unless the run has stopped; records a failure. Called with
// the turn and the lock, which it gives up while the ending runs.
void endItem(detail::TurnState& state, std::unique_lock<std::mutex>& lock, const Ending& ending,
             std::exception_ptr error) {
  if (!error && !state.stopped && ending) {
    lock.unlock();
    try {
      ending();
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
  }
  if (error && !state.stopped) {
    state.stopped = true;
    state.error = error;
  }
  state.current = state.current + 1;
  // Threads waiting for room in the window or for their turn go on now,
  // not after the endings of the items waiting behind this one.
  state.changed.notify_all();
}

// Ends the item that has the turn and every waiting item after it.
void passTurn(detail::TurnState& state, std::unique_lock<std::mutex>& lock, const Ending& ending,
              std::exception_ptr error) {
  endItem(state, lock, ending, error);
  for (auto found = state.waiting.find(state.current); found != state.waiting.end();
       found = state.waiting.find(state.current)) {
    auto [waitingEnding, waitingError] = std::move(found->second);
    state.waiting.erase(found);
    endItem(state, lock, waitingEnding, waitingError);
  }
}

// The item to hand out now, or nothing when the run is over; called with the
// lock held, once the window has room.
std::optional<std::size_t> handOut(detail::TurnState& state, std::size_t count) {
  if (state.handOutFirst) {
    const std::optional<std::size_t> early = state.handOutFirst();
    if (early && *early > state.next && *early < count &&
        state.handedOutEarly.insert(*early).second) {
      return early;
    }
  }
  if (state.next >= count) return std::nullopt;
  const std::size_t index = state.next++;
  // Items handed out early are passed over when their place comes.
  for (auto passed = state.handedOutEarly.begin();
       passed != state.handedOutEarly.end() && *passed == state.next;
       passed = state.handedOutEarly.erase(passed)) {
    ++state.next;
  }
  return index;
}

void workOnItems(detail::TurnState& state, std::size_t count,
                 const std::function<Ending(std::size_t, TurnGate&)>& work) {
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock lock(state.mutex);
      state.changed.wait(lock, [&] {
        return state.stopped || state.next >= count ||
               state.next <= state.current.load() + state.window;
      });
      if (state.stopped) return;
      const std::optional<std::size_t> item = handOut(state, count);
      if (!item) return;
      index = *item;
    }
    TurnGate gate(state, index);
    Ending ending;
    std::exception_ptr error;
    try {
      ending = work(index, gate);
    } catch (...) {
      error = std::current_exception();
    }
    std::unique_lock lock(state.mutex);
    if (state.current.load() == index) {
      passTurn(state, lock, ending, error);
    } else {
      state.waiting.emplace(index, std::make_pair(std::move(ending), error));
    }
  }
}

}  // namespace

void runInTurns(std::size_t count, unsigned threads, std::size_t window,
                const std::function<Ending(std::size_t, TurnGate&)>& work,
                HandOutFirst handOutFirst) {
  detail::TurnState state;
  state.window = std::max<std::size_t>(window, 1);
  state.handOutFirst = std::move(handOutFirst);
  {
    std::vector<std::jthread> helpers;
    const auto extra =
        static_cast<unsigned>(std::min<std::size_t>(threads > 0 ? threads - 1 : 0, count));
    for (unsigned i = 0; i < extra; ++i) {
      helpers.emplace_back([&] { workOnItems(state, count, work); });
    }
    workOnItems(state, count, work);
  }  // the helpers are joined here
  if (state.error) std::rethrow_exception(state.error);
}

unsigned defaultThreadCount() {
  // Past a few threads the writing of pages in order limits the gain, and
  // every thread holds pages of its own.
  constexpr unsigned kMostThreads = 8;
  return std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads);
}

}  // namespace platform
