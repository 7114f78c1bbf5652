// Methods, properties, variables and constants: their headers, declaration
// texts and topic pages.
#include <gtest/gtest.h>

#include "holders/test_project.h"
#include "platform/text.h"

namespace holders {
namespace {

using testing::bars;
using testing::Model;

std::string pages(THItem& item) {
  MemoryPageSink sink;
  item.BuildTopic(sink);
  std::string text;
  for (const auto& written : sink.pages()) text += bars(platform::joinLinesCrLf(written.lines));
  return text;
}

TEST(MethodHeader, ReadsParametersResultAndTheDirectiveList) {
  struct Row {
    const char* source;
    const char* parameters;
    const char* result;
    const char* directives;
    const char* declaration;
    const char* why;
  };
  const Row rows[] = {
      {"procedure Paint; override;", "", "", "override;", "procedure Paint; override;",
       "one directive"},
      {"function Get(Index: Integer): string; virtual; abstract;", "Index: Integer", "string",
       "virtual; abstract;", "function Get(Index: Integer): string; virtual; abstract;",
       "parameters, result and two directives"},
      {"procedure Foo; FoRwArD;", "", "", "", "procedure Foo;", "forward is removed"},
      {"procedure Foo; stdcall;", "", "", "", "procedure Foo;", "other directive words end it"},
      {"class function Create: TFoo;", "", "TFoo", "", "class function Create: TFoo;",
       "class function"},
      {"constructor Create(AOwner: TComponent); dynamic;", "AOwner: TComponent", "", "dynamic;",
       "constructor Create(AOwner: TComponent); dynamic;", "constructor"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Model m;
    options().LinkSearchInParameterList = false;
    options().LinkSearchInReturnType = false;
    THUnit& unit =
        m.unit(std::string("unit U; interface type TX = class\r\n") + row.source + "\r\nend;");
    ASSERT_EQ(unit.FindType("TX", true)->MethodCount(), 1);
    THMethod& method = unit.FindType("TX", true)->MethodAt(0);
    EXPECT_EQ(method.Parameters, row.parameters);
    EXPECT_EQ(method.ResultType, row.result);
    EXPECT_EQ(method.Directives, row.directives);
    EXPECT_EQ(method.DeclarationText(), row.declaration);
    options().ShowMethodExtra = false;
    EXPECT_EQ(method.DeclarationText().find(row.directives[0] ? row.directives : "#"),
              std::string::npos);
  }
}

TEST(MethodHeader, ATokenAfterAnEmptyDirectiveListIsReadAgain) {
  Model m;
  THUnit& unit =
      m.unit("unit U; interface procedure Foo;procedure Bar; stdcall;function Baz: Byte;");
  EXPECT_EQ(unit.RoutineCount(), 3);
}

TEST(MethodTopic, RoutineAndMethodPages) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface type TX = class public\r\n"
      "  { Adds <IDENT>Count. } function Add(A: TX): Integer; virtual;\r\n"
      "  Count: Integer;\r\n"
      "end;\r\n"
      "{ Draws.\r\n#SAMPLE\r\nDraw; }\r\nprocedure Draw;");
  EXPECT_EQ(unit.FindRoutine("Draw", true)->JumpName(), "Method_U_Draw");
  EXPECT_EQ(pages(*unit.FindRoutine("Draw", true)),
            "SAMPLE U_Draw Draw Sample|Draw;\\line |"
            "METHOD U/Method/Draw Draw Scope published ##TypeName##|Declaration procedure Draw;|"
            "Description Draws.|UI Unit U|||SAMPLELINK U_Draw Sample||");
  THMethod& add = *unit.FindType("TX", true)->FindMethod("Add", true);
  EXPECT_EQ(pages(add),
            "METHOD U/TX/TX_Add TX.Add Scope public TX|"
            "Declaration function Add(A: [TX>Type_U_TX]): Integer; virtual;|"
            "Description Adds [Count>Property_U_TX_Count]|.||MIT U.TX|||");
  EXPECT_EQ(m.project.messagesAt(2).back(), "Building method topic:Add");
}

TEST(MethodTopic, CommentsRequiredHidesUncommentedMethods) {
  Model m;
  options().CommentsRequiredInMethods = true;
  THUnit& unit = m.unit(
      "unit U; interface type TX = class public procedure Bare; { Told. } procedure Told; end;");
  THType& type = *unit.FindType("TX", true);
  EXPECT_FALSE(type.FindMethod("Bare", true)->IsDocumented());
  EXPECT_EQ(type.CountMethods(false), 1);
}

TEST(PropertyHeader, ReadsIndexTypeAndStorage) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface type TX = class public\r\n"
      "  property Items[Index: Integer]: TItem read GetItem write SetItem; default;\r\n"
      "  FList: array[0..9] of Integer;\r\n"
      "  { Two. } A, B: Integer;\r\n"
      "end;");
  THType& type = *unit.FindType("TX", true);
  auto& items = *static_cast<THProperty*>(type.FindMember("Items", true));
  EXPECT_EQ(items.Parameters, "Index: Integer");
  EXPECT_EQ(items.PropertyType, "TItem");
  EXPECT_EQ(items.Storage, "read GetItem write SetItem");
  EXPECT_EQ(items.Extra, "");
  EXPECT_EQ(items.DeclarationText(), "Items[Index: Integer]: TItem;");
  options().ShowPropertyStorageMechanism = true;
  EXPECT_EQ(items.DeclarationText(), "Items[Index: Integer]: TItem read GetItem write SetItem;");

  auto& list = *static_cast<THProperty*>(type.FindMember("FList", true));
  EXPECT_EQ(list.PropertyType, "array");
  EXPECT_EQ(list.Storage, "[0..9] of Integer");
  for (const char* name : {"A", "B"}) {
    SCOPED_TRACE(name);
    auto& field = *static_cast<THProperty*>(type.FindMember(name, true));
    EXPECT_EQ(field.PropertyType, "Integer");
    EXPECT_EQ(field.Comment, "Two.");
    EXPECT_EQ(field.Scope, kScopePublic);
  }
}

TEST(PropertyTopic, EventsAndSamples) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface type TX = class public\r\n"
      "  property OnChange: TNotifyEvent read FOnChange;\r\n"
      "  { #EVENT } { ! #EVENT ! Fired.\r\n #SAMPLE\r\n  X := 1; }\r\n"
      "  property Changed: TNotifyEvent read F;\r\n"
      "end;");
  THType& type = *unit.FindType("TX", true);
  EXPECT_EQ(pages(*type.FindMember("OnChange", true)),
            "PROP U.TX.OnChange Scope public event Event|Declaration OnChange: TNotifyEvent;|"
            "Description ||");
  EXPECT_EQ(pages(*type.FindMember("Changed", true)),
            "SAMPLE U_TX_Changed TX.Changed Sample|X := 1;\\line |"
            "PROP U.TX.Changed Scope public event Event|Declaration Changed: TNotifyEvent;|"
            "Description Fired.| \\tab SAMPLELINK U_TX_Changed Sample||");
}

constexpr const char* kRedeclared =
    "unit U; interface type\r\n"
    "{ Base. } TBase = class public\r\n"
    "  { The caption. } property Caption: string read GetCaption;\r\n"
    "  property Items[I: Integer]: TItem read GetItem;\r\n"
    "  { Value. } property Value: Integer read FValue;\r\n"
    "  { Handler. } property Handler: TNotify read F;\r\n"
    "end;\r\n"
    "TMiddle = class(TBase) end;\r\n"
    "TDerived = class(TMiddle) public\r\n"
    "  property Caption;\r\n"
    "  property Items;\r\n"
    "  property Value: Int64 read FValue2;\r\n"
    "  property OnHandler: TNotify read F;\r\n"
    "  {! #EVENT !} property Handler;\r\n"
    "end;";

TEST(InheritFromAncestor, CompletesOnlyWhatARedeclarationLacks) {
  Model m;
  THUnit& unit = m.unit(kRedeclared);
  THType& derived = *unit.FindType("TDerived", true);
  m.project.InheritProperties();
  auto member = [&](const char* name) -> THProperty& {
    return *static_cast<THProperty*>(derived.FindMember(name, true));
  };
  EXPECT_EQ(member("Caption").PropertyType, "string") << "bare: takes the type";
  EXPECT_EQ(member("Caption").Comment, "The caption.");
  EXPECT_EQ(member("Caption").Storage, "read GetCaption");
  EXPECT_EQ(member("Items").Parameters, "I: Integer");
  EXPECT_EQ(member("Items").Comment, "") << "nothing to inherit";
  EXPECT_EQ(member("Value").PropertyType, "Int64") << "declared anew: keeps its type";
  EXPECT_EQ(member("Value").Storage, "read FValue2");
  EXPECT_EQ(member("Value").Comment, "Value.") << "an empty comment is still completed";
  EXPECT_TRUE(member("Handler").IsEvent) << "its own #EVENT stays";
  EXPECT_EQ(member("Handler").PropertyType, "TNotify");
}

TEST(InheritFromAncestor, PassesOverAncestorsWithoutAComment) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface type\r\n"
      "TBase = class public { Base caption. } property Caption: string read F; end;\r\n"
      "TDerived = class(TBase) public property Caption; end;");
  m.project.InheritProperties();
  auto& caption =
      *static_cast<THProperty*>(unit.FindType("TDerived", true)->FindMember("Caption", true));
  EXPECT_EQ(caption.PropertyType, "") << "TBase has no comment of its own";
  EXPECT_EQ(caption.DeclarationText(), "Caption: string;") << "the topic looks the type up";
}

TEST(Constants, ValueTypeAndPage) {
  struct Row {
    const char* source;
    const char* type;
    const char* value;
    const char* why;
  };
  const Row rows[] = {
      {"MaxItems = 100;", "", "100", "untyped"},
      {"Default: Integer = 5;", "Integer", "5", "typed, directive word as name"},
      {"Names: array[0..1] of string = ('a', 'b');", "array[0..1] of string", "('a', 'b')",
       "typed array"},
      {"Origin: TPoint = (X: 0; Y: 0);", "TPoint", "(X: 0; Y: 0)", "record constant"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Model m;
    THUnit& unit = m.unit(std::string("unit U; interface const ") + row.source);
    ASSERT_EQ(unit.ConstantCount(), 1);
    const THConstant& constant = unit.ConstantAt(0);
    EXPECT_EQ(constant.ConstType, row.type);
    EXPECT_EQ(constant.Value, row.value);
  }
  Model m;
  THUnit& unit = m.unit("unit U; interface const { Most. } MaxItems = 100; Typed: Byte = '{';");
  EXPECT_EQ(pages(unit.ConstantAt(0)),
            "CONST U.MaxItems Unit Constants|Declaration  = 100;|Description Most.|");
  EXPECT_EQ(pages(unit.ConstantAt(1)),
            "CONST U.Typed Unit Constants|Declaration : Byte = '\\{';|Description |");
}

TEST(Variables, ListsShareTypeCommentAndScope) {
  Model m;
  THUnit& unit = m.unit("unit U; interface var { Both. } A, B: Integer; C: array of Byte;");
  EXPECT_EQ(unit.VariableCount(), 3);
  for (const char* name : {"A", "B"}) {
    SCOPED_TRACE(name);
    const auto& variable = *static_cast<THVariable*>(unit.Variables.find(name, true));
    EXPECT_EQ(variable.VarType, "Integer");
    EXPECT_EQ(variable.Comment, "Both.");
  }
  EXPECT_EQ(static_cast<THVariable*>(unit.Variables.find("C", true))->VarType, "array of Byte");
}

TEST(Variables, SampleTopicComesFirstAndCommentsRequiredHides) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface var\r\n"
      "// Counter.\r\n// #SAMPLE\r\n//   Inc(Count);\r\nCount: Integer;\r\n"
      "Bare: Byte;");
  EXPECT_EQ(pages(*unit.Variables.find("Count", true)),
            "SAMPLE U_Count Count Sample|   Inc(Count);\\line |"
            "VAR U.Count Variables Unit Units|Declaration Integer|Description Counter.|"
            "SAMPLELINK U_Count Sample| \\par |");
  options().CommentsRequiredInVariables = true;
  EXPECT_FALSE(unit.Variables.find("Bare", true)->IsDocumented());
  EXPECT_TRUE(unit.Variables.find("Count", true)->IsDocumented());
}

TEST(MemberLists, AnAncestorsEntriesAreListedAnewInEachBuild) {
  // Every descendant lists the ancestor's members; a second build of the
  // same model, with a narrower scope, must not reuse the first's entries.
  // One thread builds both: what it keeps from the first build is there.
  Model m;
  m.project.BuildThreads = 1;
  m.unit(
      "unit U; interface type\r\n"
      "TBase = class private procedure Hidden; public procedure Shown; end;\r\n"
      "TOne = class(TBase) public procedure One; end;\r\n"
      "TTwo = class(TBase) public procedure Two; end;");
  const auto count = [](const std::string& text, const std::string& what) {
    size_t found = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
      ++found;
    }
    return found;
  };
  m.project.Scope = kScopePrivate;
  const std::string wide = m.build();
  m.project.Scope = kScopePublic;
  const std::string narrow = m.build();
  // Listed under TBase itself and under both descendants.
  EXPECT_EQ(3u, count(wide, "ITEM Method U.TBase.Hidden"));
  EXPECT_EQ(3u, count(wide, "ITEM Method U.TBase.Shown"));
  EXPECT_EQ(0u, count(narrow, "ITEM Method U.TBase.Hidden"));
  EXPECT_EQ(3u, count(narrow, "ITEM Method U.TBase.Shown"));
}

}  // namespace
}  // namespace holders
