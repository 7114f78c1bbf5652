// Comments, first-line commands, conditional compilation, include files and
// the visibility rule, read through small units.
#include <gtest/gtest.h>

#include <filesystem>

#include <random>
#include <string_view>
#include <vector>

#include "holders/test_project.h"

namespace holders {
namespace {

using testing::Model;
using testing::RecordingProject;

TEST(Comments, BelongToTheDeclarationThatFollows) {
  Model m;
  THUnit& unit = m.unit(
      "{ Unit description } unit Shapes; interface\r\n"
      "{ Type comment } type TShape = class end;\r\n"
      "  TPlain = Integer;\r\n");
  EXPECT_EQ(unit.Comment, "Unit description");
  EXPECT_EQ(unit.UnitName, "Shapes");
  EXPECT_EQ(unit.FindType("TShape", true)->Comment, "Type comment");
  EXPECT_EQ(unit.FindType("TPlain", true)->Comment, "");
}

TEST(Comments, JoinReplaceKeepAndRenewAsTheirMarkersSay) {
  struct Row {
    const char* comments;
    const char* expected;
    const char* why;
  };
  const Row rows[] = {
      {"// one\r\n// two\r\n", "one two", "line comments join with a blank"},
      {"// one\r\n{ Other }\r\n", "Other", "a block comment replaces"},
      {"// one\r\n{#K More}\r\n", "one More", "#K keeps the old comment"},
      {"{ one }\r\n// #C Fresh\r\n", "Fresh", "#C starts a new comment"},
      {"(* first\r\n   second\r\n   third *)\r\n", "first second third",
       "a multi-line comment joins its trimmed lines"},
      {"{$R *.RES}\r\n", "$R *.RES", "other directives are description text"},
      {"(*$IFDEF NOTHING*)\r\n", "$IFDEF NOTHING", "(*$...*) is text"},
      {"//$IFDEF NOTHING\r\n", "$IFDEF NOTHING", "//$... is text"},
      {"{ Notes\r\n$DEFINE LATE }\r\n", "Notes", "a following line can be a directive"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Model m;
    THUnit& unit =
        m.unit(std::string("unit U; interface type\r\n") + row.comments + "TX = Integer;");
    ASSERT_NE(unit.FindType("TX", true), nullptr);
    EXPECT_EQ(unit.FindType("TX", true)->Comment, row.expected);
  }
  Model m;
  m.unit("unit U; interface type { Notes\r\n$DEFINE LATE }\r\nTX = Integer;");
  EXPECT_TRUE(m.project.IsDefined("late"));
}

TEST(Comments, SampleCollectsTheFollowingLinesWithTheirIndentation) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface var\r\n"
      "// Counter of things.\r\n"
      "// #SAMPLE\r\n"
      "//   x := 1;\r\n"
      "//   y := 2;\r\n"
      "Count: Integer;\r\n");
  const THVariable* count = static_cast<THVariable*>(unit.Variables.find("Count", true));
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count->Comment, "Counter of things.");
  EXPECT_EQ(count->Sample, "   x := 1;\r   y := 2;");
}

TEST(Comments, AnEmptyLineRightAfterTheSampleMarkerEndsIt) {
  Model m;
  THUnit& unit = m.unit("unit U; interface var\r\n// #SAMPLE\r\n//\r\n// Text.\r\nX: Integer;");
  const THItem* x = unit.Variables.find("X", true);
  EXPECT_EQ(x->Sample, "");
  EXPECT_EQ(x->Comment, "Text.");
}

TEST(SetComment, TakesFirstLineCommandsOffTheDescription) {
  struct Row {
    const char* text;
    const char* comment;
    int visibility;
    int scope;
    const char* why;
  };
  const Row rows[] = {
      {"! #V #2 ! Draws the frame.", "Draws the frame.", kAlwaysVisible, kScopePublic,
       "commands between the markers"},
      {"{! #NV !}", "", kNeverVisible, kScopePublished, "commands only"},
      {"{!#V}", "", kAlwaysVisible, kScopePublished, "no end marker: whole first line"},
      {"{! #v #0 !}", "", kAlwaysVisible, kScopePrivate, "command words are upper-cased"},
      {"! #1 !\r\nSecond   line\r\nthird", "Second line third", kVisibleByScope, kScopeProtected,
       "later lines join, blanks collapse"},
      {"  Just text  ", "Just text", kVisibleByScope, kScopePublished, "no commands"},
      {"#V no start marker", "#V no start marker", kVisibleByScope, kScopePublished,
       "commands need the start marker"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    OptionsGuard guard;
    THItem item(nullptr);
    item.SetComment(row.text);
    EXPECT_EQ(item.Comment, row.comment);
    EXPECT_EQ(item.Visibility, row.visibility);
    EXPECT_EQ(item.Scope, row.scope);
  }
}

TEST(SetComment, LowerCaseMarkersNeverMatchAndKindCommandsNeedTheirKind) {
  OptionsGuard guard;
  options().FirstLineForceVisible = "#v";
  THItem item(nullptr);
  item.SetComment("! #v ! text");
  EXPECT_EQ(item.Visibility, kVisibleByScope);

  Model m;
  THUnit& unit = m.unit(
      "unit U; interface type\r\n"
      "{! #BITMAP:tshape.bmp #EVENT !} TShape = class\r\n"
      "  {! #EVENT !} property Changed: TNotify read F;\r\n"
      "  {! #BITMAP:x.bmp !} property Plain: Integer read F;\r\n"
      "end;");
  THType* shape = unit.FindType("TShape", true);
  EXPECT_EQ(shape->Bitmap, "TSHAPE.BMP");
  EXPECT_TRUE(static_cast<THProperty*>(shape->FindMember("Changed", true))->IsEvent);
  EXPECT_FALSE(static_cast<THProperty*>(shape->FindMember("Plain", true))->IsEvent);
}

TEST(Conditionals, FollowTheDefinesOfTheWholeRun) {
  struct Row {
    const char* before;
    const char* define;
    bool present;
    const char* why;
  };
  const Row rows[] = {
      {"", "", false, "undefined symbol skips"},
      {"", "debug", true, "a define from the command line"},
      {"{$DEFINE DEBUG}", "", true, "an earlier $DEFINE"},
      {"{$DEFINE DEBUG}{$UNDEF debug}", "", false, "$UNDEF removes it again"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Model m;
    if (*row.define != '\0') m.project.AddDefine(row.define);
    THUnit& unit = m.unit(std::string("unit U; interface const ") + row.before +
                          " A = 0; {$IFDEF DEBUG} X = 1; {$ENDIF} B = 2;");
    EXPECT_EQ(unit.Constants.find("X", true) != nullptr, row.present);
    EXPECT_NE(unit.Constants.find("A", true), nullptr);
    EXPECT_NE(unit.Constants.find("B", true), nullptr);
  }
}

TEST(Conditionals, DefinesCarryAcrossUnits) {
  Model m;
  m.unit("unit First; interface {$DEFINE SHARED} implementation end.", "First");
  THUnit& second = m.unit(
      "unit Second; interface const {$IFNDEF SHARED} X = 1; {$ELSE} Y = 2; {$ENDIF}", "Second");
  EXPECT_EQ(second.Constants.find("X", true), nullptr);
  EXPECT_NE(second.Constants.find("Y", true), nullptr);
}

TEST(Conditionals, NestAndElse) {
  struct Row {
    const char* define;
    const char* expected;
  };
  const Row rows[] = {{"", "Q"}, {"A", ""}, {"A B", "P"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.define);
    Model m;
    for (const char* symbol : {"A", "B"}) {
      if (std::string(row.define).find(symbol) != std::string::npos) m.project.AddDefine(symbol);
    }
    THUnit& unit = m.unit(
        "unit U; interface const {$IFDEF A}{$IFDEF B} P = 1; {$ENDIF}{$ELSE} Q = 2; {$ENDIF}");
    std::string names;
    for (const NameEntry& entry : unit.Constants.entries()) names += entry.name;
    EXPECT_EQ(names, row.expected);
  }
}

TEST(Conditionals, AnUnclosedBranchSkipsToTheEnd) {
  Model m;
  THUnit& unit = m.unit("unit U; interface const A = 1; {$IFDEF NEVER} B = 2; C = 3;");
  EXPECT_EQ(unit.ConstantCount(), 1);
}

TEST(Conditionals, SkippedBracketsDoNotMoveTheDepth) {
  // Two alternative openings of one header: the skipped one must not leave
  // the parenthesis depth at 1, or every later const section is ignored.
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface\r\n"
      "{$IFDEF FPC} function F(A: Integer; {$ELSE} function F(A: Int64; {$ENDIF} B: Byte): "
      "Boolean;\r\n"
      "const K = 1;\r\n"
      "var V: Integer;\r\n");
  ASSERT_NE(unit.FindRoutine("F", true), nullptr);
  EXPECT_EQ(unit.FindRoutine("F", true)->ResultType, "Boolean");
  EXPECT_NE(unit.Constants.find("K", true), nullptr);
  EXPECT_NE(unit.Variables.find("V", true), nullptr);
}

TEST(LineEnds, UnixAndOldMacFilesReadLikeTheirWindowsTwin) {
  const std::string windows =
      "unit U;\r\ninterface\r\n// Counter\r\n// of things\r\nvar Count: Integer;\r\n"
      "{ Block\r\n  comment }\r\nconst Limit = 10;\r\n";
  for (const char* lineEnd : {"\n", "\r"}) {
    SCOPED_TRACE(lineEnd[0] == '\n' ? "LF" : "CR");
    std::string text = windows;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
      text.replace(at, 2, lineEnd);
      ++at;
    }
    Model m;
    THUnit& unit = m.unit(text);
    ASSERT_NE(unit.Variables.find("Count", true), nullptr);
    EXPECT_EQ(unit.Variables.find("Count", true)->Comment, "Counter of things");
    ASSERT_NE(unit.Constants.find("Limit", true), nullptr);
    EXPECT_EQ(unit.Constants.find("Limit", true)->Comment, "Block comment");
  }
  EXPECT_EQ(normalizeLineEnds("a\nb\rc\r\nd\n\re"), "a\r\nb\r\nc\r\nd\r\n\r\ne");
  EXPECT_EQ(normalizeLineEnds("\r\r\n\n"), "\r\n\r\n\r\n");
  EXPECT_EQ(normalizeLineEnds("\n"), "\r\n");
  EXPECT_EQ(normalizeLineEnds("x\r"), "x\r\n");
}

// Include directives in both spellings and any case give their names;
// switches that begin like them ("$I+", "$IFDEF", "$INLINE") and other dollar
// signs do not.
TEST(IncludeDirectives, AreFoundInTheRawText) {
  using Names = std::vector<std::string_view>;
  EXPECT_EQ(Names{}, includedNames(""));
  EXPECT_EQ(Names{}, includedNames("{$"));
  EXPECT_EQ(Names{}, includedNames("$I a.inc"));
  EXPECT_EQ(Names{}, includedNames("{$I+}{$I-}{$IFDEF X}{$INLINE ON}{$IOCHECKS OFF} x := $10;"));
  EXPECT_EQ((Names{"a.inc", "b.inc", "c.inc", "d"}),
            includedNames("{$I a.inc}{$i\tb.inc}\r\n{$INCLUDE c.inc} (*x*) {$include\nd}"));
  EXPECT_EQ((Names{"with space.inc", "x.inc", ""}),
            includedNames("{$I 'with space.inc'} {$I  x.inc // note\n} {$INCLUDE "));
}

// Line ends at every place of the sixteen-byte blocks and across their
// edges, runs of them that grow the text past the room first made, and
// texts of every length up to a few blocks, against a byte-by-byte rule.
TEST(LineEnds, AnyMixOfLineEndsIsMadeCrLf) {
  const auto byteByByte = [](std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' || text[i] == '\n') {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += "\r\n";
      } else {
        out += text[i];
      }
    }
    return out;
  };
  std::mt19937 random(7);
  const std::string alphabet = "ab\r\n\n";
  for (int run = 0; run < 20000; ++run) {
    std::string text(random() % 100, 'x');
    const unsigned ends = random() % 4;  // none, few, many, nothing else
    for (char& c : text) {
      if (ends == 3 || random() % 8 < ends) c = alphabet[random() % alphabet.size()];
    }
    ASSERT_EQ(byteByByte(text), normalizeLineEnds(text)) << run;
  }
  const std::string lone(100000, '\n');
  EXPECT_EQ(byteByByte(lone), normalizeLineEnds(lone));
}

class Includes : public ::testing::Test {
 protected:
  std::string unitFile(std::string_view text) { return dir.write("src/main.pas", text); }
  std::vector<std::string> warnings() { return m.project.messagesAt(0); }

  testing_support::TempDir dir;
  Model m;
};

TEST_F(Includes, ContinueTheOpenSectionFromTheUnitDirectory) {
  dir.write("src/types.inc", "TExtra = Integer;\r\n");
  THUnit* unit =
      m.project.AddUnit(unitFile("unit Main; interface type TA = Byte; {$I TYPES.INC} TB = Word;"));
  ASSERT_NE(unit, nullptr);
  EXPECT_NE(unit->FindType("TExtra", true), nullptr);
  EXPECT_NE(unit->FindType("TB", true), nullptr);
  EXPECT_EQ(warnings().at(1), "Adding include file:" + dir.path() + "/src/TYPES.INC");
}

// The declarations of a file included within a declaration are read while
// the declaration around them is half read; neither takes from the other.
TEST_F(Includes, ADeclarationAroundAnIncludeKeepsItsOwnText) {
  dir.write("src/more.inc", "C = (5 + 6); D = 'seven';");
  THUnit* unit =
      m.project.AddUnit(unitFile("unit Main; interface const A = (1 + {$I MORE.INC} 2); B = 3;"));
  ASSERT_NE(unit, nullptr);
  const auto value = [unit](const char* name) {
    const auto* constant = static_cast<const THConstant*>(unit->Constants.find(name, true));
    return constant != nullptr ? constant->Value : std::string("(none)");
  };
  EXPECT_EQ(value("A"), "(1 +  2)");
  EXPECT_EQ(value("B"), "3");
  EXPECT_EQ(value("C"), "(5 + 6)");
  EXPECT_EQ(value("D"), "'seven'");
}

TEST_F(Includes, AMissingFileIsReportedAndReadingGoesOn) {
  THUnit* unit = m.project.AddUnit(unitFile("unit Main; interface const {$I common.inc} A = 1;"));
  EXPECT_EQ(warnings().back(), "Unable to locate include file:COMMON.INC");
  EXPECT_NE(unit->Constants.find("A", true), nullptr);
}

TEST_F(Includes, AFileAlreadyInTheIncludeChainIsSkipped) {
  dir.write("src/self.inc", "A = 1; {$I SELF.INC} B = 2;");
  dir.write("src/ping.inc", "P = 1; {$I PONG.INC}");
  dir.write("src/pong.inc", "Q = 1; {$I PING.INC} {$I MAIN.PAS}");
  THUnit* unit =
      m.project.AddUnit(unitFile("unit Main; interface const {$I SELF.INC} {$I PING.INC} Z = 9;"));
  ASSERT_NE(unit, nullptr);
  for (const char* name : {"A", "B", "P", "Q", "Z"}) {
    EXPECT_NE(unit->Constants.find(name, true), nullptr) << name;
  }
  const std::string src = dir.path() + "/src/";
  const std::vector<std::string> expected = {
      "Adding unit:" + src + "main.pas",
      "Adding include file:" + src + "SELF.INC",
      "Recursive include file skipped:" + src + "SELF.INC",
      "Adding include file:" + src + "PING.INC",
      "Adding include file:" + src + "PONG.INC",
      "Recursive include file skipped:" + src + "PING.INC",
      "Recursive include file skipped:" + src + "MAIN.PAS",
  };
  EXPECT_EQ(warnings(), expected);
}

// The chain holds files, not names: a file reached again through a linked
// directory or a link to the file itself is in it already.
TEST_F(Includes, AFileReachedAgainThroughALinkIsSkipped) {
  dir.write("src/real/loop.inc", "A = 1; {$I ALIAS/LOOP.INC} {$I REAL/BACK.INC} B = 2;");
  std::filesystem::create_directory_symlink(dir.path() + "/src/real", dir.path() + "/src/alias");
  std::filesystem::create_symlink(dir.path() + "/src/real/loop.inc",
                                  dir.path() + "/src/real/back.inc");
  THUnit* unit =
      m.project.AddUnit(unitFile("unit Main; interface const {$I REAL/LOOP.INC} Z = 9;"));
  ASSERT_NE(unit, nullptr);
  for (const char* name : {"A", "B", "Z"}) {
    EXPECT_NE(unit->Constants.find(name, true), nullptr) << name;
  }
  const std::string src = dir.path() + "/src/";
  const std::vector<std::string> expected = {
      "Adding unit:" + src + "main.pas",
      "Adding include file:" + src + "REAL/LOOP.INC",
      "Recursive include file skipped:" + src + "ALIAS/LOOP.INC",
      "Recursive include file skipped:" + src + "REAL/BACK.INC",
  };
  EXPECT_EQ(warnings(), expected);
}

TEST_F(Includes, AChainDeeperThanTheLimitIsCutAndReadingGoesOn) {
  // LEVEL1.INC includes LEVEL2.INC and so on, one constant each, far deeper
  // than the limit.
  const int levels = static_cast<int>(THProject::kMaxIncludeDepth) + 10;
  for (int level = 1; level <= levels; ++level) {
    const std::string n = std::to_string(level);
    dir.write("src/level" + n + ".inc", "C" + n + " = " + n + "; {$I LEVEL" +
                                            std::to_string(level + 1) + ".INC} D" + n + " = " + n +
                                            ";");
  }
  THUnit* unit = m.project.AddUnit(unitFile("unit Main; interface const {$I LEVEL1.INC} Z = 0;"));
  ASSERT_NE(unit, nullptr);
  const int limit = static_cast<int>(THProject::kMaxIncludeDepth);
  for (int level = 1; level <= levels; ++level) {
    SCOPED_TRACE(level);
    const bool read = level <= limit;
    EXPECT_EQ(unit->Constants.find("C" + std::to_string(level), true) != nullptr, read);
    EXPECT_EQ(unit->Constants.find("D" + std::to_string(level), true) != nullptr, read);
  }
  EXPECT_NE(unit->Constants.find("Z", true), nullptr);
  EXPECT_EQ(warnings().back(), "Include file nested too deeply, skipped:" + dir.path() +
                                   "/src/LEVEL" + std::to_string(limit + 1) + ".INC");
  EXPECT_EQ(warnings().size(), static_cast<size_t>(limit + 2)) << "the unit, the files, the cut";
}

TEST_F(Includes, ADirectiveReadAgainAfterMovingBackIsCarriedOutOnce) {
  // The directive list after a header is looked for past the comment and
  // then read again by the unit.
  dir.write("src/more.inc", "procedure Extra;");
  m.project.AddUnit(unitFile("unit Main; interface procedure Foo; {$I MORE.INC} const A = 1;"));
  int includes = 0;
  for (const std::string& line : warnings()) includes += line.starts_with("Adding include") ? 1 : 0;
  EXPECT_EQ(includes, 1);
}

TEST(Visibility, ScopeParentAndForcedVisibilityDecide) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface type\r\n"
      "TA = class\r\n"
      "private FHidden: Integer;\r\n"
      "public {! #NV !} FNever: Integer; FShown: Integer;\r\n"
      "{! #0 !} FDemoted: Integer; {! #V #0 !} FForced: Integer;\r\n"
      "end;\r\n"
      "{! #NV !} TB = class public {! #V !} FForced: Integer; FOther: Integer; end;\r\n");
  THType& a = *unit.FindType("TA", true);
  THType& b = *unit.FindType("TB", true);
  struct Row {
    THItem* item;
    bool documented;
    const char* why;
  };
  const Row rows[] = {
      {a.FindMember("FHidden", true), false, "private below the public build scope"},
      {a.FindMember("FNever", true), false, "forced invisible"},
      {a.FindMember("FShown", true), true, "public"},
      {a.FindMember("FDemoted", true), false, "scope command"},
      {a.FindMember("FForced", true), true, "forced visible wins over scope"},
      {&b, false, "type forced invisible"},
      {b.FindMember("FOther", true), false, "member of an undocumented type"},
      {b.FindMember("FForced", true), true, "forced visible ignores the parent"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    ASSERT_NE(row.item, nullptr);
    EXPECT_EQ(row.item->IsDocumented(), row.documented);
  }
  THItem orphan(nullptr);
  EXPECT_FALSE(orphan.IsDocumented()) << "no project, no documentation";
  EXPECT_EQ(orphan.LanguageText(0), "Missing string");
  EXPECT_THROW_MSG(orphan.BuildJump("x"), EHolderError, "BuildJump not implemented in THItem");
}

}  // namespace
}  // namespace holders
