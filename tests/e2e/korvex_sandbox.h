// A korvex installation in a temporary directory for whole-program tests.
//
// The real program is copied into prog/ with a small page set of the test's
// own in prog/Template/, so that every line of the topics file says which page
// and which values made it; runs use a separate work/ directory as their
// current directory. The pages are plain text rather than RTF: the tests read
// the output, no help compiler does.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/program_runner.h"
#include "tests/support/test_support.h"

namespace testing_support {

class KorvexSandbox {
 public:
  // The pages make one line per topic or list entry:
  //   TYPE <unit>.<type> | METHOD <unit>.<full name> [<scope word> <scope>] |
  //   PROPERTY <unit>.<type>.<property> | VARIABLE <unit>.<name> |
  //   CONSTANT <unit>.<name> | UNIT <unit> | UNITJUMP <unit>
  // opened by "{HEADER" and a contents line "CONTENTS <contents> / <units>".
  KorvexSandbox();

  std::string programDir() const { return root_.path() + "/prog/"; }
  std::string workDir() const { return root_.path() + "/work"; }

  // Writes bytes to a file below work/ or prog/ (parents created); returns its path.
  std::string writeWork(std::string_view name, std::string_view bytes) const;
  std::string writeProgram(std::string_view name, std::string_view bytes) const;
  std::string readWork(std::string_view name) const;
  bool workFileExists(std::string_view name) const;
  // The names of the regular files directly in work/, sorted.
  std::vector<std::string> workFiles() const;

  // Saves a help-text language into prog/Template/<file> whose every text is
  // prefix + the built-in English text.
  void writeHelpLanguage(std::string_view file, std::string_view langID, std::string_view name,
                         std::string_view prefix) const;
  // Saves an interface language into prog/<file> with the given texts (by
  // position of the built-in interface table); other texts stay English.
  void writeInterfaceLanguage(std::string_view file, std::string_view langID, std::string_view name,
                              const std::map<int, std::string>& texts) const;

  // Runs korvex in work/ with standard input closed.
  RunResult run(const std::vector<std::string>& arguments) const;
  const std::string& program() const { return program_; }

 private:
  TempDir root_;
  std::string program_;
};

// The lines of text, split at '\n', each without a '\r' before the '\n'
// (tests that care about line ends look at the bytes).
std::vector<std::string> lines(std::string_view text);
// The lines of text that start with prefix, in order.
std::vector<std::string> linesStartingWith(std::string_view text, std::string_view prefix);

}  // namespace testing_support
