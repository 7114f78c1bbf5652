// Objects kept for use again by whichever thread needs one next.
//
// glibc frees a block that another thread allocated under that thread's heap
// lock, and a thread that finds its own heap locked sleeps; on a virtual
// machine a sleeping processor may wake only at its next timer tick,
// milliseconds later. Buffers that pass from thread to thread in a parallel
// run (a unit's text read on one thread and parsed on another) are therefore
// given back here, emptied but with their room, rather than freed; they are
// freed together when the pool goes, once the run's threads have stopped.
#pragma once

#include <mutex>
#include <utility>
#include <vector>

namespace platform {

template <class T>
class Spares {
 public:
  // A spare one, or a new, default-made one when there is none.
  T take() {
    const std::lock_guard lock(mutex_);
    if (spares_.empty()) return T();
    T spare = std::move(spares_.back());
    spares_.pop_back();
    return spare;
  }

  void giveBack(T spare) {
    const std::lock_guard lock(mutex_);
    spares_.push_back(std::move(spare));
  }

 private:
  std::mutex mutex_;
  std::vector<T> spares_;
};

}  // namespace platform
