#include "holders/variable.h"

#include "holders/dialect.h"
#include "holders/options.h"
#include "holders/page_writer.h"
#include "holders/unit.h"
#include "lang/base_lang.h"
#include "lang/bldlang.h"
#include "platform/text.h"

namespace holders {
namespace txt = lang::bldlang;
// --- THConstant

THConstant::THConstant(THItem* owner) : THItem(owner) {}

void THConstant::Parse(SourceReader& parser) {
  message(4, lang::BaseLang::kMsgParsingConstant, ConstantName);
  SkipBlanks(parser);
  if (parser.Kind() == TokenKind::Colon)
    ConstType = ReadUntil(parser, TokenKinds{TokenKind::Equal, TokenKind::Implementation});
  Value = readDeclarationRest(parser);
}

bool THConstant::IsDocumented() {
  if (!THItem::IsDocumented()) return false;
  return !(options().CommentsRequiredInConstants && Comment.empty());
}

std::string THConstant::JumpName() const {
  return joinName({"Constant_", OwnerUnitName(), "_", ConstantName});
}

std::string THConstant::BuildJump(std::string_view text) {
  return jumpPage(text, escaped(JumpName()));
}

void THConstant::BuildTopic(PageSink& output) {
  const Options& opt = options();
  message(2, lang::BaseLang::kMsgBuildingConstantTopic, ConstantName);
  PooledPage constPage = page("ConstPage");
  constPage.ReplaceTag("##TXTUnit##", escapedText(txt::TXT_Unit), true);
  constPage.ReplaceTag("##TXTDeclaration##", escapedText(txt::TXT_Declaration), true);
  constPage.ReplaceTag("##TXTDescription##", escapedText(txt::TXT_Description), true);
  constPage.ReplaceTag("##TXTConstants##", escapedText(txt::CNT_Constants), true);
  constPage.ReplaceTag("##UnitName##", escaped(OwnerUnitName()), true);
  constPage.ReplaceTag("##ConstantName##", escaped(ConstantName), true);
  constPage.ReplaceTag("##ConstantType##",
                       ConstType.empty()
                           ? std::string()
                           : ": " + BuildRtfText(ConstType, opt.LinkSearchInReturnType,
                                                 opt.CasesensitiveInReturnType),
                       true);
  constPage.ReplaceTag(
      "##ConstantValue##",
      BuildRtfText(Value, opt.LinkSearchInConstantValue, opt.CasesensitiveInConstantValue) + ";",
      true);
  constPage.ReplaceTag(
      "##ConstantDescription##",
      BuildRtfText(Comment, opt.LinkSearchInConstantComment, opt.CasesensitiveInConstantComment),
      true);
  output.writeFilledPage(topicOf(output, TopicKind::Constant, *this), constPage);
}

// --- THVariable

THVariable::THVariable(THItem* owner) : THItem(owner) {}

void THVariable::Parse(SourceReader& parser) {
  message(4, lang::BaseLang::kMsgParsingVariable, VariableName);
  // Further names of a list such as "A, B, C: Integer". Only names count: a
  // list that runs into anything else is not read on in search of a colon.
  std::vector<THVariable*> further;
  THUnit* unit = dynamic_cast<THUnit*>(ParentItem());
  SkipBlanks(parser);
  while (parser.Kind() == TokenKind::Comma) {
    SkipBlanks(parser);
    if (parser.Kind() != TokenKind::Identifier && !IsDirectiveWord(parser.Kind())) break;
    if (unit != nullptr) {
      THVariable& variable = unit->AddVariable(parser.TokenView(), Comment);
      variable.Scope = Scope;
      further.push_back(&variable);
    }
    SkipBlanks(parser);
  }
  if (parser.Kind() != TokenKind::Colon) return;
  VarType = readDeclarationRest(parser);
  for (THVariable* variable : further) variable->VarType = VarType;
}

bool THVariable::IsDocumented() {
  if (!THItem::IsDocumented()) return false;
  return !(options().CommentsRequiredInVariables && Comment.empty());
}

std::string THVariable::JumpName() const {
  return joinName({"Variable_", OwnerUnitName(), "_", VariableName});
}

std::string THVariable::BuildJump(std::string_view text) {
  return jumpPage(text, escaped(JumpName()));
}

void THVariable::BuildTopic(PageSink& output) {
  const Options& opt = options();
  message(2, lang::BaseLang::kMsgBuildingVariableTopic, VariableName);
  const EscapedText unit = escaped(OwnerUnitName());
  const EscapedText name = escaped(VariableName);
  PooledPage varPage = page("VarPage");
  varPage.ReplaceTag("##UnitName##", unit, true);
  varPage.ReplaceTag("##TXTVariables##", escapedText(txt::CNT_Variables), true);
  varPage.ReplaceTag("##TXTUnit##", escapedText(txt::TXT_Unit), true);
  varPage.ReplaceTag("##TXTUnits##", escapedText(txt::CNT_Units), true);
  varPage.ReplaceTag("##TXTDeclaration##", escapedText(txt::TXT_Declaration), true);
  varPage.ReplaceTag("##TXTDescription##", escapedText(txt::TXT_Description), true);
  varPage.ReplaceTag("##VariableName##", name, true);
  varPage.ReplaceTag(
      "##VariableType##",
      BuildRtfText(VarType, opt.LinkSearchInReturnType, opt.CasesensitiveInReturnType), true);
  varPage.ReplaceTag(
      "##VariableDescription##",
      BuildRtfText(Comment, opt.LinkSearchInVariableComment, opt.CasesensitiveInVariableComment),
      true);
  if (Sample.empty()) {
    varPage.ReplaceTag("##SampleWord##", "", true);
  } else {
    const EscapedText sampleWord = escapedText(txt::SMP_Sample);
    PooledPage link = page("BannerSample");
    link.ReplaceTag("##JumpName##", sampleWord, true);
    link.ReplaceTag("##UnitName##", unit, true);
    link.ReplaceTag("##JumpArea##", name, true);
    varPage.ReplaceTag("##SampleWord##", link.Text() + std::string(dialect().variableSampleTail()),
                       true);
    PooledPage samplePage = page("SamplePage");
    samplePage.ReplaceTag("##SampleWord##", sampleWord, true);
    samplePage.ReplaceTag("##UnitName##", unit, true);
    samplePage.ReplaceTag("##JumpArea##", name, true);
    samplePage.ReplaceTag("##JumpName##", name, true);
    samplePage.ReplaceTag("##SampleText##", BuildSampleText(Sample), true);
    output.writeFilledPage(topicOf(output, TopicKind::Sample, *this), samplePage);
  }
  output.writeFilledPage(topicOf(output, TopicKind::Variable, *this), varPage);
}

}  // namespace holders
