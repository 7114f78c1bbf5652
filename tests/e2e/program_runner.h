// Runs a built program as a child process for whole-program tests: arguments,
// working directory and standard input are given; standard output, standard
// error and the exit status come back. Every run has a time limit, so a
// program that hangs fails its test instead of stalling the suite.
#pragma once

#include <chrono>
#include <string>
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

// Copies a built program into directory (so that it finds its data files
// beside itself there) and returns the copy's path.
std::string installProgramCopy(const std::string& program, const std::string& directory);

}  // namespace testing_support
