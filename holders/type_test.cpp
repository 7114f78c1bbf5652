// The type holder: declaration shapes, members, banners and member lists.
#include <gtest/gtest.h>

#include "holders/test_project.h"
#include "platform/text.h"

namespace holders {
namespace {

using testing::bars;
using testing::Model;

THType& typeIn(Model& m, std::string_view declarations, std::string_view name) {
  THUnit& unit = m.unit(std::string("unit U; interface type\r\n") + std::string(declarations));
  THType* type = unit.FindType(name, true);
  if (type == nullptr) throw std::runtime_error("no type " + std::string(name));
  return *type;
}

std::string memberNames(const THType& type) {
  std::string result;
  for (const NameEntry& entry : type.Properties.entries()) result += entry.name + " ";
  for (const NameEntry& entry : type.Methods.entries()) result += entry.name + "() ";
  return result;
}

TEST(TypeDeclaration, EveryKindHasItsShape) {
  struct Row {
    const char* source;
    int kind;
    const char* declaration;
    const char* why;
  };
  const Row rows[] = {
      {"TX = class;", kClassType, "type TX = class;", "forward class"},
      {"TX = class(TBar, IBaz) end;", kClassType, "type TX = class(TBar, IBaz);",
       "ancestor list kept as one text"},
      {"TX = class of TFoo;", kClassReference, "type TX = class of TFoo;", "class reference"},
      {"TX = procedure(Sender: TObject) of object;", kProcedureType,
       "type TX = procedure(Sender: TObject);", "procedure type without 'of object'"},
      {"TX = procedure;", kProcedureType, "type TX = procedure;", "no parameters"},
      {"TX = function(A: Integer): string;", kFunctionType,
       "type TX = function(A: Integer): string;", "function type"},
      {"TX = function: Boolean of object;", kFunctionType, "type TX = function: Boolean;",
       "function type without parameters"},
      {"TX = (clRed,   clGreen,\r\n    clBlue);", kOtherType,
       "type TX = (clRed, clGreen,  clBlue);", "blanks collapse, a line break adds one"},
      {"TX = record A, B: Integer; case Byte of 0: (C: Byte); end;", kRecordType,
       "type TX = record \\par|{\\plain\\fs16\\tab }A: Integer;\\par "
       "{\\plain\\fs16\\tab }B: Integer;\\par end;\\par ",
       "record fields in order, variant part left out"},
      {"TX = {x} Byte;", kOtherType, "type TX = \\{x\\} Byte;",
       "comments in an alias are kept as text"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Model m;
    options().LinkSearchInClassInheritence = false;
    THType& type = typeIn(m, row.source, "TX");
    EXPECT_EQ(type.TypeKind, row.kind);
    EXPECT_EQ(bars(type.DeclarationText()), row.declaration);
  }
}

TEST(TypeDeclaration, AncestorsAndResultTypesAreLinked) {
  Model m;
  THType& type = typeIn(m,
                        "TBar = class end; TFoo = class(TBar) end; TRef = class of TBar;\r\n"
                        "TFn = function: TBar;",
                        "TFoo");
  EXPECT_EQ(bars(type.DeclarationText()), "type TFoo = class([TBar>Type_U_TBar]);");
  EXPECT_EQ(type.Ancestor(), type.OwnerUnit()->FindType("TBar", true));
  EXPECT_EQ(bars(type.OwnerUnit()->FindType("TRef", true)->DeclarationText()),
            "type TRef = class of [TBar>Type_U_TBar];");
  EXPECT_EQ(bars(type.OwnerUnit()->FindType("TFn", true)->DeclarationText()),
            "type TFn = function: [TBar>Type_U_TBar];");
}

TEST(TypeMembers, FieldsNeedAColonOrComma) {
  Model m;
  THType& type = typeIn(m,
                        "TX = class\r\n"
                        "  procedure A; overload; reintroduce;\r\n"
                        "  strict private FValue, FOther: Integer;\r\n"
                        "  procedure WMPaint(var Msg); message WM_PAINT;\r\n"
                        "  function Get: Integer; inline;\r\n"
                        "  property Index: Integer read FValue; default;\r\n"
                        "  class function Make: TX; virtual; abstract;\r\n"
                        "end;",
                        "TX");
  EXPECT_EQ(memberNames(type), "FValue FOther Index A() Get() Make() WMPaint() ");
  const THMethod& make = *type.FindMethod("Make", true);
  EXPECT_EQ(make.MethodKind, kClassFunction);
  EXPECT_EQ(make.Directives, "virtual; abstract;");
  EXPECT_EQ(type.FindMember("FValue", true)->Scope, kScopePrivate);
}

TEST(TypeMembers, TheFirstMemberKeepsItsCommentWithoutAVisibilityWord) {
  Model m;
  THType& type = typeIn(m,
                        "TX = class\r\n"
                        "  // Creates it.\r\n"
                        "  constructor Create;\r\n"
                        "{$IFDEF NEVER} FSkipped: Integer; {$ENDIF}\r\n"
                        "end;",
                        "TX");
  EXPECT_EQ(memberNames(type), "Create() ");
  EXPECT_EQ(type.FindMethod("Create", true)->Comment, "Creates it.");
}

TEST(TypeMembers, EventsByNameOnlyForProperties) {
  Model m;
  THType& type = typeIn(m,
                        "TX = class\r\n"
                        "public\r\n"
                        "  OnField: Integer;\r\n"
                        "  property OnClick: TNotifyEvent read FOnClick;\r\n"
                        "  property Online: Boolean read F;\r\n"
                        "end;",
                        "TX");
  EXPECT_FALSE(static_cast<THProperty*>(type.FindMember("OnField", true))->IsEvent);
  EXPECT_TRUE(static_cast<THProperty*>(type.FindMember("OnClick", true))->IsEvent);
  EXPECT_TRUE(static_cast<THProperty*>(type.FindMember("Online", true))->IsEvent)
      << "any property name beginning with ON";
  EXPECT_TRUE(static_cast<THProperty*>(type.FindMember("OnField", true))->IsField);
}

TEST(TypeMembers, AnOverloadDeclaredLaterTakesTheNamesPlace) {
  Model m;
  THType& type = typeIn(m,
                        "TX = class\r\n"
                        "  { First. } procedure Add(A: Integer); overload;\r\n"
                        "  { Second. } procedure Add(A: string); overload;\r\n"
                        "end;",
                        "TX");
  ASSERT_EQ(type.MethodCount(), 1);
  EXPECT_EQ(type.MethodAt(0).Comment, "Second.");
  EXPECT_EQ(type.CountMethods(false), 1);
}

constexpr const char* kHierarchy =
    "{ Base class. } TBase = class\r\n"
    "public\r\n"
    "  procedure Paint; virtual;\r\n"
    "  property Caption: string read FCaption;\r\n"
    "  property OnClick: TNotifyEvent read FOnClick;\r\n"
    "end;\r\n"
    "{ Derived class. } TDerived = class(TBase)\r\n"
    "public\r\n"
    "  procedure Paint; override;\r\n"
    "  procedure Resize;\r\n"
    "  property Width: Integer read FWidth;\r\n"
    "  property Caption;\r\n"
    "end;\r\n";

// The lines of the pages of one topic kind, joined.
std::string pageText(const MemoryPageSink& sink, TopicKind kind) {
  std::string text;
  for (const auto& written : sink.pages()) {
    if (written.topic.kind == kind) text += bars(platform::joinLinesCrLf(written.lines));
  }
  return text;
}

TEST(MemberLists, GroupInheritedMembersAndListARedeclaredPropertyOnce) {
  Model m;
  THType& derived = typeIn(m, kHierarchy, "TDerived");
  EXPECT_EQ(derived.CountProperties(true), 3);
  EXPECT_EQ(derived.CountMethods(true), 3);
  EXPECT_EQ(derived.CountEvents(true), 1);
  EXPECT_EQ(derived.CountEvents(false), 0);
  MemoryPageSink sink;
  derived.BuildTopic(sink);
  EXPECT_EQ(pageText(sink, TopicKind::PropertiesList),
            "PLIST U.TDerived Properties|LOCAL In U.TDerived|"
            "ITEM Property U.TDerived.Caption|ITEM Property U.TDerived.Width||");
  EXPECT_EQ(
      pageText(sink, TopicKind::MethodsList),
      "MLIST U.TDerived Methods|LOCAL In U.TDerived|ITEM Method U.TDerived.Paint|"
      "ITEM Method U.TDerived.Resize|REMOTE Derived from U.TBase|ITEM Method U.TBase.Paint||");
  EXPECT_EQ(pageText(sink, TopicKind::EventsList),
            "ELIST U.TDerived Events|REMOTE Derived from U.TBase|ITEM Property U.TBase.OnClick||");
  EXPECT_EQ(m.project.messagesAt(3), (std::vector<std::string>{"Building properties list:TDerived",
                                                               "Building methods list:TDerived",
                                                               "Building events list:TDerived"}));
}

TEST(MemberLists, InheritedOptionsLimitListsAndBanners) {
  Model m;
  options().ShowInheritedEvents = false;
  THType& derived = typeIn(m, kHierarchy, "TDerived");
  MemoryPageSink sink;
  derived.BuildTopic(sink);
  EXPECT_EQ(pageText(sink, TopicKind::EventsList), "") << "no own events: no list";
  EXPECT_EQ(pageText(sink, TopicKind::Type),
            "TYPE U.TDerived Unit Types |Declaration type TDerived = class([TBase>Type_U_TBase]);|"
            "Description Derived class.|BANNER POP U_TDerived_Properties Properties|\\tab "
            "|POP U_TDerived_Methods Methods|\\tab ||||");
}

TEST(TypeTopic, WritesSampleTypePageListsThenMemberTopicsInNameOrder) {
  Model m;
  THType& derived = typeIn(m,
                           "{ Shape.\r\n #SAMPLE\r\n  X := TShape.Create; }\r\n"
                           "TShape = class public procedure Zap; procedure Add;\r\n"
                           "  property Zeta: Integer read F; property Alpha: Integer read F;\r\n"
                           "  property OnGo: TNotify read F; end;",
                           "TShape");
  MemoryPageSink sink;
  derived.BuildTopic(sink);
  std::vector<std::string> topics;
  for (const auto& written : sink.pages()) {
    topics.push_back(std::to_string(static_cast<int>(written.topic.kind)) + ":" + written.topic.id);
  }
  const std::vector<std::string> expected = {
      "11:Type_U_TShape",         "3:Type_U_TShape",          "4:Type_U_TShape",
      "5:Type_U_TShape",          "6:Type_U_TShape",          "8:Property_U_TShape_Alpha",
      "8:Property_U_TShape_OnGo", "8:Property_U_TShape_Zeta", "7:Method_U_TShape_Add",
      "7:Method_U_TShape_Zap"};
  EXPECT_EQ(topics, expected);
  EXPECT_EQ(pageText(sink, TopicKind::Sample),
            "SAMPLE U_TShape TShape Sample|X := TShape.Create;\\line |");
}

TEST(TypeTopic, OnlyClassesGetMemberListLinksInTheirBanner) {
  Model m;
  m.unit(std::string("unit U; interface type\r\n") + kHierarchy +
         "TRec = record A: Integer; end;\r\nTRef = class of TDerived;\r\n");
  THUnit& unit = *m.project.UnitAt(0);
  for (const char* name : {"TRec", "TRef"}) {
    SCOPED_TRACE(name);
    THType& type = *unit.FindType(name, true);
    EXPECT_GT(type.CountProperties(true), 0) << "the counts still see the members";
    MemoryPageSink sink;
    type.BuildTopic(sink);
    ASSERT_EQ(sink.pages().size(), 1u) << "no list or member topics";
    EXPECT_NE(pageText(sink, TopicKind::Type).find("BANNER |||"), std::string::npos);
  }
}

TEST(TypeTopic, CommentsRequiredAndBitmap) {
  Model m;
  options().CommentsRequiredInTypes = true;
  THUnit& unit =
      m.unit("unit U; interface type TBare = Byte; {! #BITMAP:pic.bmp ! Told.} TTold = Byte;");
  EXPECT_FALSE(unit.FindType("TBare", true)->IsDocumented());
  THType& told = *unit.FindType("TTold", true);
  ASSERT_TRUE(told.IsDocumented());
  MemoryPageSink sink;
  told.BuildTopic(sink);
  EXPECT_EQ(pageText(sink, TopicKind::Type).substr(0, 43),
            "TYPE U.TTold Unit Types \\{bmcwd PIC.BMP\\} |");
}

TEST(AncestorCycles, EveryWalkStops) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface type\r\n"
      "TA = class(TB) public property P: Integer read F; property Q; procedure M; end;\r\n"
      "TB = class(TA) public property P: Integer read F; procedure M; end;\r\n"
      "TSelf = class(TSelf) public property R; end;\r\n");
  THType& a = *unit.FindType("TA", true);
  EXPECT_EQ(a.Ancestors().size(), 1u);
  EXPECT_EQ(a.CountProperties(true), 3);
  EXPECT_EQ(a.CountMethods(true), 2);
  const std::string built = m.build();
  EXPECT_NE(built.find("ITEM Method U.TB.M"), std::string::npos);
  EXPECT_NE(built.find("R;"), std::string::npos) << "redeclared type lookup ends";
}

TEST(AncestorCycles, ALongChainEndsWhereItMeetsItself) {
  // Forty classes, each the ancestor of the one before, the last one's
  // ancestor the sixth: the walk from the first lists the other 39 once.
  std::string text = "unit U; interface type\r\n";
  for (int i = 0; i < 40; ++i) {
    const int ancestor = i + 1 < 40 ? i + 1 : 5;
    text += "T" + std::to_string(i) + " = class(T" + std::to_string(ancestor) +
            ") public procedure M" + std::to_string(i) + "; end;\r\n";
  }
  Model m;
  THUnit& unit = m.unit(text);
  const std::vector<THType*> chain = unit.FindType("T0", true)->Ancestors();
  ASSERT_EQ(chain.size(), 39u);
  EXPECT_EQ(chain.front(), unit.FindType("T1", true));
  EXPECT_EQ(chain.back(), unit.FindType("T39", true));
  EXPECT_EQ(unit.FindType("T0", true)->CountMethods(true), 40);
  EXPECT_NE(m.build().find("ITEM Method U.T39.M39"), std::string::npos);
}

TEST(Ancestors, AreLookedUpAnewForEachBuild) {
  // A build looks each ancestor up once; one added to the model after a
  // build counts in the next.
  Model m;
  m.project.BuildThreads = 1;
  m.unit("unit A; interface type TChild = class(TBase) public procedure Own; end;", "A");
  const auto listed = [](const std::string& text) {
    size_t found = 0;
    for (size_t at = text.find("ITEM Method B.TBase.Handed"); at != std::string::npos;
         at = text.find("ITEM Method B.TBase.Handed", at + 1)) {
      ++found;
    }
    return found;
  };
  EXPECT_EQ(listed(m.build()), 0u);
  m.unit("unit B; interface type TBase = class public procedure Handed; end;", "B");
  EXPECT_EQ(listed(m.build()), 2u) << "under TBase and under TChild";
  EXPECT_EQ(m.project.FindType("TChild", true)->Ancestor(), m.project.FindType("TBase", true));
}

}  // namespace
}  // namespace holders
