#include "holders/source_reader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/byte_search.h"
#include "platform/files.h"
#include "platform/text.h"

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
  // Sixteen bytes are copied at a time, line ends or not. Each line end among
  // them is then written as CR LF where its copy began, and the bytes after
  // it are copied again behind that. The room left always holds three
  // blocks' worth (a block of lone line ends doubles, and the last copy
  // reaches a block past it); a lone CR or LF grows the text by a byte, which
  // real sources do about every forty bytes, and short lines more often.
  constexpr size_t kBlock = 16;
  constexpr size_t kRoom = 3 * kBlock;
  const char* const in = text.data();
  const size_t size = text.size();
  std::string out;
  out.resize(size + size / 8 + kRoom);
  size_t written = 0;
  size_t at = 0;
  // Copies behind a line end read up to a block and a byte past the block's
  // start: more than two blocks must be left.
  while (size - at > 2 * kBlock) {
    if (out.size() - written < kRoom) out.resize(out.size() + out.size() / 2 + kRoom);
    char* to = out.data() + written;
    const platform::Bytes16 bytes = platform::load16(in + at);
    platform::store16(to, bytes);
    std::uint32_t ends = platform::markedBits((bytes == '\n') | (bytes == '\r'));
    size_t from = 0;  // bytes of the block written so far, line ends included
    while (ends != 0) {
      const auto end = static_cast<size_t>(std::countr_zero(ends));
      to += end - from;
      const bool pair = in[at + end] == '\r' && in[at + end + 1] == '\n';
      to[0] = '\r';
      to[1] = '\n';
      to += 2;
      from = end + (pair ? 2 : 1);
      ends &= ~((std::uint32_t{2} << end) - 1) & ~(std::uint32_t{pair} << (end + 1));
      platform::store16(to, platform::load16(in + at + from));
    }
    if (from < kBlock) to += kBlock - from;
    at += std::max(from, kBlock);
    written = static_cast<size_t>(to - out.data());
  }
  out.resize(written);
  // The last bytes one at a time.
  for (; at < size; ++at) {
    if (in[at] != '\r' && in[at] != '\n') {
      out += in[at];
      continue;
    }
    if (in[at] == '\r' && at + 1 < size && in[at + 1] == '\n') ++at;
    out += "\r\n";
  }
  return out;
}

std::string_view readRawSourceFile(std::string_view path) {
  // An unusually large file's buffer is kept only until the next read.
  constexpr size_t kKeptBufferBytes = 16 << 20;
  thread_local std::string bytes;
  if (bytes.capacity() > kKeptBufferBytes) bytes = std::string();
  const size_t size = platform::readFileInto(path, bytes);
  return std::string_view(bytes).substr(0, size);
}

std::string readSourceFile(std::string_view path) {
  // Only the text with its line ends made CR LF is allocated anew.
  return normalizeLineEnds(readRawSourceFile(path));
}

std::vector<std::string_view> includedNames(std::string_view text) {
  const auto upper = [](char c) { return platform::upperChar(static_cast<unsigned char>(c)); };
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::vector<std::string_view> names;
  // '$' is rarer than '{' in Pascal text, so the search is for it.
  for (size_t at = text.find('$', 1); at != std::string_view::npos; at = text.find('$', at + 1)) {
    if (text[at - 1] != '{') continue;
    size_t name = at + 1;
    if (name + 1 < text.size() && upper(text[name]) == 'I' && blank(text[name + 1])) {
      name += 2;
    } else if (name + 7 < text.size() && platform::sameText(text.substr(name, 7), "INCLUDE") &&
               blank(text[name + 7])) {
      name += 8;
    } else {
      continue;
    }
    while (name < text.size() && blank(text[name])) ++name;
    const bool quoted = name < text.size() && text[name] == '\'';
    if (quoted) ++name;
    size_t end = name;
    while (end < text.size() && text[end] != '}' &&
           (quoted ? text[end] != '\'' : !blank(text[end]))) {
      ++end;
    }
    names.push_back(text.substr(name, end - name));
  }
  return names;
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

void SourceReader::NextBraceComment() {
  // A rewound token is read as Next reads it; the skipping starts after it.
  if (pending_) {
    Next();
  } else {
    scanner_->Next();
  }
  for (;;) {
    const TokenKind kind = scanner_->Token().Kind();
    if (kind == TokenKind::BraceComment || kind == TokenKind::Null) return;
    scanner_->SkipToBraceComment();
    scanner_->Next();
  }
}

void SourceReader::NextStatementMark() {
  if (pending_) {
    Next();
    return;
  }
  const parser::TqPasParser::DepthChange change = scanner_->SkipToStatementMark();
  round_ += change.round;
  square_ += change.square;
  scanner_->Next();
  countBrackets();
}

void SourceReader::countBrackets() {
  // Called for every token; brackets are a few of them, and their kinds are
  // next to each other.
  const parser::TqPasToken& token = scanner_->Token();
  static_assert(static_cast<int>(TokenKind::SquareClose) - static_cast<int>(TokenKind::RoundOpen) ==
                3);
  const auto offset = static_cast<unsigned>(static_cast<int>(token.Kind()) -
                                            static_cast<int>(TokenKind::RoundOpen));
  if (offset > 3) return;
  int round = 0;
  int square = 0;
  tokenDepthChange(token, round, square);
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
