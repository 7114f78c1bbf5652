#include "platform/ordered_work.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {
namespace {

class WorkPool {
 public:
  WorkPool(std::size_t count, std::size_t window) : count_(count), window_(window), done_(count) {}
  WorkPool(const WorkPool&) = delete;
  WorkPool& operator=(const WorkPool&) = delete;

  // Stops handing out items and joins the workers, whatever happened.
  ~WorkPool() {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }

  void start(unsigned threads, const std::function<void(std::size_t)>& produce) {
    for (unsigned i = 0; i < threads; ++i) {
      workers_.emplace_back([this, &produce] { work(produce); });
    }
  }

  // Waits for item index; rethrows what its producer threw.
  void awaitItem(std::size_t index) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return done_[index].finished; });
    if (done_[index].error) std::rethrow_exception(done_[index].error);
  }

  void consumed(std::size_t index) {
    {
      const std::lock_guard lock(mutex_);
      consumed_ = index + 1;
    }
    changed_.notify_all();
  }

 private:
  struct Outcome {
    bool finished = false;
    std::exception_ptr error;
  };

  void work(const std::function<void(std::size_t)>& produce) {
    for (;;) {
      std::size_t index = 0;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock,
                      [&] { return stopping_ || next_ >= count_ || next_ < consumed_ + window_; });
        if (stopping_ || next_ >= count_) return;
        index = next_++;
      }
      std::exception_ptr error;
      try {
        produce(index);
      } catch (...) {
        error = std::current_exception();
      }
      {
        const std::lock_guard lock(mutex_);
        done_[index] = Outcome{true, error};
      }
      changed_.notify_all();
    }
  }

  const std::size_t count_;
  const std::size_t window_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Outcome> done_;
  std::size_t next_ = 0;
  std::size_t consumed_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace

void runOrdered(std::size_t count, unsigned threads, std::size_t window,
                const std::function<void(std::size_t)>& produce,
                const std::function<void(std::size_t)>& consume) {
  if (threads <= 1 || count <= 1) {
    for (std::size_t i = 0; i < count; ++i) {
      produce(i);
      consume(i);
    }
    return;
  }
  WorkPool pool(count, std::max<std::size_t>(window, 1));
  pool.start(threads, produce);
  for (std::size_t i = 0; i < count; ++i) {
    pool.awaitItem(i);
    consume(i);
    pool.consumed(i);
  }
}

unsigned defaultThreadCount() {
  return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace platform
