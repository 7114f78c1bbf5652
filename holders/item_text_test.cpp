// Descriptions to RTF: inline tags, link search and its scope, samples,
// parameter lists and escaping of source text.
#include <gtest/gtest.h>

#include <filesystem>

#include "holders/test_project.h"

namespace holders {
namespace {

using testing::bars;
using testing::Model;

constexpr const char* kShapes =
    "unit Shapes; interface\r\n"
    "type\r\n"
    "  TObject = class end;\r\n"
    "  TFoo = class\r\n"
    "  public\r\n"
    "    Count: Integer;\r\n"
    "    procedure Bar;\r\n"
    "  private\r\n"
    "    procedure Hidden;\r\n"
    "  end;\r\n"
    "const\r\n"
    "  it = 1;\r\n"
    "  Count = 2;\r\n"
    "  {! #NV !} Secret = 3;\r\n"
    "procedure Draw;\r\n";

class RtfText : public ::testing::Test {
 protected:
  RtfText() : unit(m.unit(kShapes, "Shapes")) {}
  // Text of a holder that is none of the link targets.
  std::string rtf(std::string_view text, bool linkSearch = true, bool caseSensitive = true) {
    return bars(unit.FindType("TObject", true)->BuildRtfText(text, linkSearch, caseSensitive));
  }

  Model m;
  THUnit& unit;
};

TEST_F(RtfText, TagsAndLinkSearch) {
  struct Row {
    const char* text;
    bool linkSearch;
    const char* expected;
    const char* why;
  };
  const Row rows[] = {
      {"Calls <IDENT>Draw<BR>and returns.", false,
       "Calls [Draw>Method_Shapes_Draw]|\\line and returns.", "IDENT links one word"},
      {"<NOIDENT>Draw it", true, "Draw [it>Constant_Shapes_it]", "NOIDENT skips one word"},
      {"Draw<TAB>x<P>y", true, "[Draw>Method_Shapes_Draw]|\\tab x\\par y", "TAB and P"},
      {"a << b", false, "a < b", "<< is a literal"},
      {"<L Overview_Topic>see the overview</L>", false, "[see the overview>Overview_Topic]",
       "L tag: jump with its own name"},
      {"<l  Other >x <b>y</b></l> after", false, "[x by/b>Other]| after",
       "L tag ignoring case; inner tags lose brackets"},
      {"<T TFoo.Bar>the bar</T>", false, "[the bar>Method_Shapes_TFoo_Bar]", "T tag to a member"},
      {"<T TFoo.Hidden>hidden</T>", true, "hidden", "T tag to an undocumented member"},
      {"<T TNone.Bar>none</T>", true, "none", "T tag to an unknown type"},
      {"<T TFoo.Bar></T>x", true, "x", "T tag without inner text adds nothing"},
      {"Secret and Unknown", true, "Secret and Unknown", "undocumented and unknown names stay"},
      {"draw", true, "draw", "case-sensitive search misses other capitals"},
      {"C:\\Temp", true, "C:\\\\Temp", "backslashes doubled"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(rtf(row.text, row.linkSearch), row.expected);
  }
  EXPECT_EQ(rtf("draw", true, false), "[draw>Method_Shapes_Draw]");
}

TEST_F(RtfText, AnUnknownTagIsReportedAndDropped) {
  EXPECT_EQ(rtf("a <XYZ> b"), "a b");
  EXPECT_EQ(m.project.messagesAt(0).back(), "Unknown tag:XYZ");
}

TEST_F(RtfText, SourceTextIsEscapedButTheHoldersOwnMarkupIsNot) {
  struct Row {
    const char* text;
    const char* expected;
    const char* why;
  };
  const Row rows[] = {
      {"set {a, b} of \xe9t\xe9", "set \\{a, b\\} of \\'e9t\\'e9", "braces and high bytes"},
      {"<L A{B}>in {x}</L>", "[in \\{x\\}>A\\{B\\}]", "inner text and target of L"},
      {"<T TFoo.Bar>{b}</T> <T X.Y>}</T>", "[\\{b\\}>Method_Shapes_TFoo_Bar]| \\}",
       "inner text of T"},
      {"x<BR>y", "x\\line y", "a break stays markup"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(rtf(row.text, false), row.expected);
  }
}

TEST_F(RtfText, SearchScopeDependsOnWhoseTextItIs) {
  THType& foo = *unit.FindType("TFoo", true);
  // In a type's text its own members come first.
  EXPECT_EQ(bars(foo.BuildRtfText("Count", true, true)), "[Count>Property_Shapes_TFoo_Count]");
  EXPECT_EQ(bars(foo.FindMember("Bar", true)->BuildRtfText("Count", true, true)),
            "[Count>Property_Shapes_TFoo_Count]");
  // Elsewhere the project: units first, then declarations.
  EXPECT_EQ(rtf("Count"), "[Count>Constant_Shapes_Count]");
  EXPECT_EQ(rtf("Shapes"), "[Shapes>Unit_Shapes]");
  // A holder never links to itself.
  EXPECT_EQ(bars(unit.FindRoutine("Draw", true)->BuildRtfText("Draw it", true, true)),
            "Draw [it>Constant_Shapes_it]");
  // A unit's own description covers only its own declarations.
  THUnit& other = m.unit("unit Other; interface const Near = 1;", "Other");
  EXPECT_EQ(bars(other.BuildRtfText("Near Draw", true, true)), "[Near>Constant_Other_Near]| Draw");
}

TEST_F(RtfText, TheFirstMatchDecidesEvenWhenItIsNotDocumented) {
  m.unit("unit Later; interface const Secret = 4; Draw = 5;", "Later");
  EXPECT_EQ(rtf("Secret"), "Secret");
  EXPECT_EQ(rtf("Draw"), "[Draw>Method_Shapes_Draw]");
}

TEST_F(RtfText, SampleLinesKeepTheirIndentation) {
  THItem& holder = *unit.FindType("TObject", true);
  EXPECT_EQ(bars(holder.BuildSampleText("    if A then\r.  Result := 0;\r\rDraw;")),
            "    if A then\\line    Result := 0;\\line \\line "
            "[Draw>Method_Shapes_Draw]|;\\line ");
}

TEST_F(RtfText, ParameterListsLinkTheirTypes) {
  THItem& holder = *unit.FindRoutine("Draw", true);
  EXPECT_EQ(bars(holder.LinkParameterTypes("Sender: TObject; var Done: Boolean")),
            "Sender: [TObject>Type_Shapes_TObject]; var Done: Boolean");
  EXPECT_EQ(holder.LinkParameterTypes("const S: string = '\\'; {x}P: Byte"),
            "const S: string = '\\\\'; \\{x\\}P: Byte");
  {
    OptionsGuard guard;
    options().LinkSearchInParameterList = false;
    m.project.Scope = kScopePublic;
    EXPECT_EQ(holder.LinkParameterTypes("A: TObject"), "A: TObject");
  }
}

TEST(BuiltLinks, EachBuildMakesItsLinksAnew) {
  // A build thread remembers the links it made; the next build, here with
  // another jump page, must not use them. Each spelling of a word keeps its
  // own visible text.
  testing_support::TempDir program;
  const std::string pages = testing::pagesDirectory() + "Template";
  std::filesystem::copy(pages, program.path() + "/Template");
  std::filesystem::copy(pages, program.path() + "/Template/ALT");
  program.write("Template/ALT/InternalJump.TPF", "<##InternalName##@##InternalJump##>\r\n");
  OptionsGuard guard;
  options().CasesensitiveInConstantComment = false;
  testing::RecordingProject project(program.path());
  project.Scope = kScopePublic;
  project.BuildThreads = 1;
  project.AddUnitText("A", "unit A; interface type TFoo = class end; const { TFoo tfoo } C = 1;");
  project.AddUnitText("B", "unit B; interface const { tfoo TFoo } D = 2;");
  const auto build = [&project] {
    MemoryPageSink sink;
    project.BuildTopics(sink);
    return sink.text();
  };
  const std::string first = build();
  EXPECT_NE(first.find("[TFoo>Type_A_TFoo]\r\n [tfoo>Type_A_TFoo]"), std::string::npos) << first;
  EXPECT_NE(first.find("[tfoo>Type_A_TFoo]\r\n [TFoo>Type_A_TFoo]"), std::string::npos) << first;
  project.SetTemplateSubdirectory("ALT/");
  const std::string second = build();
  EXPECT_EQ(second.find("[TFoo>"), std::string::npos) << second;
  EXPECT_NE(second.find("<TFoo@Type_A_TFoo>\r\n <tfoo@Type_A_TFoo>"), std::string::npos) << second;
  EXPECT_NE(second.find("<tfoo@Type_A_TFoo>\r\n <TFoo@Type_A_TFoo>"), std::string::npos) << second;
}

}  // namespace
}  // namespace holders
