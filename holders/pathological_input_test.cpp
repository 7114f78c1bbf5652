// Inputs no real unit looks like, read and built: each must end without a
// crash, in time that grows linearly with its size. The suite runs under a
// CTest time limit, so a hang or a quadratic turn fails it instead of
// stalling the run; ctest's per-test times are the figures to watch.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "holders/test_project.h"
#include "platform/sanitized.h"

namespace holders {
namespace {

using testing::Model;

#ifdef KORVEX_ASAN
// The sanitized debug build reads some twenty times slower.
constexpr size_t kLargeUnitBytes = 3 << 20;
constexpr int kCommentLines = 40000;
#else
constexpr size_t kLargeUnitBytes = 50 << 20;
constexpr int kCommentLines = 200000;
#endif
constexpr int kNesting = 100000;

// Counts what the build writes instead of keeping it.
class CountingSink final : public PageSink {
 public:
  void writePage(const TopicRef&, const std::vector<std::string>& lines) override {
    ++pages;
    for (const std::string& line : lines) bytes += line.size() + 2;
  }
  void finish(std::string_view) override {}

  size_t pages = 0;
  size_t bytes = 0;
};

// A project that keeps only the project-level messages (the include file
// reports); a large unit gives a progress line per declaration.
class QuietProject : public THProject {
 public:
  QuietProject() : THProject(testing::pagesDirectory()) {
    lang::BaseLang::LoadENG(messageLanguage_);
    MessageLanguage = &messageLanguage_;
    Scope = kScopePublic;
  }
  void Message(int level, std::string_view text) override {
    if (level == 0) messages.emplace_back(text);
  }

  std::vector<std::string> messages;

 private:
  lang::TCustomLanguageCenter messageLanguage_;
};

struct Reading {
  OptionsGuard guard;
  QuietProject project;
  CountingSink sink;

  THUnit& read(std::string_view text) {
    THUnit& unit = project.AddUnitText("U", text);
    project.BuildTopics(sink);
    return unit;
  }
};

std::string repeat(std::string_view piece, int times) {
  std::string text;
  text.reserve(piece.size() * static_cast<size_t>(times));
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

std::string nested(std::string_view inner) {
  return repeat("(", kNesting) + std::string(inner) + repeat(")", kNesting);
}

// One block of declarations of every kind, numbered n, with comments in
// every style, tags and words that link to other declarations.
std::string declarations(int n) {
  const std::string k = std::to_string(n);
  return "type\r\n"
         "  { The class number " +
         k +
         ", see <L Type_U_TBase>the base</L> and TBase. }\r\n"
         "  TItem" +
         k +
         " = class(TBase)\r\n"
         "  private\r\n"
         "    FValue: Integer; // the value of " +
         k +
         "\r\n"
         "  public\r\n"
         "    (* Reads the value.\r\n"
         "       Second line of the comment. *)\r\n"
         "    function GetValue(const A: Integer = 1; B: string = '" +
         k +
         "'): Integer; virtual;\r\n"
         "    property Value: Integer read FValue write FValue default " +
         k +
         ";\r\n"
         "  end;\r\n"
         "const\r\n"
         "  // The constant " +
         k +
         ".\r\n"
         "  C" +
         k + " = (" + k +
         " + 1) * 2;\r\n"
         "var\r\n"
         "  { A variable of type TItem" +
         k +
         ". }\r\n"
         "  V" +
         k + ": TItem" + k +
         ";\r\n"
         "{ Works on TItem" +
         k +
         ".<BR>#SAMPLE\r\n"
         "  Routine" +
         k + "(V" + k +
         "); }\r\n"
         "procedure Routine" +
         k + "(Item: TItem" + k + ");\r\n";
}

TEST(PathologicalInput, AFiftyMegabyteUnitIsReadAndBuilt) {
  testing_support::TempDir dir;
  std::string text = "{ A unit of many declarations. }\r\nunit Big;\r\ninterface\r\n";
  text += "type TBase = class end;\r\n";
  // Names arrive out of order, as in real units, so the sorted lists are
  // not filled by appending alone.
  int blocks = 0;
  for (int n = 0; text.size() < kLargeUnitBytes; ++n, ++blocks) {
    text += declarations((n * 7919) % 1000003);
  }
  text += "implementation\r\nend.\r\n";
  const std::string path = dir.write("big.pas", text);
  text = std::string();

  Reading r;
  THUnit* unit = r.project.AddUnit(path);
  ASSERT_NE(unit, nullptr);
  r.project.BuildTopics(r.sink);
  EXPECT_EQ(unit->TypeCount(), blocks + 1);
  EXPECT_EQ(unit->ConstantCount(), blocks);
  EXPECT_EQ(unit->VariableCount(), blocks);
  EXPECT_EQ(unit->RoutineCount(), blocks);
  EXPECT_NE(unit->FindType("TItem0", true)->FindMember("Value", true), nullptr);
  EXPECT_GT(r.sink.pages, static_cast<size_t>(blocks) * 5);
}

TEST(PathologicalInput, DeeplyNestedParenthesesEndTheirDeclaration) {
  struct Row {
    std::string declaration;
    bool after;  // the declaration after it is read
    const char* why;
  };
  const Row rows[] = {
      {"const C = " + nested("1") + ";", true, "a constant value"},
      {"procedure P" + nested("A: Integer") + ";", true, "a parameter list"},
      {"procedure P(A: Integer = " + nested("1") + ");", true, "a default value"},
      {"type TP = procedure" + nested("A: Integer") + ";", true, "a procedural type"},
      {"procedure P(A: Integer" + repeat("(", kNesting) + ");", false,
       "brackets never closed take the rest of the text"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Reading r;
    THUnit& unit =
        r.read("unit U; interface " + row.declaration + "\r\ntype TAfter = Integer;\r\n");
    EXPECT_EQ(unit.TypeCount() + unit.ConstantCount() + unit.RoutineCount(), row.after ? 2 : 1);
    EXPECT_EQ(unit.FindType("TAfter", true) != nullptr, row.after);
  }
}

TEST(PathologicalInput, NestedParameterBracketsStayInTheParameters) {
  Reading r;
  THUnit& unit = r.read("unit U; interface procedure P(A: Integer = " + nested("1") + ");");
  const THMethod* routine = unit.FindRoutine("P", true);
  ASSERT_NE(routine, nullptr);
  EXPECT_EQ(routine->Parameters, "A: Integer = " + nested("1"));
}

TEST(PathologicalInput, DeeplyNestedDeclarationsDoNotExhaustTheStack) {
  struct Row {
    std::string declaration;
    const char* why;
  };
  const Row rows[] = {
      {"type T = " + repeat("class type N = ", kNesting) + "Integer;" + repeat(" end;", kNesting),
       "types declared in class bodies, each read by the one around it"},
      {"type T = " + repeat("record A: ", kNesting) + "Integer;" + repeat(" end;", kNesting),
       "records in records"},
      {"type T = " + repeat("array[", kNesting) + "1" + repeat("] of", kNesting) + " Byte;",
       "arrays of arrays"},
      {"type T = class " + repeat("procedure P<", kNesting) + "X" + repeat(">", kNesting) +
           "; end;",
       "type parameters"},
      {"implementation procedure P; " + repeat("begin ", kNesting) + repeat("end; ", kNesting),
       "statement blocks"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Reading r;
    THUnit& unit = r.read("unit U; interface " + row.declaration + "\r\nconst After = 1;");
    EXPECT_LE(unit.TypeCount(), 1);
  }
}

TEST(PathologicalInput, DeeplyNestedConditionalsAreFollowed) {
  constexpr int kDepth = 10000;
  const std::string ends = repeat("{$ENDIF}", kDepth);
  struct Row {
    std::string text;
    bool inner;
    const char* why;
  };
  const Row rows[] = {
      {"{$DEFINE X}" + repeat("{$IFDEF X}", kDepth) + " Inner = 1; " + ends, true, "all taken"},
      {"{$IFDEF NOTSET}" + repeat("{$IFDEF X}", kDepth - 1) + " Inner = 1; " + ends, false,
       "skipped from the outermost"},
      {"{$DEFINE X}" + repeat("{$IFDEF X}", kDepth - 1) + "{$IFNDEF X} Inner = 1; " + ends, false,
       "skipped at the innermost"},
      {repeat("{$IFDEF NOTSET} Skipped = 1; {$ELSE}", kDepth) + " Inner = 1; " + ends, true,
       "the else branch of each"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Reading r;
    THUnit& unit = r.read("unit U; interface const " + row.text + " After = 2;");
    EXPECT_EQ(unit.Constants.find("Inner", true) != nullptr, row.inner);
    EXPECT_EQ(unit.Constants.find("Skipped", true), nullptr);
    EXPECT_NE(unit.Constants.find("After", true), nullptr);
  }
}

TEST(PathologicalInput, AOneMegabyteIdentifierIsANameLikeAnyOther) {
  const std::string name = "N" + std::string(1 << 20, 'a');
  Reading r;
  THUnit& unit =
      r.read("unit U; interface { About " + name + ". } const " + name + " = 1; type T" + name +
             " = class(T" + name + ") " + name + ": Integer; end; var V: T" + name + ";");
  EXPECT_NE(unit.Constants.find(name, true), nullptr);
  EXPECT_NE(unit.FindType("T" + name, true), nullptr);
  EXPECT_EQ(unit.VariableAt(0).VarType, "T" + name);
  EXPECT_GT(r.sink.bytes, 3 * name.size());
}

TEST(PathologicalInput, BinaryInputEndsTheUnitQuietly) {
  std::mt19937 random(20261209);  // fixed seed: the same bytes every run
  std::string noise(4 << 20, '\0');
  for (char& c : noise) c = static_cast<char>(random() & 0xFF);
  std::string printable = noise;  // without NULs it is read to the end
  for (char& c : printable) c = c == '\0' ? '\x01' : c;
  struct Row {
    std::string text;
    const char* present;  // a constant read before the bytes, or none
    const char* absent;   // one after them, or none
    const char* why;
  };
  const Row rows[] = {
      {std::string(1 << 20, '\0'), nullptr, nullptr, "NUL bytes only"},
      {"unit U; interface const A = 1;" + std::string(1 << 20, '\0') + "const B = 2;", "A", "B",
       "the first NUL ends the text"},
      {noise, nullptr, nullptr, "random bytes, which a NUL soon ends"},
      {"unit U; interface const A = 1;" + printable, "A", nullptr, "random bytes in a section"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Reading r;
    THUnit& unit = r.read(row.text);
    if (row.present != nullptr) {
      EXPECT_NE(unit.Constants.find(row.present, true), nullptr);
    }
    if (row.absent != nullptr) {
      EXPECT_EQ(unit.Constants.find(row.absent, true), nullptr);
    }
  }
}

TEST(PathologicalInput, AUnitOfCommentsOnly) {
  struct Row {
    std::string text;
    const char* why;
  };
  const Row rows[] = {
      {repeat("// a line comment that joins the one before it\r\n", kCommentLines),
       "line comments"},
      {repeat("{ a brace comment that replaces the one before it }\r\n", kCommentLines),
       "brace comments"},
      {"(*\r\n" +
           repeat("  a line of one long comment, with TBase and <B>tags</B>\r\n", kCommentLines) +
           "*)\r\nunit U; interface type TBase = class end;",
       "one long comment as the unit's description"},
      {"unit U; interface type TBase = class\r\n" +
           repeat("  // a comment of a member that never comes\r\n", kCommentLines) + "end;",
       "comments where members stand"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Reading r;
    THUnit& unit = r.read(row.text);
    EXPECT_LE(unit.TypeCount(), 1);
  }
}

}  // namespace
}  // namespace holders
