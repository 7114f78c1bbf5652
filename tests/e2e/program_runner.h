// Runs a built program as a child process for whole-program tests: arguments,
// working directory and standard input are given; standard output, standard
// error and the exit status come back. Every run has a time limit, so a
// program that hangs fails its test instead of stalling the suite.
#pragma once

#include <sys/types.h>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

struct RunResult {
  int exitStatus = -1;  // -1 when the program was killed or timed out
  bool timedOut = false;
  std::string out;
  std::string err;
};

struct RunOptions {
  std::string workingDirectory;  // empty: the test's own
  std::string input;             // written to standard input, which is then closed
  bool keepInputOpen = false;    // leave standard input open (to see a program wait)
  std::chrono::milliseconds timeout{20000};
};

RunResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const RunOptions& options = {});

// A program running while the test talks to it: its standard input stays
// open until closeInput, so a test can see it wait for a line and then give
// it one. The destructor kills a program that is still running.
class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& workingDirectory = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Collects output until the program ends or the time passes; true when it
  // has ended (its exit status is then in result()).
  bool waitForEnd(std::chrono::milliseconds limit);
  void writeInput(std::string_view text);
  void closeInput();
  // The output so far; the exit status once waitForEnd returned true.
  const RunResult& result() const { return result_; }

 private:
  void collect(std::chrono::milliseconds limit);

  pid_t pid_ = -1;
  int input_ = -1;
  int outputs_[2] = {-1, -1};
  bool ended_ = false;
  RunResult result_;
};

// Copies a built program into directory (so that it finds its data files
// beside itself there) and returns the copy's path.
std::string installProgramCopy(const std::string& program, const std::string& directory);

}  // namespace testing_support
