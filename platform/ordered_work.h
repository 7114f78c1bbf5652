// Work shared by several threads whose effects must happen in order.
//
// runInTurns calls work(i, gate) for every i in [0, count), on `threads`
// threads (the caller's among them), handing the items out in ascending
// order. An item runs on its own until it needs the turn: gate.await()
// blocks until every earlier item has finished, and from then on whatever
// the item does happens after everything the earlier items did, as on one
// thread. What work returns (if anything) is the item's ending: it runs
// with the turn, on whichever thread has it then, and the item is finished
// after it. A thread whose item ends without the turn leaves the ending to
// that thread and takes the next item; at most `window` items are handed out
// beyond the one that has the turn.
//
// handOutFirst, when given, may name an item to hand out before its place in
// the order (a long one, so that it does not run last and alone); it is asked
// before every hand-out, with the run's lock held, and may name any item not
// handed out yet, however far beyond the window. The turn still goes in item
// order.
//
// An exception thrown by work(i) or by its ending stops the run once item i
// has the turn: no item is handed out any more, the endings of later items
// do not run, gate.await() returns false in the items under way (they should
// stop without effects), and the exception is rethrown on the calling thread
// after every thread has stopped.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>

namespace platform {

using Ending = std::function<void()>;
using HandOutFirst = std::function<std::optional<std::size_t>()>;

namespace detail {
struct TurnState {
  std::mutex mutex;
  std::condition_variable changed;
  std::atomic<std::size_t> current{0};  // the item that has the turn
  std::size_t next = 0;                 // the next item to hand out in order
  std::size_t window = 1;
  HandOutFirst handOutFirst;
  std::set<std::size_t> handedOutEarly;  // items beyond `next` handed out already
  bool stopped = false;
  std::exception_ptr error;
  // Items done without the turn: their endings, or what they threw.
  std::map<std::size_t, std::pair<Ending, std::exception_ptr>> waiting;
};
}  // namespace detail

class TurnGate {
 public:
  TurnGate(detail::TurnState& state, std::size_t index) : state_(state), index_(index) {}

  // Waits for the turn; false when an earlier item failed.
  bool await();
  // Takes the turn when it has come, without waiting.
  bool ready();
  bool hasTurn() const { return hasTurn_; }

 private:
  detail::TurnState& state_;
  std::size_t index_;
  bool hasTurn_ = false;
};

void runInTurns(std::size_t count, unsigned threads, std::size_t window,
                const std::function<Ending(std::size_t, TurnGate&)>& work,
                HandOutFirst handOutFirst = {});

// The number of threads to use when the caller asks for 0: one per
// processor, at least 1 and at most 8.
unsigned defaultThreadCount();

}  // namespace platform
