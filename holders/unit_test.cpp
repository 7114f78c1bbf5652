// The unit reader: sections, routines, the implementation part, and the
// unit page.
#include <gtest/gtest.h>

#include "holders/test_project.h"
#include "platform/text.h"

namespace holders {
namespace {

using testing::bars;
using testing::Model;

std::string names(const SortedNameList& list) {
  std::string result;
  for (const NameEntry& entry : list.entries()) result += (result.empty() ? "" : ",") + entry.name;
  return result;
}

TEST(UnitReader, SectionsEndAtTheNextSectionWordAndAreReadAgain) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface uses SysUtils;\r\n"
      "const A = 1; type TB = Integer; var C: Byte; const D = 2;\r\n"
      "procedure E; function F: Integer; type TG = Byte;\r\n"
      "implementation\r\n"
      "const Local = 3; type TLocal = Byte; var V: Integer;\r\n"
      "end.");
  EXPECT_EQ(names(unit.Constants), "A,D");
  EXPECT_EQ(names(unit.Types), "TB,TG");
  EXPECT_EQ(names(unit.Variables), "C");
  EXPECT_EQ(names(unit.Routines), "E,F");
  EXPECT_TRUE(unit.InImplementation);
}

TEST(UnitReader, ACommentAfterADeclarationBelongsToTheNext) {
  Model m;
  THUnit& unit = m.unit("unit U; interface var X: Integer; // counter\r\nY: Integer;");
  EXPECT_EQ(unit.Variables.find("X", true)->Comment, "");
  EXPECT_EQ(unit.Variables.find("Y", true)->Comment, "counter");
}

TEST(UnitReader, ParametersOfAHeaderOpenNoSection) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface procedure Draw(const A: Integer; var B: Integer);\r\n"
      "type TX = Byte;");
  EXPECT_EQ(names(unit.Routines), "Draw");
  EXPECT_EQ(unit.ConstantCount() + unit.VariableCount(), 0);
  EXPECT_EQ(unit.FindRoutine("Draw", true)->Parameters, "const A: Integer; var B: Integer");
}

TEST(UnitReader, ImplementationCommentsReplaceInterfaceOnes) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface\r\n"
      "{ Draws. } procedure Draw;\r\n"
      "{ Erases. } procedure Erase;\r\n"
      "type TShape = class procedure Paint(A: Integer); virtual; end;\r\n"
      "implementation\r\n"
      "{ Really draws. } procedure Draw; begin end;\r\n"
      "procedure Erase; begin end;\r\n"
      "{ Paints the shape. } procedure TShape.Paint(B: Byte); begin end;\r\n"
      "{ Hidden helper. } procedure Helper; begin end;\r\n"
      "end.");
  EXPECT_EQ(unit.FindRoutine("Draw", true)->Comment, "Really draws.");
  EXPECT_EQ(unit.FindRoutine("Erase", true)->Comment, "Erases.");
  THMethod* paint = unit.FindType("TShape", true)->FindMethod("Paint", true);
  EXPECT_EQ(paint->Comment, "Paints the shape.");
  EXPECT_EQ(paint->Parameters, "B: Byte") << "the header is read again";
  EXPECT_EQ(paint->Directives, "") << "the body holds no directive words";
  EXPECT_EQ(unit.FindRoutine("Helper", true), nullptr);
}

TEST(UnitReader, TryAndAsmBlocksInABodyAreSkippedWhole) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface\r\n"
      "{ Interface text. } procedure Next;\r\n"
      "implementation\r\n"
      "procedure First; begin try X; finally Y; end; { inside the body } Z; end;\r\n"
      "procedure Second; begin asm nop end; { inside asm body } end;\r\n"
      "procedure Next; begin end;\r\n"
      "end.");
  EXPECT_EQ(unit.FindRoutine("Next", true)->Comment, "Interface text.");
}

TEST(UnitReader, OverloadsKeepTheFirstHeaderAndTheLastComment) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface\r\n"
      "{ Larger of two. } function Max(A, B: Integer): Integer; overload;\r\n"
      "{ Larger of two reals. } function Max(A, B: Double): Double; overload;\r\n");
  ASSERT_EQ(unit.RoutineCount(), 1);
  const THMethod& max = unit.RoutineAt(0);
  EXPECT_EQ(max.Parameters, "A, B: Integer");
  EXPECT_EQ(max.Comment, "Larger of two reals.");
}

TEST(UnitReader, DirectiveWordsStandingAsNamesAreNames) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface\r\n"
      "const Default: Integer = 5; Name = 'n';\r\n"
      "var Index, Write: Integer; Read: Boolean;\r\n"
      "procedure Read(X: Integer); overload;\r\n"
      "function Index: Integer;\r\n"
      "type TData = record Name: string; Index, Stored: Integer; end;\r\n");
  EXPECT_EQ(names(unit.Constants), "Default,Name");
  EXPECT_EQ(static_cast<THConstant*>(unit.Constants.find("Default", true))->ConstType, "Integer");
  EXPECT_EQ(names(unit.Variables), "Index,Read,Write");
  EXPECT_EQ(names(unit.Routines), "Index,Read");
  EXPECT_EQ(unit.FindRoutine("Read", true)->Parameters, "X: Integer");
  THType& data = *unit.FindType("TData", true);
  ASSERT_EQ(data.PropertyCount(), 3);
  EXPECT_EQ(data.PropertyAt(0).PropertyName, "Name");
  EXPECT_EQ(data.PropertyAt(2).PropertyName, "Stored");
  EXPECT_EQ(data.PropertyAt(2).PropertyType, "Integer");
}

TEST(UnitReader, ResourceStringsAndThreadVariablesOpenTheirOwnSections) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface\r\n"
      "type TA = Integer;\r\n"
      "resourcestring SHello = 'Hello'; SBye = 'Bye';\r\n"
      "threadvar Depth: Integer;\r\n"
      "const Origin: TPoint = (X: 0; Y: 0); Names: array[0..1] of string = ('a;', 'b');\r\n");
  EXPECT_EQ(names(unit.Types), "TA");
  EXPECT_EQ(names(unit.Constants), "Names,Origin,SBye,SHello");
  EXPECT_EQ(names(unit.Variables), "Depth");
  const auto& origin = *static_cast<THConstant*>(unit.Constants.find("Origin", true));
  EXPECT_EQ(origin.ConstType, "TPoint");
  EXPECT_EQ(origin.Value, "(X: 0; Y: 0)");
  const auto& list = *static_cast<THConstant*>(unit.Constants.find("Names", true));
  EXPECT_EQ(list.ConstType, "array[0..1] of string");
  EXPECT_EQ(list.Value, "('a;', 'b')");
}

TEST(UnitReader, FindItemSearchesRoutinesTypesVariablesConstantsInOrder) {
  Model m;
  THUnit& unit = m.unit("unit U; interface const Same = 1; var Same: Integer; procedure Same;");
  EXPECT_EQ(unit.FindItem("SAME", false), unit.FindRoutine("Same", true));
  EXPECT_EQ(unit.FindItem("SAME", true), nullptr);
  EXPECT_TRUE(THUnit::IsSectionEnd(TokenKind::Implementation));
  EXPECT_FALSE(THUnit::IsSectionEnd(TokenKind::Begin));
}

TEST(UnitPage, FollowsTheTopicsOfItsDeclarationsWithSortedLists) {
  Model m;
  m.unit(
      "{ The unit. } unit Shapes; interface\r\n"
      "type TZeta = Byte; tAlpha = Byte; TBeta = Byte; {! #NV !} THidden = Byte;\r\n"
      "const Limit = 1; var Count: Integer; procedure Draw;",
      "Shapes");
  MemoryPageSink sink;
  m.project.UnitAt(0)->BuildTopic(sink);
  std::vector<std::string> topics;
  for (const auto& written : sink.pages()) topics.push_back(written.topic.id);
  const std::vector<std::string> expected = {
      "Type_Shapes_tAlpha",    "Type_Shapes_TBeta",  "Type_Shapes_TZeta", "Constant_Shapes_Limit",
      "Variable_Shapes_Count", "Method_Shapes_Draw", "Unit_Shapes"};
  EXPECT_EQ(topics, expected);
  EXPECT_EQ(bars(platform::joinLinesCrLf(sink.pages().back().lines)),
            "UNIT Shapes (Unit/Units)|DESC The unit.|Types:|"
            "TJ Shapes.tAlpha|TJ Shapes.TBeta|TJ Shapes.TZeta||Constants:|CJ Shapes.Limit||"
            "Variables:|VJ Shapes.Count||Methods:|MJ Shapes.Draw||");
  EXPECT_EQ(m.project.messagesAt(1), std::vector<std::string>{"Building unit:Shapes"});
}

TEST(UnitPage, CommentsRequiredHidesAnUncommentedUnit) {
  Model m;
  options().CommentsRequiredInUnits = true;
  THUnit& bare = m.unit("unit Bare; interface const X = 1;", "Bare");
  THUnit& told = m.unit("{ Told. } unit Told; interface", "Told");
  EXPECT_FALSE(bare.IsDocumented());
  EXPECT_TRUE(told.IsDocumented());
  MemoryPageSink sink;
  told.BuildTopic(sink);
  ASSERT_EQ(sink.pages().size(), 1u) << "a unit without documented items still gets its page";
  EXPECT_EQ(bars(platform::joinLinesCrLf(sink.pages()[0].lines)),
            "UNIT Told (Unit/Units)|DESC Told.|Types:||Constants:||Variables:||Methods:||");
}

}  // namespace
}  // namespace holders
