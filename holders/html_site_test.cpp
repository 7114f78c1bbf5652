// The HTML site: file names of topics, page titles, and the files it writes.
#include "holders/html_site.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/support/test_support.h"

namespace holders {
namespace {

using testing_support::readBytes;
using testing_support::TempDir;

TEST(HtmlSite, TopicFileNames) {
  struct Row {
    TopicKind kind;
    std::string id;
    std::string file;
    const char* why;
  };
  const Row rows[] = {
      {TopicKind::Header, "", "", "the header is the head of every page, not a file"},
      {TopicKind::Contents, "Contents", "index.html", "the contents is the site's start page"},
      {TopicKind::Unit, "Unit_Shapes", "Unit_Shapes.html", "items by their jump name"},
      {TopicKind::Type, "Type_Shapes_TShape", "Type_Shapes_TShape.html", "a type"},
      {TopicKind::Method, "Method_Sys.Utils_Run", "Method_Sys.Utils_Run.html",
       "a dotted unit name"},
      {TopicKind::PropertiesList, "Type_Shapes_TShape", "Properties_Shapes_TShape.html",
       "lists are named as the banner links them"},
      {TopicKind::MethodsList, "Type_Shapes_TShape", "Methods_Shapes_TShape.html", "methods"},
      {TopicKind::EventsList, "Type_Shapes_TShape", "Events_Shapes_TShape.html", "events"},
      {TopicKind::Sample, "Type_Shapes_TShape", "Sample_Shapes_TShape.html", "a type's sample"},
      {TopicKind::Sample, "Method_Shapes_TShape_Draw", "Sample_Shapes_TShape_Draw.html",
       "a method's sample"},
      {TopicKind::Sample, "Variable_Shapes_Count", "Sample_Shapes_Count.html",
       "a variable's sample"},
      {TopicKind::Type, "Type_U_T\xE9", "Type_U_T~C3~A9.html", "UTF-8 bytes spelled out"},
      {TopicKind::Constant, "Constant_../x", "Constant_..~2Fx.html",
       "never a path outside the directory"},
      {TopicKind::Variable, "Variable_U_a'b c~", "Variable_U_a~27b~20c~7E.html",
       "distinct names stay distinct"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.file, HtmlSite::TopicFileName(TopicRef{row.kind, row.id}));
  }
}

TEST(HtmlSite, LongNamesEndInADigest) {
  const std::string a = HtmlSite::TopicFileName(TopicRef{TopicKind::Unit, std::string(300, 'a')});
  const std::string b =
      HtmlSite::TopicFileName(TopicRef{TopicKind::Unit, std::string(299, 'a') + "b"});
  EXPECT_LE(a.size(), 210u) << "file systems take 255 bytes";
  EXPECT_NE(a, b);
  EXPECT_EQ(a, HtmlSite::TopicFileName(TopicRef{TopicKind::Unit, std::string(300, 'a')}));
}

TEST(HtmlSite, LinksToPagesAreNamedAsTheFilesAre) {
  TempDir dir;
  HtmlSite site(dir.path(), {});
  site.writePage(
      TopicRef{TopicKind::Unit, "Unit_A"},
      {"<a href=\"Variable_U_a&#39;b.html#x\">a'b</a> <a href=\"Type_U_T.html\">T</a>",
       "<link href=\"korvex.css\"> <a href=\"#top\">up</a> <a href=\"http://x.org/a b.html\">",
       "<a href=\"Variable_F_#13.html\">#13</a> <a href=\"Type_U_T.html#x\">x</a>",
       "<a href=\"Variable_F_a:=b.html\">a colon is no scheme</a>"});
  site.writeExtraPage("extra.html", {"<a href=\"Variable_F_~2313.html\">file names stay</a>"});
  EXPECT_EQ(
      "<a href=\"Variable_U_a~27b.html#x\">a'b</a> <a href=\"Type_U_T.html\">T</a>\r\n"
      "<link href=\"korvex.css\"> <a href=\"#top\">up</a> <a href=\"http://x.org/a b.html\">\r\n"
      "<a href=\"Variable_F_~2313.html\">#13</a> <a href=\"Type_U_T.html#x\">x</a>\r\n"
      "<a href=\"Variable_F_a~3A~3Db.html\">a colon is no scheme</a>\r\n",
      readBytes(dir.file("Unit_A.html")));
  EXPECT_EQ("<a href=\"Variable_F_~2313.html\">file names stay</a>\r\n",
            readBytes(dir.file("extra.html")));
  EXPECT_EQ("Variable_U_a~27b.html",
            HtmlSite::TopicFileName(TopicRef{TopicKind::Variable, "Variable_U_a'b"}));
}

TEST(HtmlSite, PageTitleIsTheFirstHeading) {
  struct Row {
    std::vector<std::string> lines;
    std::string title;
    const char* why;
  };
  const Row rows[] = {
      {{"<h1>TShape.Draw</h1>", "<h1>Other</h1>"}, "TShape.Draw", "the first one"},
      {{"<h1><img src=\"a.bmp\" alt=\"\"> TShape</h1>"}, "TShape", "without tags"},
      {{"<h1 class=\"x\">A &amp; B", "continued</h1>"},
       "A &amp; B continued",
       "over two lines, entities kept"},
      {{"<h2>no title</h2>"}, "", "none"},
      {{"<h1>unclosed"}, "", "an open heading gives none"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.title, HtmlSite::PageTitle(row.lines));
  }
}

TEST(HtmlSite, WrapsEveryPageInHeadAndFoot) {
  TempDir dir;
  HtmlSite site(dir.path(), {"</body>"});
  site.writePage(TopicRef{TopicKind::Header, {}}, {"<title>##PageTitle##</title>", "<body>"});
  site.writePage(TopicRef{TopicKind::Contents, "Contents"}, {"<h1>Contents</h1>"});
  site.writePage(TopicRef{TopicKind::Type, "Type_U_T"},
                 {"<h1>T</h1>", "see <a href=\"x.html\">x</a>\r\n."});
  site.writeExtraPage("extra.html", {"no heading"});
  site.finish("}");

  EXPECT_EQ("<title>Contents</title>\r\n<body>\r\n<h1>Contents</h1>\r\n</body>\r\n",
            readBytes(dir.file("index.html")));
  EXPECT_EQ(
      "<title>T</title>\r\n<body>\r\n<h1>T</h1>\r\nsee <a href=\"x.html\">x</a>.\r\n"
      "</body>\r\n",
      readBytes(dir.file("Type_U_T.html")))
      << "a line break inside a line is dropped, so the full stop stays after the link";
  EXPECT_EQ("<title>extra.html</title>\r\n<body>\r\nno heading\r\n</body>\r\n",
            readBytes(dir.file("extra.html")))
      << "a page without a heading is titled by its file";
  ASSERT_EQ(3u, site.files().size());
  EXPECT_EQ("Type_U_T", site.files()[1].id);
  EXPECT_TRUE(site.hasFile("Type_U_T.html"));
  EXPECT_FALSE(site.hasFile("Contents.html"));
}

TEST(HtmlSite, ATopicWrittenTwiceIsListedOnce) {
  TempDir dir;
  HtmlSite site(dir.path(), {});
  site.writePage(TopicRef{TopicKind::Unit, "Unit_A"}, {"<h1>first</h1>"});
  site.writePage(TopicRef{TopicKind::Unit, "Unit_A"}, {"<h1>second</h1>"});
  EXPECT_EQ(1u, site.files().size());
  EXPECT_EQ("<h1>second</h1>\r\n", readBytes(dir.file("Unit_A.html")));
}

TEST(HtmlSite, AFileThatCannotBeWrittenIsAnError) {
  TempDir dir;
  HtmlSite site(dir.file("missing/directory"), {});
  EXPECT_THROW(site.writePage(TopicRef{TopicKind::Unit, "Unit_A"}, {"x"}), platform::FileError);
}

}  // namespace
}  // namespace holders
