// A child process for whole-program tests: started with its standard output
// on a pipe, read line by line with a time limit, killed if still running
// when the object goes. Test-only.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace ipc_testing {

class TestChild {
 public:
  // Starts argv[0] with argv and this process's environment. Throws
  // std::runtime_error when it cannot be started.
  explicit TestChild(const std::vector<std::string>& argv);
  ~TestChild();
  TestChild(const TestChild&) = delete;
  TestChild& operator=(const TestChild&) = delete;

  // The next line of its output without the line end; nullopt at its end or
  // when none is complete within timeout.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout);
  // Its exit status (128 + n when ended by signal n), or nullopt when it is
  // still running after timeout.
  std::optional<int> wait(std::chrono::milliseconds timeout);
  void signal(int number);
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  std::string pending_;
  std::optional<int> status_;
};

}  // namespace ipc_testing
