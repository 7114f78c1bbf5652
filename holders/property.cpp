#include "holders/property.h"

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

THProperty::THProperty(THItem* owner) : THItem(owner) {}

THType* THProperty::OwnerType() const {
  THItem* parent = ParentItem();
  return parent != nullptr ? parent->AsType() : nullptr;
}

void THProperty::Parse(SourceReader& parser) {
  static constexpr TokenKinds kSemicolon{TokenKind::Semicolon};
  static constexpr TokenKinds kExtra{TokenKind::Abstract, TokenKind::Dynamic, TokenKind::Override,
                                     TokenKind::Virtual};
  THType* type = OwnerType();
  message(4, lang::BaseLang::kMsgParsingProperty,
          (type != nullptr ? type->TypeName : std::string()) + "." + PropertyName);
  SkipBlanks(parser);
  if (parser.Kind() == TokenKind::SquareOpen) {
    Parameters = ReadBracketed(parser, false);
    SkipBlanks(parser);
  }
  std::vector<THProperty*> further;
  if (parser.Kind() == TokenKind::Comma && type != nullptr) {
    // A field list such as "A, B, C: Integer".
    for (;;) {
      do {
        SkipBlanks(parser);
      } while (parser.Kind() != TokenKind::Identifier && !IsDirectiveWord(parser.Kind()) &&
               parser.Kind() != TokenKind::Null);
      if (parser.Kind() == TokenKind::Null) break;
      further.push_back(&type->AddProperty(parser.TokenView(), Comment, Scope));
      do {
        SkipBlanks(parser);
      } while (parser.Kind() != TokenKind::Comma && parser.Kind() != TokenKind::Colon &&
               parser.Kind() != TokenKind::Null);
      if (parser.Kind() != TokenKind::Comma) break;
    }
  }
  bool inlineRecord = false;
  if (parser.Kind() == TokenKind::Colon) {
    SkipBlanks(parser);
    PropertyType = parser.TokenText();
    inlineRecord = parser.Kind() == TokenKind::Record;
  }
  // The body of a field's inline record is the rest of its type; its "end"
  // is not the end of the enclosing body.
  Storage = readDeclarationRest(parser, inlineRecord ? 1 : 0);
  Extra = ReadList(parser, kSemicolon, kExtra);
  for (THProperty* member : further) {
    member->PropertyType = PropertyType;
    member->Storage = Storage;
    member->Extra = Extra;
  }
}

void THProperty::applyCommandWord(const std::string& word) {
  if (word == options().FirstLineEvent) IsEvent = true;
}

THItem* THProperty::FindItem(std::string_view name, bool caseSensitive) {
  // The type's search ends with the project's.
  if (THType* type = OwnerType()) return type->FindItem(name, caseSensitive);
  return THItem::FindItem(name, caseSensitive);
}

bool THProperty::IsDocumented() {
  if (!THItem::IsDocumented()) return false;
  return !(options().CommentsRequiredInProperties && Comment.empty());
}

void THProperty::InheritFromAncestor() {
  THType* type = OwnerType();
  if (type == nullptr) return;
  InheritFromAncestor(type->Ancestors());
}

void THProperty::InheritFromAncestor(const std::vector<THType*>& ancestors) {
  THType* ancestor = nullptr;
  for (THType* candidate : ancestors) {
    if (!candidate->Comment.empty()) {
      ancestor = candidate;
      break;
    }
  }
  if (ancestor == nullptr) return;
  auto* inherited = dynamic_cast<THProperty*>(ancestor->FindMember(PropertyName, false));
  if (inherited == nullptr) return;
  if (Comment.empty()) SetComment(inherited->Comment);
  // Only a bare redeclaration ("property Caption;") takes the type, the
  // parameters and the flags; one declared anew keeps its own.
  if (PropertyType.empty()) {
    IsEvent = IsEvent || inherited->IsEvent;
    IsField = inherited->IsField;
    if (Parameters.empty()) Parameters = inherited->Parameters;
    PropertyType = inherited->PropertyType;
  }
  if (Extra.empty()) Extra = inherited->Extra;
  if (Storage.empty()) Storage = inherited->Storage;
}

void THProperty::ResolveRedeclaredType() {
  if (!PropertyType.empty()) return;
  THType* type = OwnerType();
  if (type == nullptr) return;
  for (THType* ancestor : type->Ancestors()) {
    const auto* found = dynamic_cast<THProperty*>(ancestor->FindMember(PropertyName, false));
    if (found != nullptr && !found->PropertyType.empty()) {
      PropertyType = found->PropertyType;
      return;
    }
  }
}

std::string THProperty::JumpName() const {
  const THType* type = OwnerType();
  const std::string_view typeName = type != nullptr ? std::string_view(type->TypeName) : "";
  return joinName({"Property_", OwnerUnitName(), "_", typeName, "_", PropertyName});
}

std::string THProperty::BuildJump(std::string_view text) {
  return jumpPage(text, escaped(JumpName()));
}

std::string THProperty::DeclarationText() {
  const Options& opt = options();
  std::string text = esc(PropertyName);
  if (!Parameters.empty()) text += "[" + LinkParameterTypes(Parameters) + "]";
  ResolveRedeclaredType();
  std::string typeText;
  if (!PropertyType.empty()) {
    typeText = ": " + BuildRtfText(PropertyType, opt.LinkSearchInReturnType,
                                   opt.CasesensitiveInReturnType);
  }
  if (opt.ShowPropertyStorageMechanism) {
    typeText += " " + BuildRtfText(Storage, opt.LinkSearchInStorageMechanism,
                                   opt.CasesensitiveInStorageMechanism);
  }
  text += typeText + ";";
  if (opt.ShowPropertyExtra && !Extra.empty()) text += " " + esc(Extra);
  return text;
}

void THProperty::BuildTopic(PageSink& output) {
  const Options& opt = options();
  message(2, lang::BaseLang::kMsgBuildingPropertyTopic, PropertyName);
  const THType* type = OwnerType();
  const EscapedText unit = escaped(OwnerUnitName());
  const std::string typeName = esc(type != nullptr ? type->TypeName : std::string());
  const std::string name = esc(PropertyName);
  std::string declaration = DeclarationText();

  PooledPage propertyPage = page("PropertyPage");
  propertyPage.ReplaceTag("##TXTDeclaration##", escapedText(txt::TXT_Declaration), true);
  propertyPage.ReplaceTag("##TXTScope##", escapedText(txt::TXT_Scope), true);
  propertyPage.ReplaceTag("##TXTDescription##", escapedText(txt::TXT_Description), true);
  propertyPage.ReplaceTag("##UnitName##", unit, true);
  propertyPage.ReplaceTag("##TypeName##", typeName, true);
  propertyPage.ReplaceTag("##PropertyName##", name, true);
  propertyPage.ReplaceTag("##PropertyDeclaration##", std::move(declaration), true);
  propertyPage.ReplaceTag(
      "##PropertyDescription##",
      BuildRtfText(Comment, opt.LinkSearchInPropertyComment, opt.CasesensitiveInPropertyComment),
      true);
  propertyPage.ReplaceTag("##PropertyScope##", ScopeName(), true);
  propertyPage.ReplaceTag("##PropertyType##", IsEvent ? "event" : "prop", true);
  propertyPage.ReplaceTag("##PropertyAType##", IsEvent ? "Event" : "Property", true);

  if (Sample.empty()) {
    propertyPage.ReplaceTag("##SampleWord##", "", true);
  } else {
    const std::string area = typeName + "_" + name;
    const EscapedText sampleWord = escapedText(txt::SMP_Sample);
    PooledPage link = page("BannerSample");
    link.ReplaceTag("##JumpName##", sampleWord, true);
    link.ReplaceTag("##UnitName##", unit, true);
    link.ReplaceTag("##JumpArea##", area, true);
    propertyPage.ReplaceTag("##SampleWord##",
                            std::string(dialect().propertySampleLead()) + link.Text(), true);
    PooledPage samplePage = page("SamplePage");
    samplePage.ReplaceTag("##SampleWord##", sampleWord, true);
    samplePage.ReplaceTag("##UnitName##", unit, true);
    samplePage.ReplaceTag("##JumpArea##", area, true);
    samplePage.ReplaceTag("##JumpName##", typeName + "." + name, true);
    samplePage.ReplaceTag("##SampleText##", BuildSampleText(Sample), true);
    output.writeFilledPage(topicOf(output, TopicKind::Sample, *this), samplePage);
  }
  output.writeFilledPage(topicOf(output, TopicKind::Property, *this), propertyPage);
}

}  // namespace holders
