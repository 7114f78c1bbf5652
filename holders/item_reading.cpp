// The reading toolkit of THItem: the small readers every holder's Parse is
// built from.
#include <string>
#include <vector>

#include "holders/item.h"
#include "platform/text.h"

namespace holders {
namespace {

// A declaration part is read into a buffer the thread keeps, where it grows
// token by token without allocating, and is then copied once at its own
// size: a large project reads half a million of them, and the model keeps
// them all. Reading nests (an include file read within a declaration reads
// declarations of its own), so each reader takes a buffer of its own.
class ReadBuffer {
 public:
  ReadBuffer() {
    std::vector<std::string>& spare = spareBuffers();
    if (!spare.empty()) {
      text_ = std::move(spare.back());
      spare.pop_back();
    }
    text_.clear();
  }
  ~ReadBuffer() {
    constexpr size_t kKeptBytes = 64 << 10;  // an unusually long part's room goes
    if (text_.capacity() <= kKeptBytes) spareBuffers().push_back(std::move(text_));
  }
  ReadBuffer(const ReadBuffer&) = delete;
  ReadBuffer& operator=(const ReadBuffer&) = delete;

  std::string& text() { return text_; }

 private:
  static std::vector<std::string>& spareBuffers() {
    thread_local std::vector<std::string> buffers;
    return buffers;
  }
  std::string text_;
};

}  // namespace

void THItem::SkipBlanks(SourceReader& parser) {
  std::string comment;
  std::string sample;
  do {
    parser.Next();
    if (IsCommentToken(parser)) ProcessComment(parser, parser.TokenView(), comment, sample);
  } while (parser.IsJunk());
}

std::string THItem::ReadUntil(SourceReader& parser, const TokenKinds& stop) {
  if (stop.contains(parser.Kind())) return {};
  ReadBuffer buffer;
  std::string& text = buffer.text();
  std::string comment;
  std::string sample;
  for (;;) {
    parser.Next();
    const TokenKind kind = parser.Kind();
    if (stop.contains(kind)) return platform::trim(text);
    if (kind == TokenKind::Null) return std::string(text);
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
  if (parser.Kind() == TokenKind::Null) return {};
  ReadBuffer buffer;
  std::string& text = buffer.text();
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
  return std::string(text);
}

std::string THItem::readDeclarationRest(SourceReader& parser, int openRecords) {
  if (parser.Kind() == TokenKind::Implementation) return {};
  if (parser.Kind() == TokenKind::Semicolon && openRecords == 0) return {};
  ReadBuffer buffer;
  std::string& text = buffer.text();
  std::string comment;
  std::string sample;
  int brackets = 0;
  for (;;) {
    parser.Next();
    const TokenKind kind = parser.Kind();
    if (kind == TokenKind::Semicolon && brackets <= 0 && openRecords <= 0) {
      return platform::trim(text);
    }
    if (kind == TokenKind::Null) return std::string(text);
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
