// The HTML Help project, contents and index, and the compiler run.
#include "holders/html_help.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace holders {
namespace {

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// The lines between <body> and </body>.
std::string body(const std::vector<std::string>& lines) {
  std::string text;
  bool inside = false;
  for (const std::string& line : lines) {
    if (line == "</body>") break;
    if (inside) text += line + "\n";
    if (line == "<body>") inside = true;
  }
  return text;
}

TEST(HtmlHelp, ContentsAreATreeOfHeadingsAndPages) {
  const std::vector<ContentsEntry> entries = {
      {1, "Overview", "index.html"},         {1, "Units", ""}, {2, "A&B", "Unit_A~26B.html"},
      {2, "Caf\xE9", "Unit_Caf~C3~A9.html"}, {1, "Types", ""}, {1, "Methods", ""},
      {2, "Run\r\n", "Method_A_Run.html"},
  };
  EXPECT_EQ(
      "<object type=\"text/site properties\">\n"
      "<param name=\"ImageType\" value=\"Folder\">\n"
      "</object>\n"
      "<ul>\n"
      "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Overview\">"
      "<param name=\"Local\" value=\"index.html\"></object>\n"
      "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Units\"></object>\n"
      "<ul>\n"
      "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"A&amp;B\">"
      "<param name=\"Local\" value=\"Unit_A~26B.html\"></object>\n"
      "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Caf\xE9\">"
      "<param name=\"Local\" value=\"Unit_Caf~C3~A9.html\"></object>\n"
      "</ul>\n"
      "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Types\"></object>\n"
      "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Methods\"></object>\n"
      "<ul>\n"
      "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Run  \">"
      "<param name=\"Local\" value=\"Method_A_Run.html\"></object>\n"
      "</ul>\n"
      "</ul>\n",
      body(HtmlHelpContentsLines(entries)))
      << "names stay in the code page, escaped, with no line break inside an entry";
}

TEST(HtmlHelp, IndexGroupsTheTargetsOfOneName) {
  const std::vector<IndexEntry> entries = {
      {"Create", "TCircle", "Method_S_TCircle_Create.html", TopicKind::Method, true},
      {"create", "TShape", "Method_S_TShape_Create.html", TopicKind::Method, true},
      {"Shapes", "", "Unit_Shapes.html", TopicKind::Unit, false},
      {"<Odd>", "Shapes", "Constant_Shapes_Odd.html", TopicKind::Constant, false},
  };
  EXPECT_EQ(
      "<ul>\n"
      "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Create\">"
      "<param name=\"Name\" value=\"Create (TCircle)\">"
      "<param name=\"Local\" value=\"Method_S_TCircle_Create.html\">"
      "<param name=\"Name\" value=\"create (TShape)\">"
      "<param name=\"Local\" value=\"Method_S_TShape_Create.html\"></object>\n"
      "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Shapes\">"
      "<param name=\"Local\" value=\"Unit_Shapes.html\"></object>\n"
      "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"&lt;Odd&gt;\">"
      "<param name=\"Local\" value=\"Constant_Shapes_Odd.html\"></object>\n"
      "</ul>\n",
      body(HtmlHelpIndexLines(entries)));
}

TEST(HtmlHelp, ProjectNamesItsFilesAndTheStartPage) {
  const std::string project =
      joined(HtmlHelpProjectLines("DEMO", "Demo \"help\"", {"index.html", "a.html"}));
  for (const char* line :
       {"Compiled file=DEMO.chm\n", "Contents file=DEMO.hhc\n", "Index file=DEMO.hhk\n",
        "Default topic=index.html\n", "Default Window=main\n",
        "main=\"Demo 'help'\",\"DEMO.hhc\",\"DEMO.hhk\",\"index.html\",\"index.html\",",
        "[FILES]\nindex.html\na.html\n"}) {
    EXPECT_NE(std::string::npos, project.find(line)) << line << "\n" << project;
  }
  EXPECT_EQ(0u, project.find("[OPTIONS]\n"));
}

TEST(HtmlHelp, OnlyWarningsAndErrorsOfTheCompilerAreProblems) {
  ChmCompilerRun run;
  run.output = {"Note: Index items:2", "Warning: File x does not exist",
                "  Error: Anchor y undefined", "Writing CHM demo.chm"};
  EXPECT_EQ(
      (std::vector<std::string>{"Warning: File x does not exist", "Error: Anchor y undefined"}),
      ChmProblems(run));
}

TEST(HtmlHelp, CompilerIsLookedForOnThePath) {
  const char* saved = std::getenv("PATH");
  const std::string path = saved != nullptr ? saved : "";
  setenv("PATH", "/nonexistent-directory", 1);
  EXPECT_FALSE(FindChmCompiler().has_value());
  setenv("PATH", path.c_str(), 1);
  if (const auto found = FindChmCompiler()) {
    EXPECT_EQ("chmcmd", found->substr(found->rfind('/') + 1));
  }
}

}  // namespace
}  // namespace holders
