// The reading toolkit of THItem: the small readers every holder's Parse is
// built from.
#include "holders/item.h"
#include "platform/text.h"

namespace holders {

void THItem::SkipBlanks(SourceReader& parser) {
  std::string comment;
  std::string sample;
  do {
    parser.Next();
    if (IsCommentToken(parser)) ProcessComment(parser, parser.TokenView(), comment, sample);
  } while (parser.IsJunk());
}

std::string THItem::ReadUntil(SourceReader& parser, const TokenKinds& stop) {
  std::string text;
  if (stop.contains(parser.Kind())) return text;
  std::string comment;
  std::string sample;
  for (;;) {
    parser.Next();
    const TokenKind kind = parser.Kind();
    if (stop.contains(kind)) return platform::trim(text);
    if (kind == TokenKind::Null) return text;
    if (IsCommentToken(parser)) {
      ProcessComment(parser, parser.TokenView(), comment, sample);
    } else {
      text += parser.TokenView();
    }
  }
}

std::string THItem::ReadList(SourceReader& parser, const TokenKinds& separators,
                             const TokenKinds& elements) {
  std::string text;
  std::string comment;
  std::string sample;
  bool expectElement = true;
  bool afterSeparator = false;
  for (;; parser.Next()) {
    const TokenKind kind = parser.Kind();
    if (IsCommentToken(parser)) {
      ProcessComment(parser, parser.TokenView(), comment, sample);
      afterSeparator = false;
      continue;
    }
    if (kind == TokenKind::Space) {
      if (afterSeparator) text += parser.TokenView();
      afterSeparator = false;
      continue;
    }
    afterSeparator = false;
    if (separators.contains(kind) && !expectElement) {
      text += parser.TokenView();
      expectElement = true;
      afterSeparator = true;
    } else if (elements.contains(kind) && expectElement) {
      text += parser.TokenView();
      expectElement = false;
    } else {
      break;
    }
  }
  // The token that ended the list belongs to the caller.
  parser.rewind(parser.markCurrent());
  return text;
}

std::string THItem::ReadBracketed(SourceReader& parser, bool round) {
  const TokenKind open = round ? TokenKind::RoundOpen : TokenKind::SquareOpen;
  while (parser.Kind() != open && parser.Kind() != TokenKind::Null) parser.Next();
  std::string text;
  if (parser.Kind() == TokenKind::Null) return text;
  do {
    const TokenKind previous = parser.Kind();
    parser.Next();
    const TokenKind kind = parser.Kind();
    if (kind == TokenKind::RoundClose || kind == TokenKind::SquareClose) {
      if (parser.RoundDepth() != 0 || parser.SquareDepth() != 0) text += parser.TokenView();
    } else if (kind == TokenKind::Space) {
      if (previous != TokenKind::Space) text += ' ';
    } else {
      text += parser.TokenView();
    }
  } while ((parser.RoundDepth() != 0 || parser.SquareDepth() != 0) &&
           parser.Kind() != TokenKind::Null);
  return text;
}

std::string THItem::readDeclarationRest(SourceReader& parser, int openRecords) {
  std::string text;
  if (parser.Kind() == TokenKind::Implementation) return text;
  if (parser.Kind() == TokenKind::Semicolon && openRecords == 0) return text;
  std::string comment;
  std::string sample;
  int brackets = 0;
  for (;;) {
    parser.Next();
    const TokenKind kind = parser.Kind();
    if (kind == TokenKind::Semicolon && brackets <= 0 && openRecords <= 0) {
      return platform::trim(text);
    }
    if (kind == TokenKind::Null) return text;
    // The end of the interface ends an unclosed declaration too.
    if (kind == TokenKind::Implementation) return platform::trim(text);
    if (IsCommentToken(parser)) {
      ProcessComment(parser, parser.TokenView(), comment, sample);
      continue;
    }
    if (kind == TokenKind::RoundOpen || kind == TokenKind::SquareOpen) ++brackets;
    if (kind == TokenKind::RoundClose || kind == TokenKind::SquareClose) --brackets;
    if (kind == TokenKind::Record) ++openRecords;
    if (kind == TokenKind::End && openRecords > 0) --openRecords;
    text += parser.TokenView();
  }
}

}  // namespace holders
