#include "tools/helpcheck.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "tools/helpcheck_rtf.h"

namespace tools {
namespace {

using Lines = std::vector<std::string>;

// A small project that passes every check; the cases below break it.
constexpr std::string_view kRtf =
    "{\\rtf1\\ansi\\deff0\r\n"                                             // 1
    "{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"                                 // 2
    "#{\\footnote Contents}\r\n"                                           // 3
    "${\\footnote Contents}\r\n"                                           // 4
    "\\pard {\\uldb Demo}{\\v Unit_Demo}\\par\r\n"                         // 5
    "\\page\r\n"                                                           // 6
    "#{\\footnote Unit_Demo}\r\n"                                          // 7
    "${\\footnote Demo unit}\r\n"                                          // 8
    "\\pard {\\uldb Members}{\\v Props_Demo>members} C:\\\\TEMP\\par\r\n"  // 9
    "\\page\r\n"                                                           // 10
    "#{\\footnote Props_Demo}\r\n"                                         // 11
    "${\\footnote Members}\r\n"                                            // 12
    "\\pard Text \\{not a group\\}\\par\r\n"                               // 13
    "\\page\r\n"                                                           // 14
    "}\r\n";                                                               // 15

constexpr std::string_view kHpj =
    "[OPTIONS]\r\n"
    "CONTENTS=Contents\r\n"
    "[FILES]\r\n"
    "demo.rtf\r\n"
    "[WINDOWS]\r\n"
    "main=\"\",(0,0,500,500),0\r\n"
    "members=\"Members\",(500,0,500,500),0\r\n";

constexpr std::string_view kCnt =
    ":Base DEMO.HLP>main\r\n"
    ":Title Demo\r\n"
    "1 Overview=Contents\r\n"
    "1 Units\r\n"
    "2 Demo=Unit_Demo\r\n";

std::string replaced(std::string_view text, std::string_view from, std::string_view to) {
  std::string result(text);
  const size_t at = result.find(from);
  if (at == std::string::npos)
    ADD_FAILURE() << "no " << from;
  else
    result.replace(at, from.size(), to);
  return result;
}

Lines check(const HelpProjectFiles& files) {
  Lines lines;
  for (const Finding& finding : checkHelpProject(files)) lines.push_back(formatFinding(finding));
  return lines;
}

HelpProjectFiles project(std::string rtf, std::optional<std::string> hpj = std::string(kHpj),
                         std::optional<std::string> cnt = std::string(kCnt)) {
  return {"DEMO.RTF", "DEMO.HPJ", "DEMO.CNT", std::move(rtf), std::move(hpj), std::move(cnt)};
}

TEST(HelpCheck, ACleanProjectHasNoFindings) {
  EXPECT_EQ(Lines{}, check(project(std::string(kRtf))));
}

struct RtfCase {
  std::string from;
  std::string to;
  Lines expected;
  const char* why;
};

TEST(HelpCheck, FindsFaultsInTheTopicsFile) {
  const RtfCase cases[] = {
      {"Members}{\\v",
       "Members}{{\\v",
       {"DEMO.RTF:7: unbalanced braces in the topic that starts here"},
       "an extra { inside a topic"},
      {"Text \\{",
       "Text }",
       {"DEMO.RTF:11: unbalanced braces in the topic that starts here"},
       "an extra } inside a topic"},
      {"\\page\r\n}",
       "\\page\r\n",
       {"DEMO.RTF:16: unbalanced braces: 1 group(s) still open at the end of the file"},
       "the closing } is missing"},
      {"\\page\r\n}",
       "\\page\r\n}}",
       {"DEMO.RTF:15: unbalanced braces: \"}\" closes a group that was never opened"},
       "one } too many at the end"},
      {"\\page\r\n}",
       "\\page\r\n}\r\nmore",
       {"DEMO.RTF:16: unbalanced braces: text after the \"}\" that closes the document"},
       "text after the end"},
      {"{\\v Unit_Demo}",
       "{\\v Unit_Gone}",
       {"DEMO.RTF:5: jump to \"Unit_Gone\", which no topic defines"},
       "a jump to a topic that does not exist"},
      {"{\\uldb Demo}{\\v Unit_Demo}",
       "{\\ul Demo}{\\v Nowhere}",
       {"DEMO.RTF:5: jump to \"Nowhere\", which no topic defines"},
       "a popup is checked like a jump"},
      {"{\\uldb Demo}{\\v Unit_Demo}",
       "{\\strike Demo}{\\v Nowhere>main}",
       {"DEMO.RTF:5: jump to \"Nowhere\", which no topic defines"},
       "strike-through is a jump too"},
      {"Props_Demo>members",
       "Props_Demo>second",
       {"DEMO.RTF:9: window \"second\" is not defined in the HPJ's [WINDOWS]"},
       "an undefined window"},
      {"{\\v Unit_Demo}",
       "{\\v %unit_demo>MAIN}",
       {},
       "IDs and window names ignore case; % is a prefix"},
      {"{\\v Unit_Demo}", "{\\v !JumpId(`x.hlp',`Gone')}", {}, "a macro is not a topic"},
      {"{\\v Unit_Demo}",
       "{\\v Gone@other.hlp}",
       {},
       "a topic of another help file is not checked"},
      {"{\\uldb Demo}{\\v Unit_Demo}",
       "{\\uldb Demo} {\\v Gone}",
       {},
       "hidden text after a blank is no jump"},
      {"{\\uldb Demo}{\\v Unit_Demo}",
       "\\uldb Demo\\uldb0\\v Gone\\v0 ",
       {"DEMO.RTF:5: jump to \"Gone\", which no topic defines"},
       "formatting switched by toggles"},
      {"{\\uldb Demo}{\\v Unit_Demo}",
       "{\\uldb Demo}{\\v \\{Gone\\}}",
       {"DEMO.RTF:5: jump to \"{Gone}\", which no topic defines"},
       "escaped braces are text"},
      {"#{\\footnote Props_Demo}",
       "#{\\footnote UNIT_DEMO}",
       {"DEMO.RTF:9: jump to \"Props_Demo\", which no topic defines",
        "DEMO.RTF:11: topic ID \"UNIT_DEMO\" is defined twice (first at line 7)"},
       "IDs differing only in case are the same"},
      {"#{\\footnote Props_Demo}",
       "#{\\footnote Props Demo}",
       {"DEMO.RTF:9: jump to \"Props_Demo\", which no topic defines",
        "DEMO.RTF:11: topic ID \"Props Demo\" has characters WinHelp does not accept (use A-Z a-z "
        "0-9 . _)"},
       "a blank in an ID"},
      {"#{\\footnote Props_Demo}",
       "#{\\footnote " + std::string(256, 'x') + "}\r\n#{\\footnote Props_Demo}",
       {"DEMO.RTF:11: topic ID \"" + std::string(256, 'x') + "\" is longer than 255 characters"},
       "an ID over 255 characters"},
      {"${\\footnote Members}",
       "",
       {"DEMO.RTF:11: topic \"Props_Demo\" has no title"},
       "no $ footnote"},
      {"${\\footnote Members}",
       "${\\footnote   }",
       {"DEMO.RTF:11: topic \"Props_Demo\" has no title"},
       "an empty title"},
      {"#{\\footnote Unit_Demo}\r\n${\\footnote Demo unit}",
       "{\\up #}{\\footnote\\pard\\plain{\\up #} Unit_Demo}\r\n{\\up "
       "$}{\\footnote\\pard\\plain{\\up $} Demo unit}",
       {},
       "footnotes as word processors write them"},
      {"\\pard Text", "{\\pict\\bin 3 }{x}\\pard Text", {}, "binary picture data is not RTF"},
      {"\\page\r\n}",
       "\\page\r\n\\pard no ID and no title\\par\r\n}",
       {"DEMO.RTF:15: topic has no title"},
       "a last topic without \\page"},
      {"{\\rtf1", "{\\rtf0", {}, "the version is not checked"},
  };
  for (const RtfCase& row : cases) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.expected, check(project(replaced(kRtf, row.from, row.to))));
  }
}

TEST(HelpCheck, RefusesAFileThatIsNotRtf) {
  EXPECT_EQ(Lines{"DEMO.RTF:1: the file does not begin with {\\rtf; it is not an RTF document"},
            check(project(replaced(kRtf, "{\\rtf1", "{\\pdf1"))));
}

struct ProjectCase {
  std::optional<std::string> hpj;
  std::optional<std::string> cnt;
  Lines expected;
  const char* why;
};

TEST(HelpCheck, FindsFaultsInTheProjectAndContentsFiles) {
  const ProjectCase cases[] = {
      {replaced(kHpj, "demo.rtf", "other.rtf"),
       std::string(kCnt),
       {"DEMO.HPJ: the HPJ does not name DEMO.RTF in [FILES]"},
       "the RTF is not listed"},
      {replaced(kHpj, "demo.rtf", "sub\\Demo.RTF ; topics"),
       std::string(kCnt),
       {},
       "a directory and a comment around the name"},
      {replaced(kHpj, "CONTENTS=Contents", "CONTENTS=Start"),
       std::string(kCnt),
       {"DEMO.HPJ:2: CONTENTS names \"Start\", which no topic defines"},
       "the contents topic"},
      {std::string(kHpj) + "[MAP]\r\n#define Unit_Demo 10\r\nGone 11\r\n#include <x.h>\r\n",
       std::string(kCnt),
       {"DEMO.HPJ:10: [MAP] names \"Gone\", which no topic defines"},
       "mapped IDs"},
      {std::nullopt,
       std::string(kCnt),
       {"DEMO.HPJ: the help project file is missing"},
       "no HPJ: windows are not checked either"},
      {std::string(kHpj), std::nullopt, {"DEMO.CNT: the contents file is missing"}, "no CNT"},
      {std::string(kHpj),
       std::string(kCnt) + "2 Gone=Unit_Gone\r\n",
       {"DEMO.CNT:6: contents entry names \"Unit_Gone\", which no topic defines"},
       "an entry without its topic"},
      {std::string(kHpj),
       std::string(kCnt) + "2 Members=Props_Demo>side\r\n",
       {"DEMO.CNT:6: window \"side\" is not defined in the HPJ's [WINDOWS]"},
       "an undefined window"},
      {std::string(kHpj),
       std::string(kCnt) + "2 Other=X@other.hlp\r\n2 Run=!Exit()\r\n\r\n",
       {},
       "other help files, macros and empty lines"},
      {std::string(kHpj),
       std::string(kCnt) + "Units\r\n1 =Contents\r\n",
       {"DEMO.CNT:6: not a contents entry: \"Units\"",
        "DEMO.CNT:7: not a contents entry: \"1 =Contents\""},
       "lines that are neither entries nor commands"},
  };
  for (const ProjectCase& row : cases) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.expected, check(project(std::string(kRtf), row.hpj, row.cnt)));
  }
}

TEST(HelpCheck, ScansEveryTruncationWithoutReadingPastTheEnd) {
  const std::string rtf = replaced(kRtf, "\\pard Text", "{\\pict\\bin 99 }\\'e9\\'4");
  for (size_t size = 0; size <= rtf.size(); ++size) {
    const RtfDocument document = scanRtf(std::string_view(rtf).substr(0, size));
    EXPECT_LE(document.topics.size(), 3u);
  }
}

TEST(HelpCheck, ReadsTheThreeFilesOfOneName) {
  testing_support::TempDir dir;
  dir.write("DEMO.RTF", kRtf);
  dir.write("demo.hpj", kHpj);
  const HelpProjectFiles files = readHelpProject(dir.file("DEMO.RTF"));
  EXPECT_EQ(std::string(kRtf), files.rtf);
  EXPECT_EQ(std::optional<std::string>(kHpj), files.hpj);
  EXPECT_EQ(std::nullopt, files.cnt);
  EXPECT_EQ(dir.file("DEMO.CNT"), files.cntName);
}

}  // namespace
}  // namespace tools
