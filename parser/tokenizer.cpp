#include "parser/tokenizer.h"

#include <array>
#include <cstring>
#include <limits>

#include "platform/byte_search.h"

namespace parser {
namespace {

// Byte classes for the runs the scanner takes.
enum ByteClass : std::uint8_t {
  kSpaceByte = 1,  // 1 to 9, 11, 12, 14 to 32
  kWordByte = 2,   // letters, digits and '_'
  kDigitByte = 4,  // '0' to '9'
  kHexByte = 8,    // '0' to '9', 'A' to 'F', 'a' to 'f'
  // Bytes a statement block is passed over byte by byte: none starts a
  // comment, literal, bracket, number or word, nor ends the text.
  kPassedByte = 16,
  // The first letters of asm, begin, case, end and try, either case.
  kMarkInitial = 32,
};

constexpr std::array<std::uint8_t, 256> kByteClasses = [] {
  std::array<std::uint8_t, 256> classes{};
  for (int c = 1; c <= 32; ++c) {
    if (c != '\n' && c != '\r') classes[c] |= kSpaceByte;
  }
  for (int c = '0'; c <= '9'; ++c) classes[c] |= kWordByte | kDigitByte | kHexByte;
  for (int c = 'A'; c <= 'Z'; ++c) {
    classes[c] |= kWordByte;
    classes[c + ('a' - 'A')] |= kWordByte;
  }
  for (int c = 'A'; c <= 'F'; ++c) {
    classes[c] |= kHexByte;
    classes[c + ('a' - 'A')] |= kHexByte;
  }
  classes['_'] |= kWordByte;
  for (int c = 1; c < 256; ++c) {
    if ((classes[c] & kWordByte) == 0) classes[c] |= kPassedByte;
  }
  for (const char c : {'{', '(', ')', '[', ']', '/', '\'', '#', '$', '.'}) {
    classes[static_cast<unsigned char>(c)] &= ~kPassedByte;
  }
  for (const char c : {'a', 'b', 'c', 'e', 't'}) {
    classes[static_cast<unsigned char>(c)] |= kMarkInitial;
    classes[static_cast<unsigned char>(c - ('a' - 'A'))] |= kMarkInitial;
  }
  return classes;
}();

bool isClass(unsigned char c, ByteClass byteClass) {
  return (kByteClasses[c] & byteClass) != 0;
}

}  // namespace

void TqPasParser::SetText(const char* buffer) {
  if (buffer == nullptr) buffer = "";
  const std::size_t length = std::strlen(buffer);
  // One byte of headroom: a line-break token may end one past the text.
  if (length >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw ETextTooLong("text too long to scan: " + std::to_string(length) + " bytes");
  }
  buffer_ = buffer;
  textLength_ = static_cast<std::int32_t>(length);
  run_ = 0;
  // The old token's place may lie beyond the end of the new text.
  token_ = TqPasToken();
  token_.buffer_ = buffer;
}

void TqPasParser::SetPosition(std::int32_t position) {
  run_ = position < 0 ? 0 : (position > textLength_ ? textLength_ : position);
  Next();
}

bool TqPasParser::IsJunk() const {
  switch (token_.kind_) {
    case TokenKind::Space:
    case TokenKind::LineBreak:
    case TokenKind::CommentLineBreak:
    case TokenKind::AnsiComment:
    case TokenKind::BraceComment:
    case TokenKind::SlashComment:
      return true;
    default:
      return false;
  }
}

void TqPasParser::Next() {
  for (;;) {
    const unsigned char c = at(run_);
    if (c == 0) {
      token_.kind_ = TokenKind::Null;
      token_.start_ = run_;
      token_.length_ = 0;
      return;
    }
    token_.start_ = run_;
    if (state_ != CommentState::NoComment) {
      scanComment();
      return;
    }
    if (c != '\n') {
      scanToken(c);
      return;
    }
    ++run_;  // an LF outside comments never forms a token
  }
}

void TqPasParser::finish(TokenKind kind, std::int32_t end) {
  token_.kind_ = kind;
  token_.length_ = end - token_.start_;
  run_ = end;
}

void TqPasParser::scanToken(unsigned char first) {
  const std::int32_t p = run_;
  const unsigned char second = at(p + 1);
  switch (first) {
    case '\r':
      return scanLineBreak(TokenKind::LineBreak);
    case '#':
    case '$': {
      const ByteClass digits = first == '#' ? kDigitByte : kHexByte;
      std::int32_t end = p + 1;
      while (isClass(at(end), digits)) ++end;
      return finish(first == '#' ? TokenKind::CharCode : TokenKind::HexNumber, end);
    }
    case '\'':
      return scanLiteral();
    case '(':
      if (second == '*') {
        state_ = CommentState::InAnsiComment;
        return scanComment();
      }
      if (second == '.') return finish(TokenKind::SquareOpen, p + 2);
      ++roundDepth_;
      return finish(TokenKind::RoundOpen, p + 1);
    case ')':
      --roundDepth_;
      return finish(TokenKind::RoundClose, p + 1);
    case '[':
      ++squareDepth_;
      return finish(TokenKind::SquareOpen, p + 1);
    case ']':
      --squareDepth_;
      return finish(TokenKind::SquareClose, p + 1);
    case '/':
      if (second == '/') {
        state_ = CommentState::InSlashComment;
        return scanComment();
      }
      return finish(TokenKind::Symbol, p + 1);
    case '{':
      state_ = CommentState::InBraceComment;
      return scanComment();
    case '.':
      return second == ')' ? finish(TokenKind::SquareClose, p + 2)
                           : finish(TokenKind::Point, p + 1);
    case ':':
      return second == '=' ? finish(TokenKind::Assign, p + 2) : finish(TokenKind::Colon, p + 1);
    case '<':
      if (second == '=') return finish(TokenKind::LowerEqual, p + 2);
      if (second == '>') return finish(TokenKind::NotEqual, p + 2);
      return finish(TokenKind::Lower, p + 1);
    case '>':
      if (second == '=') return finish(TokenKind::GreaterEqual, p + 2);
      return finish(TokenKind::Greater, p + 1);
    case '*':
      return finish(TokenKind::Star, p + 1);
    case '+':
      return finish(TokenKind::Plus, p + 1);
    case ',':
      return finish(TokenKind::Comma, p + 1);
    case '-':
      return finish(TokenKind::Minus, p + 1);
    case ';':
      return finish(TokenKind::Semicolon, p + 1);
    case '=':
      return finish(TokenKind::Equal, p + 1);
    case '|':
    case '}':
      return finish(TokenKind::Unknown, p + 1);
    default:
      break;
  }
  if (isClass(first, kSpaceByte)) {
    std::int32_t end = p + 1;
    while (isClass(at(end), kSpaceByte)) ++end;
    return finish(TokenKind::Space, end);
  }
  if (isClass(first, kDigitByte)) return scanNumber();
  if (isClass(first, kWordByte)) return scanWord();
  finish(first >= 127 ? TokenKind::Unknown : TokenKind::Symbol, p + 1);
}

// The token covers the CR and the byte after it, but the scan goes on right
// after the CR, so that an LF there is skipped and anything else is scanned.
// A CR that ends the text gives a token of one byte: no token ever covers the
// terminating NUL.
void TqPasParser::scanLineBreak(TokenKind kind) {
  const std::int32_t p = token_.start_;
  token_.kind_ = kind;
  token_.length_ = at(p + 1) == 0 ? 1 : 2;
  run_ = p + 1;
}

// A literal runs to the first quote after its opening one; a doubled quote
// thus splits 'it''s' into two String tokens whose texts join back. Three
// quotes in a row open a literal that starts with a quote character.
void TqPasParser::scanLiteral() {
  bool closed = false;
  const std::int32_t end = literalEnd(run_, closed);
  finish(closed ? TokenKind::String : TokenKind::BadString, end);
}

std::int32_t TqPasParser::literalEnd(std::int32_t position, bool& closed) const {
  std::int32_t p = position;
  if (at(p + 1) == '\'' && at(p + 2) == '\'') p += 2;
  for (;;) {
    const unsigned char c = at(++p);
    if (c == '\'') {
      closed = true;
      return p + 1;
    }
    if (c == '\r' || c == '\n' || c == 0) {
      closed = false;
      return c != 0 ? p + 1 : p;
    }
  }
}

void TqPasParser::SkipToBraceComment() {
  if (state_ != CommentState::NoComment) return;
  std::int32_t p = run_;
  for (;;) {
    // Passed sixteen bytes at a time up to a byte that may open a literal
    // or a comment; the text holds no NUL before its end.
    while (textLength_ - p >= 16) {
      const platform::Bytes16 bytes = platform::load16(buffer_ + p);
      const std::size_t plain =
          platform::firstMarked((bytes == '{') | (bytes == '\'') | (bytes == '(') | (bytes == '/'));
      p += static_cast<std::int32_t>(plain);
      if (plain < 16) break;
    }
    const unsigned char c = at(p);
    if (c == 0 || c == '{') break;
    if (c == '\'') {
      bool closed = false;
      p = literalEnd(p, closed);
    } else if (c == '(' && at(p + 1) == '*') {
      // Ends at the first "*)" after the "(": "(*)" is a whole comment.
      state_ = CommentState::InAnsiComment;
      for (++p; at(p) != 0; ++p) {
        if (at(p) == '*' && at(p + 1) == ')') {
          state_ = CommentState::NoComment;
          p += 2;
          break;
        }
      }
      if (state_ != CommentState::NoComment) break;
    } else if (c == '/' && at(p + 1) == '/') {
      state_ = CommentState::InSlashComment;
      p = scanSlashComment(p);
      if (state_ != CommentState::NoComment) break;
    } else {
      ++p;
    }
  }
  run_ = p;
}

namespace {

// Whether a word is one of those that open or close a statement block: its
// bytes with bit 5 cleared (capitals, for letters of either case), packed
// into an integer, against the five words packed alike.
bool isStatementMark(std::string_view word) {
  if (word.size() < 3 || word.size() > 5 ||
      !isClass(static_cast<unsigned char>(word[0]), kMarkInitial)) {
    return false;
  }
  constexpr auto packed = [](std::string_view text) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      bits |= std::uint64_t{static_cast<unsigned char>(text[i]) & 0xDFu} << (8 * i);
    }
    return bits;
  };
  static constexpr std::array<std::string_view, 5> kMarks{"ASM", "BEGIN", "CASE", "END", "TRY"};
  static constexpr std::array<std::uint64_t, 5> kPacked{packed(kMarks[0]), packed(kMarks[1]),
                                                        packed(kMarks[2]), packed(kMarks[3]),
                                                        packed(kMarks[4])};
  const std::uint64_t bits = packed(word);
  for (std::size_t i = 0; i < kMarks.size(); ++i) {
    if (bits == kPacked[i] && word.size() == kMarks[i].size()) return true;
  }
  return false;
}

}  // namespace

TqPasParser::DepthChange TqPasParser::SkipToStatementMark() {
  DepthChange change;
  if (state_ != CommentState::NoComment) return change;
  std::int32_t p = run_;
  for (;;) {
    while (isClass(at(p), kPassedByte)) ++p;
    const unsigned char c = at(p);
    if (c == 0) break;
    const unsigned char second = at(p + 1);
    if (isClass(c, kDigitByte)) {
      p = numberEnd(p);
    } else if (isClass(c, kWordByte)) {
      std::int32_t end = p + 1;
      while (isClass(at(end), kWordByte)) ++end;
      if (isStatementMark(std::string_view(buffer_ + p, static_cast<std::size_t>(end - p)))) break;
      p = end;
    } else if (c == '{' || (c == '(' && second == '*') || (c == '/' && second == '/')) {
      break;
    } else if (c == '\'') {
      bool closed = false;
      p = literalEnd(p, closed);
    } else if (c == '#' || c == '$') {
      const ByteClass digits = c == '#' ? kDigitByte : kHexByte;
      for (++p; isClass(at(p), digits);) ++p;
    } else if ((c == '(' && second == '.') || (c == '.' && second == ')')) {
      p += 2;  // "(." and ".)" leave the depths alone
    } else {
      switch (c) {
        case '(':
          ++change.round;
          break;
        case ')':
          --change.round;
          break;
        case '[':
          ++change.square;
          break;
        case ']':
          --change.square;
          break;
        default:
          break;
      }
      ++p;
    }
  }
  run_ = p;
  roundDepth_ = static_cast<std::int8_t>(roundDepth_ + change.round);
  squareDepth_ = static_cast<std::int8_t>(squareDepth_ + change.square);
  return change;
}

// "1..9" is a range, so a point followed by another point ends the number. A
// sign after the exponent letter ends it too: "1E-5" is Number, Minus, Number.
std::int32_t TqPasParser::numberEnd(std::int32_t position) const {
  std::int32_t p = position + 1;
  for (;; ++p) {
    const unsigned char c = at(p);
    if (isClass(c, kDigitByte) || c == 'E' || c == 'e') continue;
    if (c != '.' || at(p + 1) == '.') return p;
  }
}

void TqPasParser::scanNumber() {
  const std::int32_t end = numberEnd(run_);
  const bool fraction =
      std::memchr(buffer_ + run_, '.', static_cast<std::size_t>(end - run_)) != nullptr;
  finish(fraction ? TokenKind::Float : TokenKind::Number, end);
}

void TqPasParser::scanWord() {
  std::int32_t end = run_ + 1;
  while (isClass(at(end), kWordByte)) ++end;
  const std::string_view word(buffer_ + run_, static_cast<std::size_t>(end - run_));
  finish(KeywordKind(word), end);
}

// Continues the comment the state names, from RunPosition, which may be its
// opening delimiter. The token ends at the closing delimiter (state back to
// NoComment), before a CR, or at the end of the text (state unchanged).
void TqPasParser::scanComment() {
  switch (state_) {
    case CommentState::InAnsiComment:
      token_.kind_ = TokenKind::AnsiComment;
      break;
    case CommentState::InBraceComment:
      token_.kind_ = TokenKind::BraceComment;
      break;
    default:
      token_.kind_ = TokenKind::SlashComment;
      run_ = scanSlashComment(run_);
      token_.length_ = run_ - token_.start_;
      return;
  }
  const std::int32_t end = scanBlockComment(run_);
  if (at(end) == '\r' && end == token_.start_) return scanLineBreak(TokenKind::CommentLineBreak);
  token_.length_ = end - token_.start_;
  run_ = end;
}

// An LF inside a block comment restarts the token after it, so the token
// that follows a CommentLineBreak (which carried the LF) begins on the new
// line.
std::int32_t TqPasParser::scanBlockComment(std::int32_t p) {
  const bool ansi = state_ == CommentState::InAnsiComment;
  const unsigned char closing = ansi ? '*' : '}';
  for (;; ++p) {
    // Comment text is passed sixteen bytes at a time up to the next byte
    // that might end the token; the text holds no NUL before its end.
    while (textLength_ - p >= 16) {
      const platform::Bytes16 bytes = platform::load16(buffer_ + p);
      const std::size_t plain =
          platform::firstMarked((bytes == closing) | (bytes == '\r') | (bytes == '\n'));
      p += static_cast<std::int32_t>(plain);
      if (plain < 16) break;
    }
    const unsigned char c = at(p);
    if (c == 0 || c == '\r') return p;
    if (c == '\n') {
      token_.start_ = p + 1;
    } else if (ansi ? (c == '*' && at(p + 1) == ')') : c == '}') {
      state_ = CommentState::NoComment;
      return p + (ansi ? 2 : 1);
    }
  }
}

// Only a CR ends a // comment; the CR is left for a LineBreak token.
std::int32_t TqPasParser::scanSlashComment(std::int32_t p) {
  for (;; ++p) {
    const unsigned char c = at(p);
    if (c == 0) return p;
    if (c == '\r') {
      state_ = CommentState::NoComment;
      return p;
    }
  }
}

}  // namespace parser
