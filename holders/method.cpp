#include "holders/method.h"

#include "holders/dialect.h"
#include "holders/options.h"
#include "holders/page_writer.h"
#include "holders/type.h"
#include "holders/unit.h"
#include "lang/base_lang.h"
#include "lang/bldlang.h"
#include "platform/text.h"

namespace holders {
namespace txt = lang::bldlang;

std::string_view MethodKindWord(std::uint8_t kind) {
  switch (kind) {
    case kProcedure:
      return "procedure";
    case kClassProcedure:
      return "class procedure";
    case kFunction:
      return "function";
    case kClassFunction:
      return "class function";
    case kConstructor:
      return "constructor";
    case kDestructor:
      return "destructor";
    default:
      return {};
  }
}

THMethod::THMethod(THItem* owner) : THItem(owner) {}

THType* THMethod::OwnerType() const {
  THItem* parent = ParentItem();
  return parent != nullptr ? parent->AsType() : nullptr;
}

void THMethod::Parse(SourceReader& parser) {
  static constexpr TokenKinds kSemicolon{TokenKind::Semicolon};
  static constexpr TokenKinds kDirectives{TokenKind::Abstract, TokenKind::Dynamic,
                                          TokenKind::Forward, TokenKind::Override,
                                          TokenKind::Virtual};
  const THType* type = OwnerType();
  message(4, lang::BaseLang::kMsgParsingMethod,
          type != nullptr ? type->TypeName + "." + MethodName : MethodName);
  SkipBlanks(parser);
  if (parser.Kind() == TokenKind::Lower) {
    // The type parameters of a generic method ("From<T>(...)"); read past
    // them, the parameters would otherwise be taken for fields.
    ReadUntil(parser, TokenKinds{TokenKind::Greater, TokenKind::Semicolon});
    if (parser.Kind() == TokenKind::Greater) SkipBlanks(parser);
  }
  if (parser.Kind() == TokenKind::Colon) {
    ResultType = ReadUntil(parser, kSemicolon);
  } else if (parser.Kind() == TokenKind::RoundOpen) {
    Parameters = ReadBracketed(parser, true);
    SkipBlanks(parser);
    ResultType = ReadUntil(parser, kSemicolon);
  }
  const SourceReader::Mark afterHeader = parser.markNext();
  SkipBlanks(parser);
  std::string directives = ReadList(parser, kSemicolon, kDirectives);
  // Other directive words (overload, stdcall, message, ...) end the list and
  // are read by the caller.
  if (directives.empty()) parser.rewind(afterHeader);
  const size_t forward = platform::upperCase(directives).find("FORWARD;");
  if (forward != std::string::npos) directives.erase(forward, 8);
  Directives = platform::trim(directives);
}

THItem* THMethod::FindItem(std::string_view name, bool caseSensitive) {
  // The type's search ends with the project's.
  if (THType* type = OwnerType()) return type->FindItem(name, caseSensitive);
  return THItem::FindItem(name, caseSensitive);
}

bool THMethod::IsDocumented() {
  if (!THItem::IsDocumented()) return false;
  return !(options().CommentsRequiredInMethods && Comment.empty());
}

std::string THMethod::JumpName() const {
  const THType* type = OwnerType();
  if (type == nullptr) return joinName({"Method_", OwnerUnitName(), "_", MethodName});
  return joinName({"Method_", OwnerUnitName(), "_", type->TypeName, "_", MethodName});
}

std::string THMethod::BuildJump(std::string_view text) {
  return jumpPage(text, escaped(JumpName()));
}

std::string THMethod::DeclarationText() {
  const Options& opt = options();
  std::string text(MethodKindWord(MethodKind));
  text += ' ';
  dialect().appendEscaped(text, MethodName);
  if (!Parameters.empty()) text.append("(").append(LinkParameterTypes(Parameters)).append(")");
  if (!ResultType.empty()) {
    text.append(": ").append(
        BuildRtfText(ResultType, opt.LinkSearchInReturnType, opt.CasesensitiveInReturnType));
  }
  text += ';';
  if (opt.ShowMethodExtra && !Directives.empty()) {
    text += ' ';
    dialect().appendEscaped(text, Directives);
  }
  return text;
}

void THMethod::BuildTopic(PageSink& output) {
  const Options& opt = options();
  message(2, lang::BaseLang::kMsgBuildingMethodTopic, MethodName);
  const THType* type = OwnerType();
  const EscapedText unit = escaped(OwnerUnitName());
  const std::string name = esc(MethodName);
  const std::string typeName = type != nullptr ? esc(type->TypeName) : std::string();
  std::string declaration = DeclarationText();
  std::string description =
      BuildRtfText(Comment, opt.LinkSearchInMethodComment, opt.CasesensitiveInMethodComment);

  PooledPage methodPage = page("MethodPage");
  methodPage.ReplaceTag("##TXTScope##", escapedText(txt::TXT_Scope), true);
  methodPage.ReplaceTag("##TXTDeclaration##", escapedText(txt::TXT_Declaration), true);
  methodPage.ReplaceTag("##TXTDescription##", escapedText(txt::TXT_Description), true);
  methodPage.ReplaceTag("##UnitName##", unit, true);
  methodPage.ReplaceTag("##MethodName##", name, true);
  methodPage.ReplaceTag("##MethodDeclaration##", std::move(declaration), true);
  methodPage.ReplaceTag("##MethodScope##", ScopeName(), true);
  if (type != nullptr) {
    methodPage.ReplaceTag("##TypeName##", typeName, true);
    methodPage.ReplaceTag("##MethodArea##", typeName, true);
    methodPage.ReplaceTag("##MethodJumpName##", typeName + "_" + name, true);
    methodPage.ReplaceTag("##MethodFullName##", typeName + "." + name, true);
  } else {
    methodPage.ReplaceTag("##MethodArea##", "Method", true);
    methodPage.ReplaceTag("##MethodJumpName##", name, true);
    methodPage.ReplaceTag("##MethodFullName##", name, true);
  }
  methodPage.ReplaceTag("##MethodDescription##", std::move(description), true);

  std::string unitInsert;
  std::string typeJump;
  if (type == nullptr) {
    PooledPage insert = page("UnitInsert");
    insert.ReplaceTag("##TXTUnit##", escapedText(txt::TXT_Unit), true);
    insert.ReplaceTag("##UnitName##", unit, true);
    unitInsert = insert.Text();
  } else {
    PooledPage inType = page("MethodInType");
    inType.ReplaceTag("##UnitName##", unit, true);
    inType.ReplaceTag("##TypeName##", typeName, true);
    typeJump = inType.Text();
  }
  methodPage.ReplaceTag("##UnitInsert##", std::move(unitInsert), true);
  methodPage.ReplaceTag("##TypeJump##", std::move(typeJump), true);

  if (Sample.empty()) {
    methodPage.ReplaceTag("##SampleWord##", "", true);
  } else {
    const std::string area = type != nullptr ? typeName + "_" + name : name;
    writeSample(output, methodPage, area, type != nullptr ? typeName + "." + name : name);
  }
  output.writeFilledPage(topicOf(output, TopicKind::Method, *this), methodPage);
}

void THMethod::writeSample(PageSink& output, templates::TDocumentTemplate& methodPage,
                           const std::string& area, const std::string& fullName) {
  const EscapedText unit = escaped(OwnerUnitName());
  const EscapedText sampleWord = escapedText(txt::SMP_Sample);
  PooledPage link = page("BannerSample");
  link.ReplaceTag("##JumpName##", sampleWord, true);
  link.ReplaceTag("##UnitName##", unit, true);
  link.ReplaceTag("##JumpArea##", area, true);
  methodPage.ReplaceTag("##SampleWord##", link.Text(), true);
  PooledPage samplePage = page("SamplePage");
  samplePage.ReplaceTag("##SampleWord##", sampleWord, true);
  samplePage.ReplaceTag("##UnitName##", unit, true);
  samplePage.ReplaceTag("##JumpArea##", area, true);
  samplePage.ReplaceTag("##JumpName##", fullName, true);
  samplePage.ReplaceTag("##SampleText##", BuildSampleText(Sample), true);
  output.writeFilledPage(topicOf(output, TopicKind::Sample, *this), samplePage);
}

}  // namespace holders
