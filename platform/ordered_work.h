// Work done on several threads, its results taken in order.
//
// runOrdered calls produce(i) for every i in [0, count) on a pool of worker
// threads and consume(i) on the calling thread in ascending order, each as
// soon as produce(i) has finished. At most `window` items are produced ahead
// of the last one consumed, so the results held at once stay bounded. What
// produce(i) leaves for consume(i) lives with the caller, one slot per item.
//
// An exception thrown by produce(i) is rethrown on the calling thread when
// item i's turn comes; one thrown by consume stops the pool and goes on. The
// workers are stopped and joined before runOrdered returns or throws. With
// one thread or one item everything runs on the calling thread, in order.
#pragma once

#include <cstddef>
#include <functional>

namespace platform {

void runOrdered(std::size_t count, unsigned threads, std::size_t window,
                const std::function<void(std::size_t)>& produce,
                const std::function<void(std::size_t)>& consume);

// The number of worker threads to use when the caller asks for 0: one per
// processor, at least 1.
unsigned defaultThreadCount();

}  // namespace platform
