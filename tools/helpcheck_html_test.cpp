// The HTML site checks: a small site that passes, and the faults that each
// check exists to find.
#include "tools/helpcheck_html.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/support/test_support.h"
#include "tools/helpcheck_html_scan.h"

namespace tools {
namespace {

const std::string kHead =
    "<!DOCTYPE html>\n<html>\n<head>\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
    "<title>t</title>\n<link rel=\"stylesheet\" href=\"site.css\">\n</head>\n<body>\n";  // 1-8
const std::string kFoot = "<script src=\"search.js\"></script>\n</body>\n</html>\n";

HtmlSiteFiles validSite() {
  HtmlSiteFiles site;
  site.directory = "out";
  site.names = {"index.html", "Unit_A.html", "site.css", "search.js", "A.hhp", "A.hhc", "A.hhk"};
  site.text["index.html"] = kHead +
                            "<h1>Contents</h1>\n<ul><li><a href=\"Unit_A.html\">A &amp; "
                            "B</a></li></ul>\n" +
                            kFoot;
  site.text["Unit_A.html"] =
      kHead +
      "<h1 id=\"top\">A</h1>\n<p>x &lt; y<br>caf\xC3\xA9<img src=\"site.css\" "
      "alt=\"\"></p>\n<a href=\"#top\">up</a> <a href=\"index.html#\">"
      "</a>\n<a href=\"https://example.org/x\">out</a>\n" +
      kFoot;
  site.text["A.hhp"] =
      "[OPTIONS]\nContents file=A.hhc\nIndex file=A.hhk\nDefault topic=index.html\n"
      "[FILES]\nindex.html\nUnit_A.html\n";
  site.text["A.hhc"] =
      "<ul>\n<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"A\">"
      "<param name=\"Local\" value=\"Unit_A.html\"></object>\n</ul>\n";
  site.text["A.hhk"] = site.text["A.hhc"];
  return site;
}

std::vector<std::string> findings(const HtmlSiteFiles& site) {
  std::vector<std::string> lines;
  for (const Finding& finding : checkHtmlSite(site)) lines.push_back(formatFinding(finding));
  return lines;
}

TEST(HtmlSiteCheck, AWellFormedSiteHasNoFindings) {
  EXPECT_EQ(std::vector<std::string>{}, findings(validSite()));
}

TEST(HtmlSiteCheck, PageFaults) {
  struct Row {
    std::string body;
    std::string finding;
    const char* why;
  };
  const Row rows[] = {
      {"<p><b>x</p>", "out/Unit_A.html:10: <b> is never closed", "elements close in order"},
      {"</div>", "out/Unit_A.html:10: </div> closes no open element", "a stray closing tag"},
      {"<p>a < b</p>", "out/Unit_A.html:10: '<' that opens no tag (write &lt;)", "an unescaped <"},
      {"<p>R&D</p>", "out/Unit_A.html:10: '&' that starts no entity (write &amp;)",
       "an unescaped &"},
      {"<p>caf\xE9</p>", "out/Unit_A.html:10: a byte that is not UTF-8", "Windows-1252 text"},
      {"<a href=Unit_A.html>x</a>", "out/Unit_A.html:10: value of href in <a> is not quoted",
       "unquoted attribute"},
      {"<a href=\"Type_A_T.html\">T</a>",
       "out/Unit_A.html:10: a href Type_A_T.html leads to no file", "a link to a missing page"},
      {"<a href=\"index.html#nowhere\">T</a>",
       "out/Unit_A.html:10: a href index.html#nowhere leads to no element of that id",
       "a link to a missing anchor"},
      {"<a href=\"Variable_A_x:=1.html\">x</a>",
       "out/Unit_A.html:10: a href Variable_A_x:=1.html leads to no file",
       "a colon after a name that is no scheme"},
      {"<img src=\"SHAPE.BMP\" alt=\"\">", "out/Unit_A.html:10: img src SHAPE.BMP leads to no file",
       "a missing picture"},
      {"<span id=\"top\"></span>", "out/Unit_A.html:10: id top is defined twice", "ids are unique"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    HtmlSiteFiles site = validSite();
    site.text["Unit_A.html"] = kHead + "<h1 id=\"top\">A</h1>\n" + row.body + "\n" + kFoot;
    EXPECT_EQ(std::vector<std::string>{row.finding}, findings(site));
  }
}

TEST(HtmlSiteCheck, ProjectFaults) {
  HtmlSiteFiles site = validSite();
  site.text["A.hhp"] = "[OPTIONS]\nContents file=B.hhc\n[FILES]\nindex.html\nGone.html\n";
  site.text["A.hhk"] = "<li><object><param name=\"Local\" value=\"Gone.html\"></object>\n";
  site.text["index.html"] = "<h1>x</h1>\n";
  site.names.erase("site.css");
  EXPECT_EQ((std::vector<std::string>{
                "out/A.hhk:1: entry Gone.html leads to no file",
                "out/A.hhp:2: Contents file B.hhc does not exist",
                "out/A.hhp:5: file Gone.html does not exist",
                "out/Unit_A.html:6: link href site.css leads to no file",
                "out/Unit_A.html:10: img src site.css leads to no file",
                "out/index.html:1: the page does not declare its encoding as UTF-8",
            }),
            findings(site));
}

TEST(HtmlSiteCheck, ASiteNeedsAStartPageAndAProject) {
  HtmlSiteFiles site;
  site.directory = "out";
  EXPECT_EQ((std::vector<std::string>{"out/index.html: the site has no start page",
                                      "out/*.hhp: the site has no HTML Help project"}),
            findings(site));
}

TEST(HtmlScan, TruncatedPagesGiveProblemsNotCrashes) {
  const std::string page = validSite().text["Unit_A.html"];
  for (size_t length = 0; length < page.size(); ++length) {
    SCOPED_TRACE(length);
    const HtmlScan scan = scanHtml(page.substr(0, length), true);
    // Anything from inside <html> to short of its closing tag is unfinished.
    if (length > page.find("<html>") && length < page.size() - 1) {
      EXPECT_FALSE(scan.problems.empty());
    }
  }
}

TEST(HtmlScan, EntitiesAreDecodedInAttributes) {
  EXPECT_EQ("a&b<\"'\xC3\xA9\xE2\x82\xAC&bogus; &#99999999999;",
            decodeEntities("a&amp;b&lt;&quot;&#39;&#xE9;&#8364;&bogus; &#99999999999;"));
}

TEST(HtmlSiteCheck, ReadsTheFilesOfADirectory) {
  testing_support::TempDir dir;
  dir.write("index.html", "<p>x</p>");
  dir.write("pic.bmp", "BM");
  dir.write("x.hhp", "[FILES]\n");
  const HtmlSiteFiles site = readHtmlSite(dir.path());
  EXPECT_EQ((std::set<std::string>{"index.html", "pic.bmp", "x.hhp"}), site.names);
  EXPECT_EQ(2u, site.text.size()) << "pictures are only named";
  EXPECT_THROW(readHtmlSite(dir.file("none")), platform::FileError);
}

}  // namespace
}  // namespace tools
