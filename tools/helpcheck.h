// Consistency checks of a WinHelp project: the topics file (.RTF), the help
// project file (.HPJ) and the contents file (.CNT) of one name.
//
// The checker knows nothing of the pages that produced the files, so it
// serves any page set. It reports unbalanced braces, jumps to topics that do
// not exist, topic IDs defined twice or with characters WinHelp does not
// accept, topics without a title, contents entries without a topic, windows
// used but not defined, and an HPJ that does not name the RTF.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

struct Finding {
  std::string file;
  int line = 0;  // 0 when the finding concerns the whole file
  std::string message;
};

// "file:line: message", or "file: message" for a whole-file finding.
std::string formatFinding(const Finding& finding);

struct HelpProjectFiles {
  std::string rtfName;  // the names shown in findings; rtfName's file-name
  std::string hpjName;  // part is what the HPJ must list
  std::string cntName;
  std::string rtf;
  std::optional<std::string> hpj;  // nullopt: the file does not exist
  std::optional<std::string> cnt;
};

// Reads NAME.RTF and the NAME.HPJ and NAME.CNT beside it (names found
// ignoring case). Throws platform::FileError when the RTF cannot be read.
HelpProjectFiles readHelpProject(std::string_view rtfPath);

// Every finding, RTF first (in line order), then HPJ, then CNT.
std::vector<Finding> checkHelpProject(const HelpProjectFiles& files);

}  // namespace tools
