// helpcheck NAME.RTF | DIRECTORY: checks a generated WinHelp project, or an
// HTML site with its HTML Help project, for consistency and prints one line
// per problem. Exit status 0 when it finds none, 1 when it finds any, 2 when
// it cannot run.
#include <iostream>
#include <string_view>

#include "platform/files.h"
#include "tools/helpcheck.h"
#include "tools/helpcheck_html.h"

int main(int argc, char** argv) {
  if (argc != 2 || std::string_view(argv[1]) == "--help") {
    std::cerr << "usage: helpcheck NAME.RTF | DIRECTORY\n"
                 "Checks NAME.RTF with the NAME.HPJ and NAME.CNT beside it, or the HTML\n"
                 "pages of DIRECTORY with the HTML Help project (.hhp, .hhc, .hhk) in it.\n";
    return 2;
  }
  try {
    const auto findings = platform::directoryExists(argv[1])
                              ? tools::checkHtmlSite(tools::readHtmlSite(argv[1]))
                              : tools::checkHelpProject(tools::readHelpProject(argv[1]));
    for (const tools::Finding& finding : findings)
      std::cout << tools::formatFinding(finding) << '\n';
    if (!findings.empty()) std::cerr << "helpcheck: " << findings.size() << " problem(s) found\n";
    return findings.empty() ? 0 : 1;
  } catch (const platform::FileError& error) {
    std::cerr << "helpcheck: " << error.what() << '\n';
    return 2;
  }
}
