#include "holders/source_reader.h"

#include <algorithm>
#include <cstring>

#include "platform/files.h"

namespace holders {
namespace {

// How the token just scanned moved the scanner's depths.
void tokenDepthChange(const parser::TqPasToken& token, int& round, int& square) {
  round = 0;
  square = 0;
  switch (token.Kind()) {
    case TokenKind::RoundOpen:
      round = 1;
      break;
    case TokenKind::RoundClose:
      round = -1;
      break;
    case TokenKind::SquareOpen:
      if (token.Length() == 1) square = 1;  // "(." leaves the depth alone
      break;
    case TokenKind::SquareClose:
      if (token.Length() == 1) square = -1;
      break;
    default:
      break;
  }
}

}  // namespace

std::string normalizeLineEnds(std::string_view text) {
  // Copied a line at a time: the line ends are found with memchr, which
  // keeps the next CR and the next LF in view.
  const char* at = text.data();
  const char* const end = at + text.size();
  const auto next = [end](const char* from, char c) {
    const void* found = std::memchr(from, c, static_cast<size_t>(end - from));
    return found != nullptr ? static_cast<const char*>(found) : end;
  };
  // Sized exactly first: a lone CR or LF grows by one byte. Source texts
  // run to megabytes, and growing would copy them again.
  size_t grows = 0;
  for (const char* lf = next(at, '\n'); lf != end; lf = next(lf + 1, '\n')) {
    if (lf == at || lf[-1] != '\r') ++grows;
  }
  for (const char* cr = next(at, '\r'); cr != end; cr = next(cr + 1, '\r')) {
    if (cr + 1 == end || cr[1] != '\n') ++grows;
  }
  std::string out;
  out.reserve(text.size() + grows);
  const char* nextCr = next(at, '\r');
  const char* nextLf = next(at, '\n');
  while (at < end) {
    const char* const lineEnd = std::min(nextCr, nextLf);
    out.append(at, static_cast<size_t>(lineEnd - at));
    if (lineEnd == end) break;
    out.append("\r\n");
    at = lineEnd + 1;
    if (*lineEnd == '\r' && at < end && *at == '\n') ++at;
    if (nextCr < at) nextCr = next(at, '\r');
    if (nextLf < at) nextLf = next(at, '\n');
  }
  return out;
}

std::string readSourceFile(std::string_view path) {
  // The bytes go to a buffer each thread keeps, so only the text with its
  // line ends made CR LF is allocated anew. An unusually large file's buffer
  // is not kept.
  constexpr size_t kKeptBufferBytes = 16 << 20;
  thread_local std::string bytes;
  platform::readFileInto(path, bytes);
  std::string text = normalizeLineEnds(bytes);
  if (bytes.capacity() > kKeptBufferBytes) bytes = std::string();
  return text;
}

SourceReader::SourceReader(std::string text, std::string path)
    : text_(std::move(text)),
      path_(std::move(path)),
      scanner_(std::make_unique<parser::TqPasParser>()) {
  scanner_->SetText(text_);
}

void SourceReader::Next() {
  if (!pending_) {
    scanner_->Next();
    countBrackets();
    return;
  }
  pending_ = false;
  if (scanner_->commentState() != parser::TqPasParser::CommentState::NoComment) {
    // Only an unterminated comment at the end of the text leaves the scanner
    // inside a comment; a fresh scanner reads the mark as ordinary text.
    scanner_ = std::make_unique<parser::TqPasParser>();
    scanner_->SetText(text_);
  }
  scanner_->SetPosition(pendingMark_.position);
  // The depths before the token are the mark's; the token then moves them as
  // it did the first time.
  round_ = pendingMark_.round;
  square_ = pendingMark_.square;
  countBrackets();
}

void SourceReader::countBrackets() {
  int round = 0;
  int square = 0;
  tokenDepthChange(scanner_->Token(), round, square);
  round_ += round;
  square_ += square;
}

std::string_view SourceReader::TokenView() const {
  if (pending_) return {};
  return scanner_->Token().TokenView();
}

std::int32_t SourceReader::RunPosition() const {
  return pending_ ? pendingMark_.position : scanner_->RunPosition();
}

SourceReader::Mark SourceReader::markNext() const {
  return Mark{RunPosition(), RoundDepth(), SquareDepth()};
}

SourceReader::Mark SourceReader::markCurrent() const {
  if (pending_) return pendingMark_;
  int round = 0;
  int square = 0;
  tokenDepthChange(scanner_->Token(), round, square);
  return Mark{TokenStart(), RoundDepth() - round, SquareDepth() - square};
}

void SourceReader::rewind(const Mark& mark) {
  pending_ = true;
  pendingMark_ = mark;
}

void SourceReader::restoreDepths(std::int32_t round, std::int32_t square) {
  round_ = round;
  square_ = square;
}

TokenKind SourceReader::peekSignificant(bool stopAtDirective) const {
  // Scans blanks, line breaks and comments by the tokenizer's rules, without
  // a scanner: a second scanner would measure the whole text first.
  const char* text = text_.c_str();
  std::size_t at = static_cast<std::size_t>(RunPosition());
  for (;;) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c == 0) return TokenKind::Null;
    if (c <= 32) {
      ++at;
    } else if (c == '{') {
      if (stopAtDirective && text[at + 1] == '$') return TokenKind::BraceComment;
      const char* end = std::strchr(text + at, '}');
      if (end == nullptr) return TokenKind::Null;
      at = static_cast<std::size_t>(end - text) + 1;
    } else if (c == '(' && text[at + 1] == '*') {
      // "(*)" is a whole comment: the closing "*)" may share the star.
      const char* end = std::strstr(text + at + 1, "*)");
      if (end == nullptr) return TokenKind::Null;
      at = static_cast<std::size_t>(end - text) + 2;
    } else if (c == '/' && text[at + 1] == '/') {
      const char* end = std::strchr(text + at, '\r');
      if (end == nullptr) return TokenKind::Null;
      at = static_cast<std::size_t>(end - text);
    } else {
      break;
    }
  }
  switch (text[at]) {
    case ':':
      return text[at + 1] == '=' ? TokenKind::Assign : TokenKind::Colon;
    case '=':
      return TokenKind::Equal;
    case ',':
      return TokenKind::Comma;
    case '<':
      return text[at + 1] == '=' || text[at + 1] == '>' ? TokenKind::Identifier : TokenKind::Lower;
    default:
      return TokenKind::Identifier;  // anything else: only the four above matter
  }
}

}  // namespace holders
