// The demo's topics file opened by a real RTF reader: LibreOffice converts it
// to PDF and poppler's pdftotext reads the PDF back. Skipped, saying why, when
// either program is not installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/demo_project.h"
#include "tests/e2e/korvex_sandbox.h"

namespace {

using namespace std::chrono_literals;
using testing_support::RunResult;

// The program's path when a directory of PATH holds it.
std::optional<std::string> findOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string_view rest = path ? path : "";
  while (!rest.empty()) {
    const size_t colon = std::min(rest.find(':'), rest.size());
    const std::filesystem::path candidate = std::filesystem::path(rest.substr(0, colon)) / name;
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate.string();
    rest.remove_prefix(std::min(colon + 1, rest.size()));
  }
  return std::nullopt;
}

// The topic titles ("$" footnotes) of a topics file that hold no RTF escapes.
std::vector<std::string> plainTitles(const std::string& rtf) {
  const std::string mark = "${\\footnote ";
  std::vector<std::string> titles;
  for (const std::string& line : testing_support::linesStartingWith(rtf, mark)) {
    const std::string title = line.substr(mark.size(), line.rfind('}') - mark.size());
    if (title.find('\\') == std::string::npos) titles.push_back(title);
  }
  return titles;
}

TEST(RtfReader, LibreOfficeReadsTheDemoTopics) {
  const std::optional<std::string> soffice = findOnPath("soffice");
  const std::optional<std::string> pdftotext = findOnPath("pdftotext");
  if (!soffice) GTEST_SKIP() << "LibreOffice (soffice) is not installed: RTF reader check skipped";
  if (!pdftotext) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: check skipped";

  const testing_support::DemoProject demo;
  ASSERT_EQ(0, demo.build().exitStatus);
  testing_support::RunOptions options;
  options.timeout = 300s;
  const RunResult conversion = testing_support::runProgram(
      *soffice,
      {"--headless", "--norestore", "-env:UserInstallation=file://" + demo.outputDir() + "/lo",
       "--convert-to", "pdf", "--outdir", demo.outputDir(), demo.output(".RTF")},
      options);
  ASSERT_EQ(0, conversion.exitStatus) << conversion.out << conversion.err;
  const RunResult text =
      testing_support::runProgram(*pdftotext, {demo.outputDir() + "/SHAPES.pdf", "-"});
  ASSERT_EQ(0, text.exitStatus) << text.err;

  const std::vector<std::string> titles =
      plainTitles(testing_support::readBytes(demo.output(".RTF")));
  ASSERT_GT(titles.size(), 40u);
  for (const std::string& title : titles) {
    EXPECT_NE(std::string::npos, text.out.find(title)) << title;
  }
  // Pages are separated by form feeds; every topic starts a page.
  EXPECT_GE(static_cast<size_t>(std::count(text.out.begin(), text.out.end(), '\f')), titles.size());
  std::smatch controlWord;
  EXPECT_FALSE(std::regex_search(text.out, controlWord, std::regex(R"(\\[a-z]+)")))
      << "RTF shown as text: " << controlWord.str();
  // The example's own backslashes and braces survive the escaping.
  EXPECT_NE(std::string::npos, text.out.find("const TextSeparator = '\\';"));
  EXPECT_NE(std::string::npos, text.out.find("braces in '\\{ }' must"));
  EXPECT_EQ(std::string::npos, text.out.find("##")) << "a placeholder left in a page";
}

}  // namespace
