// The Pascal tokenizer: splits Object Pascal source text into tokens, one per
// call to Next.
//
// TqPasParser is a pull scanner over a byte buffer that the caller owns. The
// buffer holds the whole text followed by a NUL byte; the first NUL ends the
// text. The buffer must outlive every use of the scanner and of its token.
// Positions are zero-based byte offsets into it. The scanner owns exactly one
// token (TqPasToken), which it rewrites on every step; the token is a Start
// and Length into the buffer, so scanning never allocates (only TokenText
// does). Nothing here throws once SetText has accepted the buffer: every byte
// gives some token and scanning always reaches Null.
//
// Line breaks are tokens: a CR gives a token of two bytes (the CR and the byte
// after it), after which RunPosition is one past the CR; an LF outside
// comments and literals is skipped. Block comments come out one line at a
// time. Text with CR LF line ends therefore comes back byte for byte from the
// concatenated token texts, except for the LF after a literal cut off at its
// line end.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace parser {

// Token kinds. The keyword kinds follow the general kinds, in alphabetical
// order of their keywords; each is named after its keyword with only the first
// letter in capitals (Begin, Readonly, Resourcestring, Stdcall), except STRING,
// whose kind is StringKeyword so as not to clash with the literal kind String.
enum class TokenKind : std::uint8_t {
  None,              // a token that has not been scanned yet
  Null,              // end of text; length 0
  Identifier,        // a word that is not a keyword
  Space,             // a run of blanks and control bytes other than NUL, LF and CR
  LineBreak,         // a CR outside comments
  CommentLineBreak,  // a CR at the start of a comment token
  AnsiComment,       // one line of (* ... *)
  BraceComment,      // one line of { ... }, compiler directives included
  SlashComment,      // // up to the next CR
  String,            // a quoted literal
  BadString,         // a quoted literal cut off by CR, LF or the end of text
  CharCode,          // # and decimal digits
  HexNumber,         // $ and hexadecimal digits
  Number,            // decimal number without a fraction point
  Float,             // decimal number with a fraction point
  RoundOpen,
  RoundClose,
  SquareOpen,   // [ or (.
  SquareClose,  // ] or .)
  Assign,
  Colon,
  Semicolon,
  Comma,
  Point,
  Plus,
  Minus,
  Star,
  Equal,
  NotEqual,
  Lower,
  LowerEqual,
  Greater,
  GreaterEqual,
  Symbol,   // / ! " % & ? \ ^ ` ~ @
  Unknown,  // | } byte 127 and bytes 128 to 255
  Absolute,
  Abstract,
  And,
  Array,
  As,
  Asm,
  Assembler,
  Automated,
  Begin,
  Case,
  Cdecl,
  Class,
  Const,
  Constructor,
  Default,
  Destructor,
  Dispid,
  Dispinterface,
  Div,
  Do,
  Downto,
  Dynamic,
  Else,
  End,
  Except,
  Export,
  Exports,
  External,
  Far,
  File,
  Finalization,
  Finally,
  For,
  Forward,
  Function,
  Goto,
  If,
  Implementation,
  In,
  Index,
  Inherited,
  Initialization,
  Inline,
  Interface,
  Is,
  Label,
  Library,
  Message,
  Mod,
  Name,
  Near,
  Nil,
  Nodefault,
  Not,
  Object,
  Of,
  Or,
  Out,
  Override,
  Packed,
  Pascal,
  Private,
  Procedure,
  Program,
  Property,
  Protected,
  Public,
  Published,
  Raise,
  Read,
  Readonly,
  Record,
  Register,
  Repeat,
  Resident,
  Resourcestring,
  Safecall,
  Set,
  Shl,
  Shr,
  Stdcall,
  Stored,
  StringKeyword,
  Stringresource,
  Then,
  Threadvar,
  To,
  Try,
  Type,
  Unit,
  Until,
  Uses,
  Var,
  Virtual,
  While,
  With,
  Write,
  Writeonly,
  Xor,
};

inline constexpr int kTokenKindCount = static_cast<int>(TokenKind::Xor) + 1;
inline constexpr int kKeywordCount = kTokenKindCount - static_cast<int>(TokenKind::Absolute);

constexpr bool IsKeyword(TokenKind kind) {
  return kind >= TokenKind::Absolute;
}

// The enumerator's name ("Begin", "StringKeyword", "RoundOpen"), for messages
// and test output.
std::string_view TokenName(TokenKind kind);

// The keyword kind of a word, compared ignoring ASCII case; Identifier when
// the word is not a keyword. Never allocates.
TokenKind KeywordKind(std::string_view word);

// A set of token kinds (stop sets, separator sets), usable in constant
// expressions: constexpr TokenKinds kStop{TokenKind::Semicolon, TokenKind::End};
class TokenKinds {
 public:
  constexpr TokenKinds() = default;
  constexpr TokenKinds(std::initializer_list<TokenKind> kinds) {
    for (TokenKind kind : kinds) insert(kind);
  }

  constexpr bool contains(TokenKind kind) const {
    return (words_[index(kind) / 64] >> (index(kind) % 64)) & 1U;
  }
  constexpr TokenKinds& insert(TokenKind kind) {
    words_[index(kind) / 64] |= std::uint64_t{1} << (index(kind) % 64);
    return *this;
  }
  constexpr TokenKinds& erase(TokenKind kind) {
    words_[index(kind) / 64] &= ~(std::uint64_t{1} << (index(kind) % 64));
    return *this;
  }
  constexpr bool empty() const { return (words_[0] | words_[1] | words_[2]) == 0; }

  friend constexpr TokenKinds operator|(TokenKinds a, const TokenKinds& b) {
    for (std::size_t i = 0; i < a.words_.size(); ++i) a.words_[i] |= b.words_[i];
    return a;
  }
  friend constexpr TokenKinds operator&(TokenKinds a, const TokenKinds& b) {
    for (std::size_t i = 0; i < a.words_.size(); ++i) a.words_[i] &= b.words_[i];
    return a;
  }
  friend constexpr bool operator==(const TokenKinds&, const TokenKinds&) = default;

 private:
  static constexpr unsigned index(TokenKind kind) { return static_cast<unsigned>(kind); }

  static_assert(kTokenKindCount <= 192);
  std::array<std::uint64_t, 3> words_{};
};

// The one token of a scanner: its kind and where its bytes lie in the buffer.
class TqPasToken {
 public:
  TokenKind Kind() const { return kind_; }
  std::int32_t Start() const { return start_; }
  std::int32_t Length() const { return length_; }

  // The token's bytes. Comment tokens include their delimiters where they are
  // on the token's line; a line-break token is the CR and the byte after it.
  std::string TokenText() const { return std::string(TokenView()); }
  std::string_view TokenView() const {
    return std::string_view(buffer_ + start_, static_cast<std::size_t>(length_));
  }

 private:
  friend class TqPasParser;

  TokenKind kind_ = TokenKind::None;
  std::int32_t start_ = 0;
  std::int32_t length_ = 0;
  const char* buffer_ = "";
};

// Raised by SetText for a text that 32-bit positions cannot address.
class ETextTooLong : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TqPasParser {
 public:
  enum class CommentState : std::uint8_t {
    NoComment,
    InAnsiComment,   // inside (* *)
    InBraceComment,  // inside { }
    InSlashComment,  // inside //
  };

  TqPasParser() = default;
  // The token points into the caller's buffer; a copy would share it
  // silently, so scanners are not copied.
  TqPasParser(const TqPasParser&) = delete;
  TqPasParser& operator=(const TqPasParser&) = delete;

  // Scans buffer from position 0 on the next call to Next; until then the
  // token is a new one (None, no text). The comment state and both depths
  // carry over from any earlier text. A null buffer is an empty text. Throws
  // ETextTooLong when the text is 2 GiB or longer.
  void SetText(const char* buffer);
  void SetText(const std::string& text) { SetText(text.c_str()); }
  // A temporary would be gone before the first Next.
  void SetText(std::string&&) = delete;

  // Moves the scan to position and scans the token there. Positions outside
  // the text are clamped to it (past the end gives Null). The comment state and
  // the depths stay as they are: move only to places outside comments.
  void SetPosition(std::int32_t position);

  // Scans the token at RunPosition and advances past it.
  void Next();
  // Outside comments, moves RunPosition to the next "{" that opens a brace
  // comment (or to the end of the text) without making the tokens before it:
  // text skipped by a directive is searched only for directives. Literals
  // and the other comments are passed over by the rules Next follows. The
  // depths do not count the brackets passed over. Inside a comment it does
  // nothing.
  void SkipToBraceComment();

  // Outside comments, moves RunPosition to the start of the next token that
  // a statement block passed over cares about: a comment, one of the words
  // begin, case, try, asm and end, or the end of the text. It may stop at
  // any other token too; every token before it is one that Next would have
  // made, and the depths count the brackets among them. Returns how much
  // the round and square depths changed, unwrapped. Inside a comment it does
  // nothing.
  struct DepthChange {
    int round = 0;
    int square = 0;
  };
  DepthChange SkipToStatementMark();

  // The current token is a blank, a line break or a comment.
  bool IsJunk() const;

  const TqPasToken& Token() const { return token_; }
  // The next byte to scan: the end of the current token, or one past the CR
  // after a line-break token.
  std::int32_t RunPosition() const { return run_; }
  // +1 for each '(' token, -1 for each ')'; wraps as a signed 8-bit counter.
  std::int8_t RoundDepth() const { return roundDepth_; }
  // +1 for each '[', -1 for each ']'; "(." and ".)" leave it unchanged.
  std::int8_t SquareDepth() const { return squareDepth_; }
  CommentState commentState() const { return state_; }
  // Bytes before the first NUL of the buffer.
  std::int32_t textLength() const { return textLength_; }

 private:
  unsigned char at(std::int32_t position) const {
    return static_cast<unsigned char>(buffer_[position]);
  }
  void finish(TokenKind kind, std::int32_t end);
  void scanToken(unsigned char first);
  void scanLineBreak(TokenKind kind);
  void scanLiteral();
  // Where the literal opening at position ends, and whether it is closed.
  std::int32_t literalEnd(std::int32_t position, bool& closed) const;
  void scanNumber();
  void scanWord();
  void scanComment();
  std::int32_t scanBlockComment(std::int32_t position);
  std::int32_t scanSlashComment(std::int32_t position);
  std::int32_t numberEnd(std::int32_t position) const;

  TqPasToken token_;
  const char* buffer_ = "";
  std::int32_t textLength_ = 0;
  std::int32_t run_ = 0;
  std::int8_t roundDepth_ = 0;
  std::int8_t squareDepth_ = 0;
  CommentState state_ = CommentState::NoComment;
};

}  // namespace parser
