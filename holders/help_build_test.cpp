// Golden cases of the whole help build. Each tests/data/<case>/ holds Pascal
// units (listed, in order, in the file "units"), optionally "options.ini" and
// "defines", and the expected HELP.RTF, HELP.HPJ, HELP.CNT and HELP.LOG (the
// progress messages, with the case and output directories replaced by <case>
// and <out>). The pages are the small test page set of tests/data/pages.
//
// Run with KORVEX_UPDATE_GOLDEN=1 to write the outputs over the expected files
// (then review the diff before committing).
#include <gtest/gtest.h>

#include <cstdlib>

#include "holders/test_project.h"
#include "platform/files.h"
#include "platform/text.h"

namespace holders {
namespace {

using testing::RecordingProject;
using testing_support::readBytes;

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Braces outside escapes must balance, or the whole document is lost.
int braceBalance(std::string_view rtf) {
  int depth = 0;
  for (size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;
    } else if (rtf[i] == '{') {
      ++depth;
    } else if (rtf[i] == '}' && --depth < 0) {
      return -1;
    }
  }
  return depth;
}

void compareWithGolden(const std::string& expectedPath, const std::string& actual) {
  if (std::getenv("KORVEX_UPDATE_GOLDEN") != nullptr)
    testing_support::writeBytes(expectedPath, actual);
  const std::string expected = readBytes(expectedPath);
  const std::vector<std::string> expectedLines = platform::splitLines(expected);
  const std::vector<std::string> actualLines = platform::splitLines(actual);
  int reported = 0;
  for (size_t i = 0; i < std::max(expectedLines.size(), actualLines.size()) && reported < 5; ++i) {
    const std::string want = i < expectedLines.size() ? expectedLines[i] : "<none>";
    const std::string got = i < actualLines.size() ? actualLines[i] : "<none>";
    if (want == got) continue;
    ADD_FAILURE() << expectedPath << " line " << i + 1 << "\n  expected: " << want
                  << "\n  actual:   " << got;
    ++reported;
  }
  EXPECT_EQ(actual, expected) << expectedPath << " differs byte for byte";
}

void runCase(const std::string& name) {
  const std::string caseDir = testing_support::sourceDir() + "/tests/data/" + name;
  OptionsGuard guard;
  RecordingProject project;
  if (platform::fileExists(caseDir + "/options.ini")) {
    project.ReadOptions(caseDir + "/options.ini");
  }
  project.Scope = static_cast<std::uint8_t>(options().KorvexProjectScope);
  if (platform::fileExists(caseDir + "/defines")) {
    for (const std::string& symbol : platform::splitLines(readBytes(caseDir + "/defines"))) {
      project.AddDefine(symbol);
    }
  }
  for (const std::string& unit : platform::splitLines(readBytes(caseDir + "/units"))) {
    ASSERT_NE(project.AddUnit(caseDir + "/" + unit), nullptr) << unit;
  }
  testing_support::TempDir out;
  project.Build(out.path() + "/HELP.RTF");

  const std::string rtf = readBytes(out.path() + "/HELP.RTF");
  EXPECT_EQ(braceBalance(rtf), 0);
  compareWithGolden(caseDir + "/HELP.RTF", rtf);
  compareWithGolden(caseDir + "/HELP.HPJ", readBytes(out.path() + "/HELP.HPJ"));
  compareWithGolden(caseDir + "/HELP.CNT", readBytes(out.path() + "/HELP.CNT"));
  std::string log;
  for (const auto& [level, text] : project.messages) {
    log += std::to_string(level) + " " + text + "\r\n";
  }
  log = replaceAll(replaceAll(log, caseDir, "<case>"), out.path(), "<out>");
  compareWithGolden(caseDir + "/HELP.LOG", log);
}

TEST(HelpBuildGolden, MultiUnitProject) {
  runCase("help_build");
}

}  // namespace
}  // namespace holders
