// The HTML build with the shipped HTML page set: one file per topic, links
// that resolve, the index page, the search data, the HTML Help project and
// the compiler run.
#include "holders/html_build.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>

#include "holders/html_help.h"
#include "holders/test_project.h"
#include "platform/files.h"
#include "platform/text.h"

namespace holders {
namespace {

using testing::RecordingProject;
using testing_support::readBytes;
using testing_support::TempDir;

constexpr const char* kGeometry =
    "{ Points and rectangles. }\r\n"
    "unit Geometry; interface\r\n"
    "type\r\n"
    "  { A point. }\r\n"
    "  TPoint2D = record X, Y: Integer; end;\r\n";

constexpr const char* kShapes =
    "{ Shapes & their <IDENT>TPoint2D corners. }\r\n"
    "unit Shapes; interface\r\n"
    "uses Geometry;\r\n"
    "type\r\n"
    "  {! #BITMAP:SHAPE.BMP !\r\n"
    "    The base of every shape; see <L Type_Shapes_TCircle>circles</L>.\r\n"
    "    #SAMPLE\r\n"
    "      S := TCircle.Create; }\r\n"
    "  TShape = class(TObject)\r\n"
    "  public\r\n"
    "    { Draws it, then calls <IDENT>Paint<P>Caf\xE9 \x93quoted\x94. }\r\n"
    "    procedure Draw;\r\n"
    "    { Paints. }\r\n"
    "    procedure Paint; virtual;\r\n"
    "    { Where it is: a <IDENT>TPoint2D. }\r\n"
    "    property Origin: TPoint2D read FOrigin;\r\n"
    "    { Raised \"after\" drawing. }\r\n"
    "    property OnDraw: TNotifyEvent read FOnDraw;\r\n"
    "  end;\r\n"
    "  { A round shape. }\r\n"
    "  TCircle = class(TShape)\r\n"
    "  public\r\n"
    "    { Half the width. }\r\n"
    "    function Radius: Integer;\r\n"
    "    { Paints a circle. }\r\n"
    "    procedure Paint; override;\r\n"
    "  end;\r\n"
    "  {! #NV ! Never shown. }\r\n"
    "  THidden = class end;\r\n"
    "const\r\n"
    "  { Two pi. }\r\n"
    "  Pi2 = 6.28;\r\n"
    "var\r\n"
    "  { How many.\r\n"
    "    #SAMPLE\r\n"
    "      Inc(Count); }\r\n"
    "  Count: Integer;\r\n"
    "{ Runs a shape. }\r\n"
    "procedure Run(A: TShape);\r\n";

// Two units read from files (so the bitmap beside them is found), built
// with the HTML page set of the source tree.
class HtmlBuild : public ::testing::Test {
 protected:
  HtmlBuild() : project(testing_support::sourceDir() + "/") {
    units.write("SHAPE.BMP", "BM-picture");
    project.AddUnit(units.write("Geometry.pas", kGeometry));
    project.AddUnit(units.write("Shapes.pas", kShapes));
  }

  // Builds OUT into the output directory with no compiler on the PATH unless
  // withCompiler.
  void build(bool withCompiler = false) {
    const char* saved = std::getenv("PATH");
    const std::string path = saved != nullptr ? saved : "";
    if (!withCompiler) setenv("PATH", out.file("no-programs-here").c_str(), 1);
    BuildHtml(project, out.file("OUT.RTF"));
    setenv("PATH", path.c_str(), 1);
  }
  std::string site(const std::string& name) const { return readBytes(out.file("OUT/" + name)); }
  std::set<std::string> siteFiles() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(out.file("OUT")))
      names.insert(entry.path().filename().string());
    return names;
  }

  OptionsGuard guard;
  TempDir units;
  TempDir out;
  RecordingProject project;
};

TEST_F(HtmlBuild, WritesOneFilePerTopicAndTheSiteFiles) {
  build();
  const std::set<std::string> expected = {
      "index.html",
      "alphabetical.html",
      "search_data.js",
      "search.js",
      "korvex.css",
      "SHAPE.BMP",
      "OUT.hhp",
      "OUT.hhc",
      "OUT.hhk",
      "Unit_Geometry.html",
      "Type_Geometry_TPoint2D.html",
      "Unit_Shapes.html",
      "Type_Shapes_TShape.html",
      "Sample_Shapes_TShape.html",
      "Properties_Shapes_TShape.html",
      "Methods_Shapes_TShape.html",
      "Events_Shapes_TShape.html",
      "Method_Shapes_TShape_Draw.html",
      "Method_Shapes_TShape_Paint.html",
      "Property_Shapes_TShape_Origin.html",
      "Property_Shapes_TShape_OnDraw.html",
      "Type_Shapes_TCircle.html",
      "Properties_Shapes_TCircle.html",
      "Methods_Shapes_TCircle.html",
      "Events_Shapes_TCircle.html",
      "Method_Shapes_TCircle_Radius.html",
      "Method_Shapes_TCircle_Paint.html",
      "Constant_Shapes_Pi2.html",
      "Variable_Shapes_Count.html",
      "Sample_Shapes_Count.html",
      "Method_Shapes_Run.html",
  };
  EXPECT_EQ(expected, siteFiles());
  EXPECT_EQ("BM-picture", site("SHAPE.BMP")) << "the bitmap found beside its unit";
}

// Every href and src of every page names a file of the site, and every
// #anchor an id of its page.
TEST_F(HtmlBuild, EveryLinkResolves) {
  build();
  const std::regex link("(href|src)=\"([^\"]*)\"");
  int links = 0;
  for (const std::string& name : siteFiles()) {
    if (!name.ends_with(".html")) continue;
    const std::string page = site(name);
    for (auto it = std::sregex_iterator(page.begin(), page.end(), link);
         it != std::sregex_iterator(); ++it, ++links) {
      const std::string target = (*it)[2];
      SCOPED_TRACE(name + " -> " + target);
      const size_t hash = target.find('#');
      const std::string file = hash == 0 ? name : target.substr(0, hash);
      ASSERT_TRUE(platform::fileExists(out.file("OUT/" + file)));
      if (hash != std::string::npos) {
        EXPECT_NE(std::string::npos, site(file).find("id=\"" + target.substr(hash + 1) + "\""));
      }
    }
  }
  EXPECT_GT(links, 100);
}

TEST_F(HtmlBuild, PagesAreUtf8WithEscapedTextAndTitles) {
  build();
  const std::string draw = site("Method_Shapes_TShape_Draw.html");
  EXPECT_NE(std::string::npos, draw.find("charset=utf-8"));
  EXPECT_NE(std::string::npos, draw.find("<title>TShape.Draw</title>"));
  EXPECT_NE(std::string::npos,
            draw.find("calls <a href=\"Method_Shapes_TShape_Paint.html\">Paint</a>"
                      "<span class=\"par\"></span>Caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D."))
      << draw;
  EXPECT_NE(std::string::npos, site("Unit_Shapes.html").find("Shapes &amp; their"));
  EXPECT_NE(std::string::npos,
            site("Property_Shapes_TShape_OnDraw.html").find("Raised &quot;after&quot; drawing"));
  const std::string type = site("Type_Shapes_TShape.html");
  EXPECT_NE(std::string::npos, type.find("<img class=\"bitmap\" src=\"SHAPE.BMP\""));
  EXPECT_NE(std::string::npos, type.find("<a href=\"Properties_Shapes_TShape.html\">"));
  EXPECT_NE(std::string::npos, type.find("<a href=\"Sample_Shapes_TShape.html\">"));
  EXPECT_EQ(std::string::npos, type.find("##")) << "every tag of the page set is filled";
}

TEST_F(HtmlBuild, MemberListsGroupInheritedMembers) {
  build();
  const std::string methods = site("Methods_Shapes_TCircle.html");
  const size_t own = methods.find("<h3>In TCircle</h3>");
  const size_t inherited =
      methods.find("<h3>Derived from <a href=\"Type_Shapes_TShape.html\">TShape</a></h3>");
  ASSERT_NE(std::string::npos, own);
  ASSERT_NE(std::string::npos, inherited);
  EXPECT_LT(own, inherited);
  EXPECT_NE(std::string::npos, methods.find("href=\"Method_Shapes_TShape_Draw.html\""));
}

TEST_F(HtmlBuild, IndexPageAndSearchDataListEveryDocumentedItem) {
  build();
  const std::string index = site("alphabetical.html");
  const std::string search = site("search_data.js");
  for (const char* file :
       {"Unit_Geometry.html", "Type_Geometry_TPoint2D.html", "Unit_Shapes.html",
        "Type_Shapes_TShape.html", "Type_Shapes_TCircle.html", "Method_Shapes_TShape_Draw.html",
        "Method_Shapes_TShape_Paint.html", "Method_Shapes_TCircle_Paint.html",
        "Method_Shapes_TCircle_Radius.html", "Property_Shapes_TShape_Origin.html",
        "Property_Shapes_TShape_OnDraw.html", "Constant_Shapes_Pi2.html",
        "Variable_Shapes_Count.html", "Method_Shapes_Run.html"}) {
    SCOPED_TRACE(file);
    EXPECT_NE(std::string::npos, index.find(std::string("href=\"") + file + "\""));
    EXPECT_NE(std::string::npos, search.find(std::string("\"") + file + "\"]"));
  }
  EXPECT_EQ(std::string::npos, index.find("THidden"));
  EXPECT_EQ(std::string::npos, index.find("Sample_")) << "samples are not items";
  EXPECT_NE(std::string::npos, index.find("<a href=\"#letter-50\">P</a>"));
  EXPECT_NE(std::string::npos, index.find("<h2 id=\"letter-50\">P</h2>"));
  EXPECT_LT(index.find("Method_Shapes_TCircle_Paint"), index.find("Method_Shapes_TShape_Paint"))
      << "equal names ordered by their type";
  EXPECT_NE(std::string::npos,
            search.find("[\"Paint\",\"TCircle\",\"Method_Shapes_TCircle_Paint.html\"]"));
  EXPECT_EQ(0u, search.find("var korvexSearchItems = [\r\n["));
  EXPECT_TRUE(search.ends_with("]\r\n];\r\n")) << "no comma after the last item";
}

TEST_F(HtmlBuild, HelpProjectListsTheSiteAndItsSitemapsPointIntoIt) {
  build();
  const std::vector<std::string> project = platform::splitLines(site("OUT.hhp"));
  const auto files = std::find(project.begin(), project.end(), "[FILES]");
  ASSERT_NE(project.end(), files);
  const std::set<std::string> listed(files + 1, project.end());
  std::set<std::string> expected = siteFiles();
  for (const char* own : {"OUT.hhp", "OUT.hhc", "OUT.hhk"}) expected.erase(own);
  EXPECT_EQ(expected, listed);

  const std::regex local("name=\"Local\" value=\"([^\"]*)\"");
  // The contents: overview, units, types, routines, variables, constants;
  // the index: every item.
  for (const auto& [sitemap, count] : {std::pair{"OUT.hhc", 9}, std::pair{"OUT.hhk", 14}}) {
    const std::string text = site(sitemap);
    int entries = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), local);
         it != std::sregex_iterator(); ++it, ++entries) {
      EXPECT_TRUE(listed.contains((*it)[1])) << sitemap << ": " << (*it)[1];
    }
    EXPECT_EQ(count, entries) << sitemap;
  }
  // The contents keep the contents file's sections.
  const std::string contents = site("OUT.hhc");
  EXPECT_LT(contents.find("value=\"Overview\"><param name=\"Local\" value=\"index.html\">"),
            contents.find("value=\"Units\"></object>"));
  EXPECT_LT(contents.find("value=\"Types\"></object>\r\n<ul>"), contents.find("value=\"TCircle\""));
}

TEST_F(HtmlBuild, WithoutACompilerTheProjectIsLeftToCompile) {
  build();
  EXPECT_FALSE(platform::fileExists(out.file("OUT/OUT.chm")));
  const std::vector<std::string> messages = project.messagesAt(0);
  const std::string dir = out.file("OUT");
  EXPECT_EQ((std::vector<std::string>{
                "Build to file:" + dir + "/",
                "Build to file:" + dir + "/OUT.hhp",
                "Build to file:" + dir + "/OUT.hhc",
                "Build to file:" + dir + "/OUT.hhk",
                "HTML Help compiler chmcmd not found; to make a CHM, compile:" + dir + "/OUT.hhp",
            }),
            std::vector<std::string>(messages.end() - 5, messages.end()));
}

TEST_F(HtmlBuild, CompilesTheChmWhenChmcmdIsInstalled) {
  if (!FindChmCompiler()) GTEST_SKIP() << "chmcmd is not installed; the CHM is not compiled";
  build(true);
  std::error_code error;
  EXPECT_GT(std::filesystem::file_size(out.file("OUT/OUT.chm"), error), 0u);
  const std::vector<std::string> messages = project.messagesAt(0);
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ("Build to file:" + out.file("OUT") + "/OUT.chm", messages.back());
  for (const std::string& line : messages)
    EXPECT_EQ(std::string::npos, line.find("HTML Help compiler")) << line;
}

TEST(HtmlBuildOutput, DirectoryIsTheOutputNameWithoutExtension) {
  struct Row {
    const char* name;
    const char* directory;
  };
  for (const Row& row : {Row{"OUT", "OUT"}, Row{"out/demo/SHAPES.RTF", "out/demo/SHAPES"},
                         Row{"C:\\Help\\MY.HLP", "C:\\Help\\MY"}, Row{"site/", "site"}}) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.directory, HtmlOutputDirectory(row.name));
  }
}

TEST(HtmlBuildOutput, AFileInTheWayIsAnError) {
  OptionsGuard guard;
  TempDir out;
  out.write("OUT", "a file");
  RecordingProject project(testing_support::sourceDir() + "/");
  EXPECT_THROW(BuildHtml(project, out.file("OUT")), platform::FileError);
}

}  // namespace
}  // namespace holders
