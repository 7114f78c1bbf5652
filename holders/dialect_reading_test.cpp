// The reader on code written for Free Pascal and later Delphi: words in a
// section that name nothing, class-like bodies other than "class", nested
// declarations, generics, escaped names, "$IF" conditionals, dotted unit
// names, and the unit's own types as ancestors. None of it may give a holder
// a name that is not an identifier, nor let a declaration swallow the ones
// after it.
#include <gtest/gtest.h>

#include "holders/test_project.h"

namespace holders {
namespace {

using testing::Model;

template <class List>
std::string names(const List& list) {
  std::string result;
  for (const NameEntry& entry : list.entries()) result += (result.empty() ? "" : ",") + entry.name;
  return result;
}

// Every name list of the unit, as "types|constants|variables|routines".
std::string allNames(const THUnit& unit) {
  return names(unit.Types) + "|" + names(unit.Constants) + "|" + names(unit.Variables) + "|" +
         names(unit.Routines);
}

TEST(DialectReading, WordsInASectionThatNameNothingMakeNoHolder) {
  struct Row {
    const char* source;
    const char* expected;
    const char* why;
  };
  const Row rows[] = {
      {"var x: cint; cvar; external;\r\n  y: Integer;", "||x,y|",
       "directives after a variable are no names"},
      {"var x: cint; external 'c' name 'x';\r\n  y: Integer;", "||x,y|",
       "nor is an external clause"},
      {"var f: function :PChar;extdecl;\r\n  g: function (a: Integer):Integer;extdecl;", "||f,g|",
       "a calling-convention macro after a procedural variable"},
      {"var p: procedure(a: Integer; b: Integer); cdecl;\r\n  q: Byte;", "||p,q|",
       "the semicolon between parameters does not end the variable"},
      {"var X: record A, B: Integer; end;\r\n  Y: Byte;", "||X,Y|",
       "the fields of an inline record are no variables"},
      {"var a, b c: Integer;\r\ntype TNext = Byte;", "TNext||a,b|",
       "a name list that runs into anything else is not read on"},
      {"type generic TList<T> = class end;\r\n  TInts = specialize TList<Integer>;",
       "TInts,TList|||",
       "a generic type is named by its identifier, the word generic names nothing"},
      {"type TMap<K, V> = class end;", "TMap|||", "a Delphi generic"},
      {"type {$IFNDEF NOPE} TLarge {$ELSE} TLargeX {$ENDIF} = class procedure Run; end;",
       "TLarge|||", "a directive between a name and its '=' is acted on, not looked past"},
      {"const A = 1; Unused; B: Integer = 2;", "|A,B||", "a constant name is followed by = or :"},
      {"const &End = 1; var &Type: Integer;", "|End|Type|", "an escaped keyword is a name"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Model m;
    const THUnit& unit =
        m.unit(std::string("unit U; interface\r\n") + row.source + "\r\nimplementation\r\nend.");
    EXPECT_EQ(allNames(unit), row.expected);
  }
}

TEST(DialectReading, AProceduralVariableKeepsItsWholeType) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface var Done: procedure(A: Integer; B: Integer); cdecl;\r\n"
      "  X, Y: function(C: Byte; D: Byte): Integer;");
  const auto varType = [&](const char* name) {
    return static_cast<THVariable*>(unit.Variables.find(name, true))->VarType;
  };
  EXPECT_EQ(varType("Done"), "procedure(A: Integer; B: Integer)");
  EXPECT_EQ(varType("X"), "function(C: Byte; D: Byte): Integer");
  EXPECT_EQ(varType("Y"), "function(C: Byte; D: Byte): Integer");
}

TEST(DialectReading, ClassLikeBodiesKeepTheirMembers) {
  struct Row {
    const char* source;  // declares T, then the routine After
    const char* classWord;
    const char* methods;
    const char* properties;
    const char* why;
  };
  const Row rows[] = {
      {"T = object(TBase) Field: Integer; procedure Draw; virtual; end;", "object", "Draw", "Field",
       "an old-style object"},
      {"T = interface(IUnknown) ['{00000000-0000-0000-0000-000000000001}']\r\n"
       "  function Get: Integer; procedure Put(A: Integer); end;",
       "interface", "Get,Put", "", "an interface with a GUID"},
      {"T = type helper for AnsiString private function GetLength: SizeInt;\r\n"
       "  public property Length: SizeInt read GetLength; end;",
       "type helper", "GetLength", "Length", "a type helper"},
      {"T = objcclass external (NSObject)\r\n  function init: id; message 'init';\r\nend;",
       "objcclass", "init", "", "an Objective-C class"},
      {"T = class external 'java.lang' name 'Object' (JLObject)\r\n"
       "  public type Inner = class; Arr = array of Inner;\r\n"
       "    Inner = class external 'java.lang' name 'Inner' procedure Hidden; end;\r\n"
       "  public const Limit = 10; Name = 'x';\r\n"
       "  public procedure Shown; end;",
       "class", "Shown", "", "nested types and constants do not end the body"},
      {"T = class sealed external 'a' name 'b' (JLObject, IFoo, IBar.Inner) procedure Run; end;",
       "class", "Run", "", "the ancestors after sealed are no fields"},
      {"T = class Sealed: Boolean; end;", "class", "", "Sealed", "a field named Sealed"},
      {"T = class\r\n"
       "  generic class procedure From<T>(const A: T; var B: array of Byte; C: Integer = 0); "
       "static;\r\n"
       "  generic class function Into<T>(const A: array of Byte): T; static;\r\nend;",
       "class", "From,Into", "", "the parameters of a generic method are no fields"},
      {"T = class procedure &end(); procedure &set(A: Integer); overload; end;", "class", "end,set",
       "", "an escaped keyword names a method"},
      {"T = class const &END = 1001; var &type: Integer; procedure Run; end;", "class", "Run",
       "type", "or a constant, dropped, or a field"},
      {"generic T<K, V>=class type PV=^V; var F: K; function MoveNext: Boolean; end;", "class",
       "MoveNext", "F", "'>=' ends the type parameters and stands for the '='"},
      {"T = class FValue: record case Integer of 0: (P: Pointer); 1: (I: Integer); end;\r\n"
       "  FPacked: packed record A: Byte; B: Byte; end; procedure Run; end;",
       "class", "Run", "FValue,FPacked", "an inline record field ends with its own end"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Model m;
    THUnit& unit = m.unit(std::string("unit U; interface type\r\n") + row.source +
                          "\r\nprocedure After;\r\nimplementation\r\nend.");
    EXPECT_EQ(allNames(unit), "T|||After");
    const THType* type = unit.FindType("T", true);
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->TypeKind, kClassType);
    EXPECT_EQ(type->ClassWord, row.classWord);
    EXPECT_EQ(names(type->Methods), row.methods);
    EXPECT_EQ(names(type->Properties), row.properties);
  }
}

TEST(DialectReading, AClassLikeDeclarationShowsItsOwnWord) {
  Model m;
  THUnit& unit = m.unit("unit U; interface type TView = object(TBase) X: Integer; end;");
  EXPECT_EQ(unit.FindType("TView", true)->DeclarationText(), "type TView = object(TBase);");
}

TEST(DialectReading, ADistinctTypeIsNoHelper) {
  Model m;
  THUnit& unit = m.unit("unit U; interface type TCount = type Integer; THelper = type helper;");
  EXPECT_EQ(unit.FindType("TCount", true)->AliasText, "type Integer");
  EXPECT_EQ(unit.FindType("TCount", true)->TypeKind, kOtherType);
  EXPECT_EQ(unit.FindType("THelper", true)->TypeKind, kClassType) << "a forward helper";
}

TEST(DialectReading, EscapedRoutineNamesAreTheirWords) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface type TJ = class procedure &end; end;\r\n"
      "procedure &type(A: Integer);\r\n"
      "implementation\r\n"
      "{ Ends. } procedure TJ.&end; begin end;\r\n"
      "end.");
  EXPECT_EQ(names(unit.Routines), "type");
  EXPECT_EQ(unit.FindRoutine("type", true)->Parameters, "A: Integer");
  EXPECT_EQ(unit.FindType("TJ", true)->FindMethod("end", true)->Comment, "Ends.");
}

TEST(DialectReading, AnUnclosedDeclarationEndsWithTheInterface) {
  struct Row {
    const char* source;
    const char* expected;
    const char* why;
  };
  const Row rows[] = {
      {"type TBroken = class procedure A;", "TBroken|||", "a class body without end"},
      {"type TBroken = record A: Integer;", "TBroken|||", "a record body without end"},
      {"type TBroken = class(TBase", "TBroken|||", "an ancestor list without ')'"},
      {"type TBroken = (A, B", "TBroken|||", "an alias without ';'"},
      {"var X: Integer", "||X|", "a variable without ';'"},
      {"const C: Integer", "|C||", "a typed constant without '='"},
      {"const C = 1", "|C||", "a constant without ';'"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Model m;
    const THUnit& unit = m.unit(std::string("unit U; interface ") + row.source +
                                "\r\nimplementation\r\n"
                                "const Local = 1; procedure Later; begin end;\r\nend.");
    EXPECT_EQ(allNames(unit), row.expected);
    EXPECT_TRUE(unit.InImplementation);
  }
}

TEST(DialectReading, IfConditionalsReadTheirFirstBranchAndStayBalanced) {
  struct Row {
    const char* source;  // a const section
    const char* constants;
    const char* why;
  };
  const Row rows[] = {
      {"{$IF A > 1} X = 1; {$ELSE} Y = 1; {$ENDIF} Z = 1;", "X,Z",
       "the condition is unknown: the first branch is read"},
      {"{$IF A} X = 1; {$ELSEIF B} Y = 1; {$ELSEIF C} V = 1; {$ELSE} W = 1; {$IFEND} Z = 1;", "X,Z",
       "the branches after a taken one are skipped up to $IFEND"},
      {"{$IFDEF NOPE} {$IF A} P = 1; {$ELSE} Q = 1; {$ENDIF} R = 1; {$ENDIF} Z = 1;", "Z",
       "an $IF inside a skipped block opens a block of its own"},
      {"{$IFDEF NOPE} {$IF A} P = 1; {$IFEND} R = 1; {$ENDIF} Z = 1;", "Z", "and $IFEND closes it"},
      {"{$IFDEF NOPE} {$IFOPT R+} P = 1; {$ENDIF} R = 1; {$ENDIF} Z = 1;", "Z", "so does $IFOPT"},
      {"{$IFDEF NOPE} X = 1; {$ELSEIF B} Y = 1; {$ELSE} W = 1; {$ENDIF} Z = 1;", "Y,Z",
       "an $ELSEIF after a branch not taken is read"},
      {"{$IFDEF FPC} X = 1; {$ELSEIF B} Y = 1; {$ENDIF} Z = 1;", "X,Z",
       "an $ELSEIF after a taken branch is skipped"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Model m;
    m.project.AddDefine("FPC");
    const THUnit& unit =
        m.unit(std::string("unit U; interface const ") + row.source + "\r\nimplementation\r\nend.");
    EXPECT_EQ(names(unit.Constants), row.constants);
  }
}

TEST(DialectReading, IfDirectivesAreNoDescriptionText) {
  Model m;
  THUnit& unit = m.unit(
      "unit U; interface const\r\n"
      "{ First. }\r\n{$IF defined(FPC)} X = 1; {$IFEND}\r\n"
      "{$IF A} { Second. } {$ELSEIF B} { Third. } {$IFEND} Y = 2;");
  EXPECT_EQ(unit.Constants.find("X", true)->Comment, "First.");
  EXPECT_EQ(unit.Constants.find("Y", true)->Comment, "Second.");
}

TEST(DialectReading, UnitNamesKeepTheirDotsAndIncludedHeadingsRenameNothing) {
  Model m;
  EXPECT_EQ(m.unit("unit System.Classes; interface", "A").UnitName, "System.Classes");
  EXPECT_EQ(m.unit("unit Vcl . Forms ; interface", "B").UnitName, "Vcl.Forms");
  EXPECT_EQ(m.unit("{ Main. } unit Main; interface\r\n{ Other. } unit Other;", "C").UnitName,
            "Main");
  EXPECT_EQ(m.project.UnitAt(2)->Comment, "Main.");
}

TEST(DialectReading, AncestorsAreClassesOfTheTypesOwnUnitFirst) {
  Model m;
  m.unit(
      "unit Earlier; interface type\r\n"
      "  TLocation = record Line: Integer; end;\r\n"
      "  TRecordOnly = record Field: Integer; end;\r\n"
      "  TBase = class X: Integer; end;",
      "Earlier");
  THUnit& own = m.unit(
      "unit Own; interface type\r\n"
      "  TLocation = class Y: Integer; end;\r\n"
      "  TPlace = class(TLocation) end;\r\n"
      "  TOdd = class(TRecordOnly) end;\r\n"
      "  TDerived = class(TBase) end;",
      "Own");
  EXPECT_EQ(own.FindType("TPlace", true)->Ancestor(), own.FindType("TLocation", true))
      << "the own unit's class, not the earlier unit's record";
  EXPECT_EQ(own.FindType("TOdd", true)->Ancestor(), nullptr)
      << "a record has no member topics to inherit";
  EXPECT_EQ(own.FindType("TDerived", true)->Ancestor(), m.project.FindType("TBase", true))
      << "other units are still searched";
}

}  // namespace
}  // namespace holders
