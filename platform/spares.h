// Objects kept for use again by the thread that made them.
//
// glibc frees a block that another thread allocated under that thread's heap
// lock, and a thread that finds its own heap locked sleeps, often for
// milliseconds: the lock's holder may be taking fresh memory from the kernel.
// Objects that pass from thread to thread in a parallel run (a unit's reading,
// handed to whichever thread adds the unit) are therefore given back here
// rather than destroyed, and taken again by the thread they came from, which
// then reuses their memory or frees it on its own heap. They are destroyed
// together when the pool goes, once the run's threads have stopped.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace platform {

template <class T>
class Spares {
 public:
  // One that came from this thread, if any.
  std::optional<T> take() {
    const std::lock_guard lock(mutex_);
    std::vector<T>& mine = spares_[std::this_thread::get_id()];
    if (mine.empty()) return std::nullopt;
    std::optional<T> spare(std::move(mine.back()));
    mine.pop_back();
    return spare;
  }

  // Kept for the thread `home`, the one that made it.
  void giveBack(T spare, std::thread::id home) {
    const std::lock_guard lock(mutex_);
    spares_[home].push_back(std::move(spare));
  }

 private:
  std::mutex mutex_;
  std::map<std::thread::id, std::vector<T>> spares_;
};

}  // namespace platform
