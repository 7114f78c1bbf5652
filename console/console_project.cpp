#include "console/console_project.h"

#include <ostream>

namespace console {

THelpConsoleProject::THelpConsoleProject(std::string programDirectory, std::ostream& out)
    : THProject(std::move(programDirectory)), out_(out) {}

void THelpConsoleProject::Message(int /*level*/, std::string_view text) {
  if (UseResults) {
    Results.emplace_back(text);
  } else {
    out_ << text << '\n';
  }
}

}  // namespace console
