// THType: reading the declaration, the member lists and lookups.
#include "holders/type.h"

#include <algorithm>
#include <unordered_set>

#include "holders/comment_text.h"
#include "holders/method.h"
#include "holders/options.h"
#include "holders/project.h"
#include "holders/property.h"
#include "holders/unit.h"
#include "lang/base_lang.h"
#include "platform/text.h"

namespace holders {

struct THType::MemberState {
  bool classMethod = false;
  bool propertyKeyword = false;
  std::string comment;
  std::string sample;
  std::uint8_t scope = kScopePublic;
};

namespace {

bool isVisibilityWord(TokenKind kind) {
  return kind == TokenKind::Private || kind == TokenKind::Protected || kind == TokenKind::Public ||
         kind == TokenKind::Published;
}

// A member name: an identifier or a directive word, followed by ":" or ","
// (a field) unless "property" came before it.
bool isMemberName(const SourceReader& parser, bool afterPropertyKeyword) {
  if (parser.Kind() != TokenKind::Identifier && !IsDirectiveWord(parser.Kind())) return false;
  if (afterPropertyKeyword) return true;
  const TokenKind next = parser.peekSignificant();
  return next == TokenKind::Colon || next == TokenKind::Comma;
}

// A type or constant declared in a nested section of a class body:
// "Inner = class ... end;", "Limit = 10;", "TList<T> = ...".
bool isNestedDeclaration(const SourceReader& parser, bool afterPropertyKeyword) {
  if (afterPropertyKeyword) return false;
  if (parser.Kind() != TokenKind::Identifier && !IsDirectiveWord(parser.Kind())) return false;
  const TokenKind next = parser.peekSignificant();
  return next == TokenKind::Equal || next == TokenKind::Lower;
}

// Tokens that open the member part of a class or record body. Besides names
// and visibility words, a body may start with a method, a property, a class
// method, a variant part or a nested section; those must not be passed over
// as header text.
bool startsMembers(const SourceReader& parser) {
  switch (parser.Kind()) {
    case TokenKind::Identifier:
      // "class sealed (TBase, IFoo)": the ancestors still follow. A field
      // named Sealed starts the members all the same.
      return platform::upperCase(parser.TokenView()) != "SEALED" || isMemberName(parser, false);
    case TokenKind::Procedure:
    case TokenKind::Function:
    case TokenKind::Constructor:
    case TokenKind::Destructor:
    case TokenKind::Property:
    case TokenKind::Class:
    case TokenKind::Case:
    case TokenKind::Const:
    case TokenKind::Var:
    case TokenKind::Type:
      return true;
    case TokenKind::Symbol:
      return parser.TokenView() == "&";  // an escaped name
    default:
      return isVisibilityWord(parser.Kind()) || isMemberName(parser, false);
  }
}

// The word of a body read like a class's: members up to "end", or a
// forward declaration. Empty for any other token.
std::string classLikeWord(const SourceReader& parser) {
  switch (parser.Kind()) {
    case TokenKind::Class:
      return "class";
    case TokenKind::Object:
      return "object";
    case TokenKind::Interface:
      return "interface";
    case TokenKind::Dispinterface:
      return "dispinterface";
    case TokenKind::Identifier: {
      // Free Pascal's Objective-C and C++ class kinds.
      const std::string word = platform::upperCase(parser.TokenView());
      for (const char* known : {"objcclass", "objcprotocol", "objccategory", "cppclass"}) {
        if (word == platform::upperCase(known)) return known;
      }
      return {};
    }
    default:
      return {};
  }
}

// "type helper for Integer" is read like a class: "helper" right after the
// word "type" that opens the right-hand side. After any other "type" (a
// distinct type such as "type Integer") the text is kept as it stands.
bool isTypeHelper(const SourceReader& parser, const std::string& aliasText) {
  return parser.Kind() == TokenKind::Identifier &&
         platform::sameText(platform::trim(aliasText), "type") &&
         platform::sameText(parser.TokenView(), "helper");
}

// A declaration of the interface ends where the interface does: a body or
// header that is never closed must not read the implementation part as its
// own.
bool endsInterface(TokenKind kind) {
  return kind == TokenKind::Null || kind == TokenKind::Implementation;
}

}  // namespace

THType::THType(THItem* owner) : THItem(owner) {
  Scope = kScopePublished;
}

void THType::Parse(SourceReader& parser) {
  message(4, lang::BaseLang::kMsgParsingType, TypeName);
  // "TList<T>=class": the end of the type parameters and the "=" make one
  // token.
  ReadUntil(parser,
            TokenKinds{TokenKind::Equal, TokenKind::GreaterEqual, TokenKind::Implementation});
  if (endsInterface(parser.Kind())) return;
  for (;;) {
    const TokenKind previous = parser.Kind();
    parser.Next();
    const TokenKind kind = parser.Kind();
    if (std::string word = classLikeWord(parser); !word.empty()) {
      TypeKind = kClassType;
      ClassWord = std::move(word);
      ParseMembers(parser);
    } else if (isTypeHelper(parser, AliasText)) {
      TypeKind = kClassType;
      ClassWord = "type helper";
      AliasText.clear();
      ParseMembers(parser);
    } else if (kind == TokenKind::Record) {
      TypeKind = kRecordType;
      ParseMembers(parser);
    } else if (kind == TokenKind::Procedure || kind == TokenKind::Function) {
      TypeKind = kind == TokenKind::Procedure ? kProcedureType : kFunctionType;
      ParseProcedural(parser);
    } else if (kind == TokenKind::Semicolon) {
      if (parser.RoundDepth() == 0) AliasText = JoinLines(AliasText);
    } else if (kind == TokenKind::Space) {
      if (!AliasText.empty() && previous != TokenKind::Space) AliasText += ' ';
    } else {
      AliasText += parser.TokenView();
    }
    if (parser.Kind() == TokenKind::Semicolon || endsInterface(parser.Kind())) break;
  }
}

void THType::ParseMembers(SourceReader& parser) {
  message(4, lang::BaseLang::kMsgParsingComplexType, TypeName);
  MemberState state;
  for (;;) {
    const SourceReader::Mark before = parser.markNext();
    parser.Next();
    const TokenKind kind = parser.Kind();
    if (endsInterface(kind) || kind == TokenKind::Semicolon) return;
    if (IsCommentToken(parser)) {
      // A comment before the first member is that member's, and a directive
      // there acts like anywhere else.
      ProcessComment(parser, parser.TokenView(), state.comment, state.sample);
      continue;
    }
    if (kind == TokenKind::Of) {
      TypeKind = kClassReference;
      AncestorName = ReadUntil(parser, TokenKinds{TokenKind::Semicolon, TokenKind::Implementation});
      return;
    }
    if (kind == TokenKind::RoundOpen) {
      AncestorName =
          ReadUntil(parser, TokenKinds{TokenKind::RoundClose, TokenKind::Implementation});
      if (endsInterface(parser.Kind())) return;
    } else if (startsMembers(parser)) {
      parser.rewind(before);
      break;
    }
  }
  for (;;) {
    parser.Next();
    const TokenKind kind = parser.Kind();
    if (kind == TokenKind::End || endsInterface(kind)) return;
    readMember(parser, kind, state);
    if (parser.Kind() == TokenKind::End || endsInterface(parser.Kind())) return;
  }
}

void THType::readMember(SourceReader& parser, TokenKind kind, MemberState& state) {
  switch (kind) {
    case TokenKind::AnsiComment:
    case TokenKind::BraceComment:
    case TokenKind::SlashComment:
      ProcessComment(parser, parser.TokenView(), state.comment, state.sample);
      break;
    case TokenKind::Case:
      // A record's variant part runs to the record's end.
      ReadUntil(parser, TokenKinds{TokenKind::End, TokenKind::Implementation});
      break;
    case TokenKind::Class:
      state.classMethod = true;
      break;
    case TokenKind::Procedure:
      addMethodMember(parser, state.classMethod ? kClassProcedure : kProcedure, state);
      break;
    case TokenKind::Function:
      addMethodMember(parser, state.classMethod ? kClassFunction : kFunction, state);
      break;
    case TokenKind::Constructor:
      addMethodMember(parser, kConstructor, state);
      break;
    case TokenKind::Destructor:
      addMethodMember(parser, kDestructor, state);
      break;
    case TokenKind::Property:
      state.propertyKeyword = true;
      break;
    case TokenKind::Private:
    case TokenKind::Protected:
    case TokenKind::Public:
    case TokenKind::Published:
      state.scope = kind == TokenKind::Private     ? kScopePrivate
                    : kind == TokenKind::Protected ? kScopeProtected
                    : kind == TokenKind::Public    ? kScopePublic
                                                   : kScopePublished;
      state.comment.clear();
      break;
    case TokenKind::Symbol:
      // "&end: Integer", "&END = 1001": a keyword made a name.
      if (TakeEscapedName(parser)) {
        const TokenKind next = parser.peekSignificant();
        if (!state.propertyKeyword && (next == TokenKind::Equal || next == TokenKind::Lower)) {
          skipNestedDeclaration(parser, state);
        } else if (state.propertyKeyword || next == TokenKind::Colon || next == TokenKind::Comma) {
          addPropertyMember(parser, state);
        }
      }
      break;
    default:
      // Words after a method header (overload, reintroduce, inline, the
      // message name) and "strict" are not fields.
      if (isNestedDeclaration(parser, state.propertyKeyword)) {
        skipNestedDeclaration(parser, state);
      } else if (isMemberName(parser, state.propertyKeyword)) {
        addPropertyMember(parser, state);
      }
      break;
  }
}

void THType::skipNestedDeclaration(SourceReader& parser, MemberState& state) {
  state.comment.clear();
  state.sample.clear();
  // Each level of nesting reads on the stack; past a depth no real code
  // reaches, the declaration's words are left to this body's loop.
  int depth = 0;
  for (THItem* item = this; item != nullptr && item->AsType() != nullptr;
       item = item->ParentItem()) {
    if (++depth >= kMaxNestedTypes) return;
  }
  // A type or constant declared inside the body is read whole, so that the
  // "end" of a nested class or record does not end this body, and dropped.
  THType nested(this);
  nested.TypeName = parser.TokenText();
  nested.Parse(parser);
}

void THType::addMethodMember(SourceReader& parser, std::uint8_t kind, MemberState& state) {
  SkipBlanks(parser);
  TakeEscapedName(parser);
  THMethod& method = AddMethod(parser.TokenView(), state.comment, state.scope);
  method.MethodKind = kind;
  method.Sample = state.sample;
  method.Parse(parser);
  state.comment.clear();
  state.sample.clear();
  state.classMethod = false;
}

void THType::addPropertyMember(SourceReader& parser, MemberState& state) {
  THProperty& member = AddProperty(parser.TokenView(), state.comment, state.scope);
  member.Sample = state.sample;
  member.Parse(parser);
  state.comment.clear();
  state.sample.clear();
  member.IsField = !state.propertyKeyword;
  if (state.propertyKeyword && platform::upperCase(member.PropertyName).starts_with("ON")) {
    member.IsEvent = true;
  }
  state.propertyKeyword = false;
}

void THType::ParseProcedural(SourceReader& parser) {
  SkipBlanks(parser);
  if (parser.Kind() == TokenKind::RoundOpen) Parameters = ReadBracketed(parser, true);
  if (TypeKind == kFunctionType) {
    ReadUntil(parser, TokenKinds{TokenKind::Colon, TokenKind::Implementation});
    if (endsInterface(parser.Kind())) return;
    SkipBlanks(parser);
    ResultType = parser.TokenText();
  }
  ReadUntil(parser, TokenKinds{TokenKind::Semicolon, TokenKind::Implementation});
}

THMethod& THType::AddMethod(std::string_view name, std::string_view comment, std::uint8_t scope) {
  THMethod& method = adopt(std::make_unique<THMethod>(this));
  Methods.add(name, &method);
  method.MethodName = std::string(name);
  method.Scope = scope;
  method.SetComment(comment);
  return method;
}

THProperty& THType::AddProperty(std::string_view name, std::string_view comment,
                                std::uint8_t scope) {
  THProperty& member = adopt(std::make_unique<THProperty>(this));
  Properties.add(name, &member);
  member.PropertyName = std::string(name);
  member.Scope = scope;
  member.SetComment(comment);
  return member;
}

void THType::applyCommandWord(const std::string& word) {
  const std::string& marker = options().FirstLineBitmap;
  if (!marker.empty() && word.starts_with(marker)) Bitmap = word.substr(marker.size());
}

// --- lookups

THMethod& THType::MethodAt(int index) const {
  return *static_cast<THMethod*>(Methods.at(index).item);
}

THProperty& THType::PropertyAt(int index) const {
  return *static_cast<THProperty*>(Properties.at(index).item);
}

THItem* THType::FindMember(std::string_view name, bool caseSensitive) const {
  if (THItem* method = Methods.find(name, caseSensitive)) return method;
  return Properties.find(name, caseSensitive);
}

THMethod* THType::FindMethod(std::string_view name, bool caseSensitive) const {
  return static_cast<THMethod*>(Methods.find(name, caseSensitive));
}

THItem* THType::FindItem(std::string_view name, bool caseSensitive) {
  if (TypeKind != kRecordType) {
    if (THItem* member = Properties.find(name, caseSensitive)) return member;
  }
  if (THItem* method = Methods.find(name, caseSensitive)) return method;
  return THItem::FindItem(name, caseSensitive);
}

bool THType::IsDocumented() {
  if (!THItem::IsDocumented()) return false;
  return !(options().CommentsRequiredInTypes && Comment.empty());
}

THType* THType::Ancestor() {
  // A build asks for ancestors by the hundred thousand, from every thread:
  // the answer is settled once before its threads start.
  const THProject* project = Project();
  if (settledFor_ != 0 && project != nullptr && project->Building() &&
      settledFor_ == project->BuildNumber()) {
    return settledAncestor_;
  }
  return lookUpAncestor();
}

void THType::SettleAncestor() {
  settledFor_ = 0;
  settledAncestor_ = lookUpAncestor();
  if (Project() != nullptr && Project()->Building()) settledFor_ = Project()->BuildNumber();
}

THType* THType::lookUpAncestor() {
  if (AncestorName.empty() || Project() == nullptr) return nullptr;
  const bool caseSensitive = options().CasesensitiveInClassInheritence;
  // The type's own unit comes first, as it does for the compiler: a type of
  // the same name in a unit added earlier (a record TLocation beside this
  // unit's class TLocation) must not take the place of the unit's own.
  // Only a class-like type is an ancestor: the members of a record or an
  // alias of the same name have no topics to list.
  const auto isAncestor = [this](const THType* type) {
    return type != nullptr && type != this && type->TypeKind == kClassType;
  };
  if (OwnerUnit() != nullptr) {
    THType* own = OwnerUnit()->FindType(AncestorName, caseSensitive);
    if (isAncestor(own)) return own;
  }
  THType* found = Project()->FindType(AncestorName, caseSensitive);
  return isAncestor(found) ? found : nullptr;
}

std::vector<THType*> THType::Ancestors() {
  // Real chains are a few types long, where looking through the chain finds
  // a cycle sooner than a set; a set takes over for longer ones.
  constexpr size_t kSearchedChain = 32;
  std::vector<THType*> chain;
  std::unordered_set<const THType*> seen;
  const auto seenBefore = [&](const THType* type) {
    if (type == this) return true;
    if (chain.size() < kSearchedChain)
      return std::find(chain.begin(), chain.end(), type) != chain.end();
    if (seen.empty()) seen.insert(chain.begin(), chain.end());
    return !seen.insert(type).second;
  };
  for (THType* type = Ancestor(); type != nullptr && !seenBefore(type); type = type->Ancestor()) {
    chain.push_back(type);
  }
  return chain;
}

int THType::countOwn(MemberGroup group) {
  int count = 0;
  const std::vector<NameEntry>& entries =
      group == MemberGroup::Methods ? Methods.entries() : Properties.entries();
  const bool events = group == MemberGroup::Events;
  forEachItem(entries, [&](THItem* member) {
    if (group != MemberGroup::Methods && static_cast<THProperty*>(member)->IsEvent != events) {
      return;
    }
    count += member->IsDocumented() ? 1 : 0;
  });
  return count;
}

int THType::countMembers(MemberGroup group, bool withInherited) {
  int count = countOwn(group);
  if (!withInherited) return count;
  for (THType* ancestor : Ancestors()) {
    if (!ancestor->IsDocumented()) break;
    count += ancestor->countOwn(group);
  }
  return count;
}

int THType::CountEvents(bool withInherited) {
  return countMembers(MemberGroup::Events, withInherited);
}

int THType::CountMethods(bool withInherited) {
  return countMembers(MemberGroup::Methods, withInherited);
}

int THType::CountProperties(bool withInherited) {
  return countMembers(MemberGroup::Properties, withInherited);
}

std::string THType::JumpName() const {
  return joinName({"Type_", OwnerUnitName(), "_", TypeName});
}

std::string THType::BuildJump(std::string_view text) {
  return jumpPage(text, escaped(JumpName()));
}

}  // namespace holders
