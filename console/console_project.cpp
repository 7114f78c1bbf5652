#include "console/console_project.h"

#include <ostream>
#include <streambuf>
#include <string>

namespace console {

THelpConsoleProject::THelpConsoleProject(std::string programDirectory, std::ostream& out)
    : THProject(std::move(programDirectory)), out_(out) {}

void THelpConsoleProject::Message(int /*level*/, std::string_view text) {
  if (UseResults) {
    Results.emplace_back(text);
  } else {
    // Straight into the stream's buffer: a line goes out for every
    // declaration read and every topic built, and formatted output costs
    // several times as much per line.
    std::streambuf* const buffer = out_.rdbuf();
    const auto size = static_cast<std::streamsize>(text.size());
    if (!out_.good() || buffer == nullptr) {
      out_ << text << '\n';
    } else if (buffer->sputn(text.data(), size) != size ||
               buffer->sputc('\n') == std::char_traits<char>::eof()) {
      out_.setstate(std::ios::badbit);
    }
  }
}

}  // namespace console
