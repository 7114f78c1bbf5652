// The bundled example project documented the way `make demo` does it, with
// the shipped page set and help languages, by a copy of korvex in a
// temporary directory (so nothing else beside the built program, such as a
// KORVEX.INI or an interface language, takes part).
#pragma once

#include <string>
#include <vector>

#include "tests/e2e/program_runner.h"
#include "tests/support/test_support.h"

namespace testing_support {

class DemoProject {
 public:
  DemoProject();

  // Runs korvex in the source tree on examples/KORVEX.INI, writing
  // outputDir()/SHAPES.RTF, .HPJ and .CNT; extra arguments follow.
  RunResult build(const std::vector<std::string>& extraArguments = {}) const;
  std::string outputDir() const { return root_.path() + "/out"; }
  std::string output(const std::string& extension) const {
    return outputDir() + "/SHAPES" + extension;
  }

 private:
  TempDir root_;
  std::string program_;
};

// Where the golden files of the demo live in the source tree.
std::string demoGoldenDir();

}  // namespace testing_support
