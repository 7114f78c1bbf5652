// The korvex console run: from the message language to the exit status.
//
// RunKorvex owns every object of one run (message language, switches, the
// project) and frees them before it returns, unless asked to leave the
// project to the end of the process. Errors that the run does not
// report itself propagate to the caller, which prints them and exits 1.
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace console {

// An error that ends the run outside the help build, already worded for the
// user.
class KorvexError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ConsoleStreams {
  std::ostream& out;
  std::istream& in;
};

// The banner line: the program name and its version.
std::string Banner();

// What becomes of the project's model when the run is over.
enum class ModelAtEnd {
  Freed,
  // Left for the operating system to reclaim when the process ends: freeing
  // the model of a large project object by object takes a noticeable share
  // of the run. Only for a process that ends after the run.
  LeftToProcessEnd,
};

// Runs korvex with the process arguments (arguments[0] is the program path)
// and the program directory (ending in a separator) where its language files
// and templates lie. Returns the exit status.
int RunKorvex(const std::vector<std::string>& arguments, const std::string& programDirectory,
              ConsoleStreams streams, ModelAtEnd modelAtEnd = ModelAtEnd::Freed);

}  // namespace console
