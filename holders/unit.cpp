// THUnit: reading a unit's source.
#include "holders/unit.h"

#include "holders/method.h"
#include "holders/type.h"
#include "holders/variable.h"

namespace holders {

bool IsDirectiveWord(TokenKind kind) {
  switch (kind) {
    case TokenKind::Absolute:
    case TokenKind::Abstract:
    case TokenKind::Assembler:
    case TokenKind::Cdecl:
    case TokenKind::Default:
    case TokenKind::Dispid:
    case TokenKind::Dynamic:
    case TokenKind::Export:
    case TokenKind::External:
    case TokenKind::Far:
    case TokenKind::Forward:
    case TokenKind::Index:
    case TokenKind::Message:
    case TokenKind::Name:
    case TokenKind::Near:
    case TokenKind::Nodefault:
    case TokenKind::Out:
    case TokenKind::Override:
    case TokenKind::Pascal:
    case TokenKind::Read:
    case TokenKind::Readonly:
    case TokenKind::Register:
    case TokenKind::Resident:
    case TokenKind::Safecall:
    case TokenKind::Stdcall:
    case TokenKind::Stored:
    case TokenKind::Virtual:
    case TokenKind::Write:
    case TokenKind::Writeonly:
      return true;
    default:
      return false;
  }
}

bool IsDeclarationName(const SourceReader& parser, const TokenKinds& follows) {
  if (parser.Kind() != TokenKind::Identifier && !IsDirectiveWord(parser.Kind())) return false;
  // "A {$IFDEF X} B {$ELSE} C {$ENDIF} = 1": reading the declaration acts on
  // the directives. A directive word before a directive is taken for what it
  // mostly is ("external {$IFDEF X} name 'x' {$ENDIF}").
  const TokenKind next = parser.peekSignificant(true);
  if (next == TokenKind::BraceComment) return parser.Kind() == TokenKind::Identifier;
  return follows.contains(next);
}

bool TakeEscapedName(SourceReader& parser) {
  if (parser.Kind() != TokenKind::Symbol || parser.TokenView() != "&") return false;
  const SourceReader::Mark mark = parser.markNext();
  parser.Next();
  if (parser.Kind() == TokenKind::Identifier || ::parser::IsKeyword(parser.Kind())) return true;
  parser.rewind(mark);
  return false;
}

THUnit::THUnit(THItem* owner) : THItem(owner) {
  setOwnerUnit(this);
}

// --- reading

void THUnit::Parse(SourceReader& parser) {
  std::string comment;
  std::string sample;
  std::uint8_t routineKind = 0;
  // An include directive inside a section continues that section.
  if (!InImplementation) {
    if (CurrentSection == kTypeSection) ParseTypeSection(parser, comment, sample);
    if (CurrentSection == kConstSection) ParseConstSection(parser, comment, sample);
    if (CurrentSection == kVarSection) ParseVarSection(parser, comment, sample);
  }
  CurrentSection = kNoSection;
  do {
    parser.Next();
    const TokenKind kind = parser.Kind();
    switch (kind) {
      case TokenKind::AnsiComment:
      case TokenKind::BraceComment:
      case TokenKind::SlashComment:
        ProcessComment(parser, parser.TokenView(), comment, sample);
        break;
      case TokenKind::Begin:
        skipStatementBlock(parser);
        break;
      case TokenKind::Procedure:
        routineKind = kProcedure;
        break;
      case TokenKind::Function:
        routineKind = kFunction;
        break;
      case TokenKind::Constructor:
        routineKind = kConstructor;
        break;
      case TokenKind::Destructor:
        routineKind = kDestructor;
        break;
      case TokenKind::Implementation:
        InImplementation = true;
        break;
      case TokenKind::Unit:
        if (!headingRead_) {
          headingRead_ = true;
          SetComment(comment);
          SkipBlanks(parser);
          UnitName = readUnitName(parser);
        }
        comment.clear();
        break;
      default:
        if (openSection(parser, kind, comment, sample)) break;
        // After a routine keyword any word is the routine's name, directive
        // words such as "Read" included.
        if (routineKind != 0 &&
            (kind == TokenKind::Identifier || IsDirectiveWord(kind) || TakeEscapedName(parser))) {
          ParseRoutine(parser, routineKind, comment, sample);
          routineKind = 0;
          comment.clear();
          sample.clear();
        }
        break;
    }
  } while (parser.Kind() != TokenKind::Null);
}

std::string THUnit::readUnitName(SourceReader& parser) {
  // A dotted name such as "System.Classes" is one name.
  std::string name = parser.TokenText();
  for (;;) {
    const SourceReader::Mark mark = parser.markNext();
    SkipBlanks(parser);
    if (parser.Kind() == TokenKind::Point) {
      SkipBlanks(parser);
      if (parser.Kind() == TokenKind::Identifier || ::parser::IsKeyword(parser.Kind())) {
        name += '.';
        name += parser.TokenView();
        continue;
      }
    }
    parser.rewind(mark);
    return name;
  }
}

bool THUnit::openSection(SourceReader& parser, TokenKind kind, std::string& comment,
                         std::string& sample) {
  switch (kind) {
    case TokenKind::Const:
    case TokenKind::Resourcestring:
      // The depth test keeps const parameters of a header from opening one.
      if (parser.RoundDepth() == 0 && !InImplementation) {
        CurrentSection = kConstSection;
        ParseConstSection(parser, comment, sample);
      }
      return true;
    case TokenKind::Var:
    case TokenKind::Threadvar:
      if (parser.RoundDepth() == 0 && !InImplementation) {
        CurrentSection = kVarSection;
        ParseVarSection(parser, comment, sample);
      }
      return true;
    case TokenKind::Type:
      if (!InImplementation) {
        CurrentSection = kTypeSection;
        ParseTypeSection(parser, comment, sample);
      }
      return true;
    default:
      return false;
  }
}

void THUnit::skipStatementBlock(SourceReader& parser) {
  // try and asm blocks end with "end" as well; not counting them would end
  // the skip early and hand comments in the body to the next routine.
  int depth = 1;
  for (;;) {
    parser.NextStatementMark();
    switch (parser.Kind()) {
      case TokenKind::Begin:
      case TokenKind::Case:
      case TokenKind::Try:
      case TokenKind::Asm:
        ++depth;
        break;
      case TokenKind::End:
        if (--depth == 0) return;
        break;
      case TokenKind::Null:
        return;
      default:
        if (IsCommentToken(parser)) ProcessDirectiveComment(parser, parser.TokenView());
        break;
    }
  }
}

bool THUnit::IsSectionEnd(TokenKind kind) {
  switch (kind) {
    case TokenKind::Const:
    case TokenKind::Function:
    case TokenKind::Implementation:
    case TokenKind::Null:
    case TokenKind::Procedure:
    case TokenKind::Type:
    case TokenKind::Var:
    // Each opens a section of its own.
    case TokenKind::Resourcestring:
    case TokenKind::Threadvar:
      return true;
    default:
      return false;
  }
}

void THUnit::ParseConstSection(SourceReader& parser, std::string& comment, std::string& sample) {
  parseSection(parser, comment, sample, SectionKind::Const);
}

void THUnit::ParseTypeSection(SourceReader& parser, std::string& comment, std::string& sample) {
  parseSection(parser, comment, sample, SectionKind::Type);
}

void THUnit::ParseVarSection(SourceReader& parser, std::string& comment, std::string& sample) {
  parseSection(parser, comment, sample, SectionKind::Var);
}

void THUnit::parseSection(SourceReader& parser, std::string& comment, std::string& sample,
                          SectionKind kind) {
  // A name is known by what follows it. Other words in a section name
  // nothing: the directives after a variable ("cvar; external;"), a calling
  // convention macro, the word "generic" before a generic type's name. Taken
  // for names, they would read on to the next "=" or ":", which may lie far
  // beyond the declaration.
  static constexpr TokenKinds kTypeFollows{TokenKind::Equal, TokenKind::Lower};
  static constexpr TokenKinds kConstFollows{TokenKind::Equal, TokenKind::Colon};
  static constexpr TokenKinds kVarFollows{TokenKind::Colon, TokenKind::Comma};
  const TokenKinds& follows = kind == SectionKind::Type    ? kTypeFollows
                              : kind == SectionKind::Const ? kConstFollows
                                                           : kVarFollows;
  SourceReader::Mark mark = parser.markNext();
  for (;;) {
    parser.Next();
    if (IsSectionEnd(parser.Kind())) break;
    if (IsCommentToken(parser)) {
      ProcessComment(parser, parser.TokenView(), comment, sample);
    } else if (TakeEscapedName(parser) ? follows.contains(parser.peekSignificant())
                                       : IsDeclarationName(parser, follows)) {
      const std::string name = parser.TokenText();
      THItem* holder = nullptr;
      if (kind == SectionKind::Type) holder = &AddType(name, comment);
      if (kind == SectionKind::Const) holder = &AddConstant(name, comment);
      if (kind == SectionKind::Var) holder = &AddVariable(name, comment);
      holder->Sample = sample;
      holder->Parse(parser);
      comment.clear();
      sample.clear();
    }
    // A declaration that ran into the end of the text or of the interface
    // ends the section there; the unit loop reads that token again.
    if (IsSectionEnd(parser.Kind())) {
      mark = parser.markCurrent();
      break;
    }
    mark = parser.markNext();
  }
  // The unit loop reads the token that ended the section again.
  parser.rewind(mark);
}

void THUnit::ParseRoutine(SourceReader& parser, std::uint8_t kind, const std::string& comment,
                          const std::string& sample) {
  const std::string name = parser.TokenText();
  if (THMethod* known = FindRoutine(name, false)) {
    // Its body in the implementation part, or a second declaration.
    applyToKnown(*known, comment, sample);
    return;
  }
  if (THType* type = FindType(name, false)) {
    // A method body such as "TFoo.Bar".
    const SourceReader::Mark mark = parser.markNext();
    SkipBlanks(parser);
    if (parser.Kind() != TokenKind::Point) {
      parser.rewind(mark);
      return;
    }
    SkipBlanks(parser);
    if (!TakeEscapedName(parser) && parser.Kind() != TokenKind::Identifier &&
        !IsDirectiveWord(parser.Kind())) {
      return;
    }
    if (THMethod* method = type->FindMethod(parser.TokenView(), false)) {
      applyToKnown(*method, comment, sample);
      method->Parse(parser);
    } else {
      parser.rewind(mark);
    }
    return;
  }
  if (InImplementation) return;  // not part of the interface
  THMethod& routine = AddRoutine(name, comment);
  routine.Sample = sample;
  routine.MethodKind = kind;
  routine.Parse(parser);
}

void THUnit::applyToKnown(THItem& item, const std::string& comment, const std::string& sample) {
  if (!comment.empty()) item.SetComment(comment);
  if (!sample.empty()) item.Sample = sample;
}

}  // namespace holders
