// The bundled example documented with the shipped page set: the help checker
// must find nothing in it, and its output is pinned byte for byte by golden
// files (tests/data/demo), refreshed with scripts/refresh-golden after a
// reviewed change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/demo_project.h"
#include "tests/e2e/korvex_sandbox.h"
#include "tools/helpcheck.h"

namespace {

using testing_support::DemoProject;
using testing_support::linesStartingWith;
using testing_support::RunResult;

// "line N: expected ... / actual ..." for the first line that differs.
std::string firstDifference(const std::string& expected, const std::string& actual) {
  const std::vector<std::string> want = testing_support::lines(expected);
  const std::vector<std::string> got = testing_support::lines(actual);
  for (size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
    const std::string a = i < want.size() ? want[i] : "(end of file)";
    const std::string b = i < got.size() ? got[i] : "(end of file)";
    if (a != b) {
      return "line " + std::to_string(i + 1) + "\n  golden: " + a + "\n  actual: " + b;
    }
  }
  return "the lines agree; the line ends differ";
}

TEST(KorvexDemo, HelpCheckFindsNothingInEitherLanguage) {
  struct Case {
    std::vector<std::string> arguments;
    const char* title;
  } cases[] = {
      {{}, ":Title Help File Contents"},
      {{"/lgerman"}, ":Title Inhalt der Hilfedatei"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    const DemoProject demo;
    const RunResult result = demo.build(c.arguments);
    ASSERT_EQ(0, result.exitStatus) << result.err;
    EXPECT_EQ(std::string::npos, result.out.find("CRITICAL ERROR:")) << result.out;
    const tools::HelpProjectFiles files = tools::readHelpProject(demo.output(".RTF"));
    for (const tools::Finding& finding : tools::checkHelpProject(files)) {
      ADD_FAILURE() << tools::formatFinding(finding);
    }
    ASSERT_TRUE(files.cnt.has_value());
    EXPECT_EQ(std::vector<std::string>{c.title}, linesStartingWith(*files.cnt, ":Title"));
  }
}

TEST(KorvexDemo, OutputMatchesTheGoldenFiles) {
  const DemoProject demo;
  const RunResult result = demo.build();
  ASSERT_EQ(0, result.exitStatus) << result.err;
  for (const char* extension : {".RTF", ".HPJ", ".CNT"}) {
    SCOPED_TRACE(extension);
    const std::string golden =
        testing_support::readBytes(testing_support::demoGoldenDir() + "/SHAPES" + extension);
    const std::string actual = testing_support::readBytes(demo.output(extension));
    ASSERT_FALSE(golden.empty()) << "no golden file; run scripts/refresh-golden";
    EXPECT_TRUE(golden == actual)
        << "the demo's output changed: " << firstDifference(golden, actual)
        << "\nReview the change; if it is intended, run scripts/refresh-golden and commit "
           "tests/data/demo.";
  }
}

}  // namespace
