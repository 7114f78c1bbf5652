// The HTML dialect: escaping and encoding of source text, and the snippets
// that descriptions and declarations get from it.
#include "holders/html_dialect.h"

#include <gtest/gtest.h>

#include <memory>

#include "holders/test_project.h"

namespace holders {
namespace {

using testing::bars;
using testing::Model;

TEST(HtmlDialect, EscapesMarkupAndConvertsWindows1252ToUtf8) {
  struct Row {
    std::string text;
    std::string expected;
    const char* why;
  };
  const Row rows[] = {
      {"a < b && c > d", "a &lt; b &amp;&amp; c &gt; d", "markup characters"},
      {"say \"hi\" 'there'", "say &quot;hi&quot; &#39;there&#39;", "quotes, safe in attributes"},
      {"&amp;", "&amp;amp;", "an entity in the source stays text"},
      {"Caf\xE9 \xC4rger", "Caf\xC3\xA9 \xC3\x84rger", "Latin-1 letters"},
      {"\xA0\xFF", "\xC2\xA0\xC3\xBF", "the ends of the Latin-1 range"},
      {"\x80 5", "\xE2\x82\xAC 5", "the euro sign at 0x80"},
      {"\x93quoted\x94 \x96 \x85", "\xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x80\x93 \xE2\x80\xA6",
       "typographic quotes, dash, ellipsis from 0x80-0x9F"},
      {"\x8A\x9F", "\xC5\xA0\xC5\xB8", "letters of 0x80-0x9F outside Latin-1"},
      {"x\x81y\x9D", "x\xEF\xBF\xBDy\xEF\xBF\xBD", "undefined bytes become U+FFFD"},
      {std::string("a\0b\x01", 4),
       "a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD",
       "control bytes too"},
      {"a\tb\r\nc", "a\tb\r\nc", "tab and line ends stay"},
  };
  const HtmlDialect html;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.expected, html.escape(row.text));
  }
}

TEST(HtmlDialect, MarkupEscapeKeepsTheCodePage) {
  EXPECT_EQ("Caf\xE9 &amp; &lt;x&gt;", escapeMarkup("Caf\xE9 & <x>"));
}

constexpr const char* kUnit =
    "unit Shapes; interface\r\n"
    "type\r\n"
    "  TObject = class end;\r\n"
    "  TRec = record Name: string; Owner: TObject; end;\r\n"
    "procedure Draw;\r\n";

class HtmlText : public ::testing::Test {
 protected:
  HtmlText() {
    m.project.SetDialect(std::make_unique<HtmlDialect>());
    unit = &m.unit(kUnit, "Shapes");
  }
  std::string html(std::string_view text, bool linkSearch) {
    return bars(unit->FindType("TObject", true)->BuildRtfText(text, linkSearch, true));
  }

  Model m;
  THUnit* unit = nullptr;
};

TEST_F(HtmlText, DescriptionsGetTheDialectsBreaksAndEscapes) {
  struct Row {
    const char* text;
    bool linkSearch;
    const char* expected;
    const char* why;
  };
  const Row rows[] = {
      {"Calls <IDENT>Draw<BR>and returns.", false,
       "Calls [Draw>Method_Shapes_Draw]|<br>and returns.", "BR and a link"},
      {"a<TAB>b<P>c", false, "a<span class=\"tab\"></span>b<span class=\"par\"></span>c",
       "TAB and P as elements the stylesheet lays out"},
      {"if a << b & c > d then", false, "if a &lt; b &amp; c &gt; d then",
       "markup in a comment stays text"},
      {"C:\\Temp \"x\"", false, "C:\\Temp &quot;x&quot;", "no RTF doubling of backslashes"},
      {"<L Overview>a & b</L>", false, "[a &amp; b>Overview]", "jump text is escaped too"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.expected, html(row.text, row.linkSearch));
  }
}

TEST_F(HtmlText, RecordDeclarationAndSampleLines) {
  EXPECT_EQ(bars(unit->FindType("TRec", true)->DeclarationText()),
            "type TRec = record<br>  Name: string;<br>  Owner: [TObject>Type_Shapes_TObject];"
            "<br>end;");
  EXPECT_EQ(html("x", false), "x");
  EXPECT_EQ(bars(unit->FindType("TRec", true)->BuildSampleText("  if A << B then\r\n.x := 1;")),
            "  if A &lt; B then<br> x := 1;<br>");
}

TEST(HtmlDialect, BitmapIsAnImageWithItsNameEscaped) {
  EXPECT_EQ("<img class=\"bitmap\" src=\"A&amp;B.BMP\" alt=\"\"> ",
            HtmlDialect().bitmapReference("A&B.BMP"));
}

}  // namespace
}  // namespace holders
