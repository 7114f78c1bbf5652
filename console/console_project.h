// THelpConsoleProject: the project as the console run uses it. Progress lines
// go to standard output, or are kept in Results once the run asks for a
// results file.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "holders/project.h"

namespace console {

class THelpConsoleProject : public holders::THProject {
 public:
  THelpConsoleProject(std::string programDirectory, std::ostream& out);

  // Every message, one per line, while UseResults is set.
  std::vector<std::string> Results;
  bool UseResults = false;

  // The level is accepted and ignored: every message is printed or kept.
  void Message(int level, std::string_view text) override;

 private:
  std::ostream& out_;
};

}  // namespace console
