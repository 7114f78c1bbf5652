#include "parser/tokenizer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace parser {
namespace {

// Bytes that would be invisible in a failure message are shown escaped.
std::string escaped(std::string_view text) {
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 32 || c >= 127) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += ch;
    }
  }
  return out;
}

// Kinds whose text is always the same are shown by name alone.
bool showsText(TokenKind kind) {
  if (IsKeyword(kind)) return false;
  const TokenKinds fixed{
      TokenKind::RoundOpen, TokenKind::RoundClose, TokenKind::Assign,  TokenKind::Colon,
      TokenKind::Semicolon, TokenKind::Comma,      TokenKind::Point,   TokenKind::Plus,
      TokenKind::Minus,     TokenKind::Star,       TokenKind::Equal,   TokenKind::NotEqual,
      TokenKind::Lower,     TokenKind::LowerEqual, TokenKind::Greater, TokenKind::GreaterEqual};
  return !fixed.contains(kind);
}

std::string describe(const TqPasToken& token) {
  std::string out(TokenName(token.Kind()));
  if (showsText(token.Kind())) out += "(" + escaped(token.TokenView()) + ")";
  return out;
}

// The tokens of text up to Null, one-line serialised: "Number(1) Point".
std::string scan(TqPasParser& parser, const std::string& text) {
  parser.SetText(text);
  std::string out;
  for (std::size_t step = 0; step <= text.size() + 1; ++step) {
    parser.Next();
    if (parser.Token().Kind() == TokenKind::Null) return out;
    out += (out.empty() ? "" : " ") + describe(parser.Token());
  }
  return out + " <no Null>";
}

std::string scan(const std::string& text) {
  TqPasParser parser;
  return scan(parser, text);
}

struct StreamCase {
  std::string input;
  std::string tokens;
  const char* why;
};

void expectStreams(const std::vector<StreamCase>& cases) {
  for (const StreamCase& row : cases) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(row.tokens, scan(row.input)) << "input: " << escaped(row.input);
  }
}

// The brace-comment tokens of text, with where they start, as Next alone
// finds them or with SkipToBraceComment before each Next; then the comment
// state at the end.
std::string braceComments(const std::string& text, bool skipping) {
  TqPasParser parser;
  parser.SetText(text);
  std::string out;
  for (std::size_t step = 0; step <= text.size() + 1; ++step) {
    if (skipping) parser.SkipToBraceComment();
    parser.Next();
    const TqPasToken& token = parser.Token();
    if (token.Kind() == TokenKind::Null) {
      return out + " end " + std::to_string(static_cast<int>(parser.commentState()));
    }
    if (token.Kind() == TokenKind::BraceComment) {
      out += " " + std::to_string(token.Start()) + ":" + escaped(token.TokenView());
    }
  }
  return out + " <no Null>";
}

TEST(SkipToBraceComment, FindsTheBraceCommentsNextFinds) {
  const std::vector<std::string> cases = {
      "a {$IFDEF X} b",
      "s := '{not}'; {yes}",
      "(* { *) {yes} (*) {no *) {yes}",
      "// {no}\r\n{yes}",
      "'unterminated {\r\n{yes}",
      "'''{' {yes} 'it''s{' {yes}",
      "{line one\r\nline two} x {$ELSE}",
      "(* never closed {no}",
      "// last line {no}",
      "#123{yes}$FF{yes}(.{yes}.)",
  };
  for (const std::string& text : cases) {
    EXPECT_EQ(braceComments(text, true), braceComments(text, false)) << escaped(text);
  }
  // Random texts of the bytes that open, close or hide comments and literals.
  std::mt19937 random(20261210);
  const std::string bytes = "{}()*/'\r\n$# aI.";
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 40, ' ');
    for (char& c : text) c = bytes[random() % bytes.size()];
    ASSERT_EQ(braceComments(text, true), braceComments(text, false)) << escaped(text);
  }
}

// The tokens a statement block passed over must not lose: comments, the
// words that open or close a block, and the end of the text.
bool isStatementMarkToken(TokenKind kind) {
  constexpr TokenKinds kMarks{TokenKind::Null,
                              TokenKind::AnsiComment,
                              TokenKind::BraceComment,
                              TokenKind::SlashComment,
                              TokenKind::CommentLineBreak,
                              TokenKind::Asm,
                              TokenKind::Begin,
                              TokenKind::Case,
                              TokenKind::End,
                              TokenKind::Try};
  return kMarks.contains(kind);
}

struct ReachedToken {
  std::int32_t start;
  TokenKind kind;
  std::int32_t length;
  int round;  // the depths after it, summed unwrapped from the changes
  int square;
  int scannerRound;  // and as the scanner keeps them
  int scannerSquare;
  bool operator==(const ReachedToken&) const = default;
};

// Each token of text as Next makes it, or only those reached with
// SkipToStatementMark before each Next.
std::vector<ReachedToken> statementTokens(const std::string& text, bool skipping) {
  TqPasParser parser;
  parser.SetText(text);
  std::vector<ReachedToken> out;
  int round = 0;
  int square = 0;
  for (std::size_t step = 0; step <= text.size() + 1; ++step) {
    if (skipping) {
      const TqPasParser::DepthChange change = parser.SkipToStatementMark();
      round += change.round;
      square += change.square;
    }
    parser.Next();
    const TqPasToken& token = parser.Token();
    const bool single = token.Length() == 1;
    if (token.Kind() == TokenKind::RoundOpen) ++round;
    if (token.Kind() == TokenKind::RoundClose) --round;
    if (token.Kind() == TokenKind::SquareOpen && single) ++square;
    if (token.Kind() == TokenKind::SquareClose && single) --square;
    out.push_back({token.Start(), token.Kind(), token.Length(), round, square, parser.RoundDepth(),
                   parser.SquareDepth()});
    if (token.Kind() == TokenKind::Null) break;
  }
  return out;
}

// Whether the skipping scan reached only tokens of the full one, with the
// same depths, and every mark among them.
::testing::AssertionResult skipsOnlyUnmarkedTokens(const std::string& text) {
  const std::vector<ReachedToken> all = statementTokens(text, false);
  const std::vector<ReachedToken> reached = statementTokens(text, true);
  std::size_t next = 0;
  for (const ReachedToken& token : all) {
    if (next < reached.size() && reached[next] == token) {
      ++next;
    } else if (isStatementMarkToken(token.kind)) {
      return ::testing::AssertionFailure() << "passed " << TokenName(token.kind) << " at "
                                           << token.start << " in " << escaped(text);
    }
  }
  if (next != reached.size()) {
    return ::testing::AssertionFailure()
           << "reached " << TokenName(reached[next].kind) << " at " << reached[next].start
           << " unlike Next in " << escaped(text);
  }
  return ::testing::AssertionSuccess();
}

TEST(SkipToStatementMark, PassesOnlyTokensABlockIgnores) {
  const std::vector<std::string> cases = {
      "x := f(a[1]); begin y end",
      "if a then case b of 1: ; end; try finally end; asm mov eax, 1 end",
      "s := 'end'; {end} (* end *) // end\r\nend",
      "endx xend _end end_ 1end 1.end 1e5end $ABend #13end &end",
      "(. a .) (.) ..) (*) x *) end",
      "'unterminated end\r\nend",
      "BEGIN End CaSe TRY Asm",
      "x (* never closed end",
      "f((((x)))) [[y]] end",
  };
  for (const std::string& text : cases) EXPECT_TRUE(skipsOnlyUnmarkedTokens(text));
  // Random texts of the pieces that make words, numbers, brackets, literals
  // and comments, or end them.
  const std::vector<std::string> pieces = {
      "end", "End", "BEGIN", "case", "try", "asm", "x", "e", "E",  "1",  ".",    "..", "(", ")",
      "[",   "]",   "(.",    ".)",   "(*",  "*)",  "{", "}", "//", "'",  "''",   "#",  "$", "F",
      "\r",  "\n",  " ",     "_",    "&",   "a",   "b", ";", ":=", "\t", "\xE9", "@",  "0"};
  std::mt19937 random(20261210);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (int n = static_cast<int>(random() % 24); n > 0; --n)
      text += pieces[random() % pieces.size()];
    ASSERT_TRUE(skipsOnlyUnmarkedTokens(text));
  }
}

TEST(Tokenizer, PunctuationTakesTheLongestForm) {
  expectStreams({
      {":=:", "Assign Colon", "colon alone after an assignment"},
      {";,.+-*=", "Semicolon Comma Point Plus Minus Star Equal", "single-byte operators"},
      {"<><=<", "NotEqual LowerEqual Lower", "three forms of <"},
      {"<=>>=", "LowerEqual Greater GreaterEqual", "<= does not take the >"},
      {"()[]", "RoundOpen RoundClose SquareOpen([) SquareClose(])", "brackets"},
      {"(..)", "SquareOpen((.) SquareClose(.))", "two-byte square brackets"},
      {"(.)", "SquareOpen((.) RoundClose", "(. wins over ."},
      {"..)", "Point SquareClose(.))", ".) after a point"},
  });
}

TEST(Tokenizer, OtherBytesAreSymbolOrUnknown) {
  expectStreams({
      {"/!\"%&?\\^`~@",
       "Symbol(/) Symbol(!) Symbol(\") Symbol(%) Symbol(&) Symbol(?) Symbol(\\) Symbol(^) "
       "Symbol(`) Symbol(~) Symbol(@)",
       "each symbol byte is a token of its own"},
      {"/ /", "Symbol(/) Space( ) Symbol(/)", "a slash not followed by a slash"},
      {"|}\x7F\x80\xFF", "Unknown(|) Unknown(}) Unknown(\\x7F) Unknown(\\x80) Unknown(\\xFF)",
       "bar, closing brace outside a comment, DEL and high bytes"},
      {"caf\xE9", "Identifier(caf) Unknown(\\xE9)", "accented letters are not word bytes"},
  });
}

TEST(Tokenizer, SpacesAndLineBreaks) {
  expectStreams({
      {"\x01\t\x0B\x0C\x0E\x1F x", "Space(\\x01\\x09\\x0B\\x0C\\x0E\\x1F ) Identifier(x)",
       "every control byte but NUL, LF and CR is space"},
      {" \n ", "Space( ) Space( )", "an LF is skipped, splitting the run"},
      {"a\nb\n\n", "Identifier(a) Identifier(b)", "LF alone never forms a token"},
      {"a\r\nb", "Identifier(a) LineBreak(\\r\\n) Identifier(b)", "CR LF is one line break"},
      {"a\rb", "Identifier(a) LineBreak(\\rb) Identifier(b)",
       "CR alone: the token shows the next byte, which is scanned again"},
      {"\r\r\n", "LineBreak(\\r\\r) LineBreak(\\r\\n)", "two CRs give two line breaks"},
      {"a\r", "Identifier(a) LineBreak(\\r)", "a final CR does not cover the end of text"},
  });
}

TEST(Tokenizer, CommentsComeOutLineByLine) {
  expectStreams({
      {"(*)x", "AnsiComment((*)) Identifier(x)", "(*) is a whole comment"},
      {"(* a *) b", "AnsiComment((* a *)) Space( ) Identifier(b)", "one-line ANSI comment"},
      {"{$IFDEF DEBUG}", "BraceComment({$IFDEF DEBUG})", "directives are brace comments"},
      {"{}{", "BraceComment({}) BraceComment({)", "empty and unterminated"},
      {"(* { *) }", "AnsiComment((* { *)) Space( ) Unknown(})", "{ inside (* *) is text"},
      {"{ (* } *)", "BraceComment({ (* }) Space( ) Star RoundClose", "(* inside { } is text"},
      {"// a (*\r\nb", "SlashComment(// a (*) LineBreak(\\r\\n) Identifier(b)",
       "a CR ends a // comment and becomes a line break"},
      {"// a\nb\nc", "SlashComment(// a\\nb\\nc)", "LF does not end a // comment"},
      {"(* a\r\n  b\r\n\r\n c *)d",
       "AnsiComment((* a) CommentLineBreak(\\r\\n) AnsiComment(  b) CommentLineBreak(\\r\\n) "
       "CommentLineBreak(\\r\\n) AnsiComment( c *)) Identifier(d)",
       "one token per line; an empty line gives only its line break"},
      {"{\r\n}", "BraceComment({) CommentLineBreak(\\r\\n) BraceComment(})", "brace over lines"},
      {"(*\r\n*)", "AnsiComment((*) CommentLineBreak(\\r\\n) AnsiComment(*))",
       "the closing star may start a line"},
      {"(* *\r\n)", "AnsiComment((* *) CommentLineBreak(\\r\\n) AnsiComment())",
       "a star and a parenthesis split by a line break do not close"},
      {"{ a\rb}", "BraceComment({ a) CommentLineBreak(\\rb) BraceComment(b})",
       "CR alone inside a comment"},
      {"{ a\nb }", "BraceComment(b })", "an LF inside a comment restarts the token after it"},
      {"{ a\r\n", "BraceComment({ a) CommentLineBreak(\\r\\n) BraceComment()",
       "an unterminated comment ends with an empty token at the end of text"},
      {"{ a\r", "BraceComment({ a) CommentLineBreak(\\r)", "final CR inside a comment"},
  });
}

// Long comment text is passed many bytes at a time: what ends or splits a
// comment token is found wherever it stands, and so is the end of the text.
TEST(Tokenizer, LongCommentsEndWhereverTheirEndStands) {
  const std::string a(30, 'a');
  const std::string b(30, 'b');
  const std::vector<StreamCase> cases = {
      {"{" + a + "*)" + b + "}x", "BraceComment({" + a + "*)" + b + "}) Identifier(x)",
       "a brace comment is not closed by *)"},
      {"(*" + a + "*" + b + ")}*)x", "AnsiComment((*" + a + "*" + b + ")}*)) Identifier(x)",
       "an ANSI comment is closed only by a star right before a parenthesis"},
      {"{" + a + "\r\n" + b + "}",
       "BraceComment({" + a + ") CommentLineBreak(\\r\\n) BraceComment(" + b + "})",
       "a line break splits the comment"},
      {"{" + a + "\n" + b + "}", "BraceComment(" + b + "})", "an LF restarts the token"},
      {"{" + a + b, "BraceComment({" + a + b + ")", "unterminated up to the end of the text"},
  };
  for (size_t shift = 0; shift <= 17; ++shift) {
    SCOPED_TRACE(shift);
    const std::string spaces(shift, ' ');
    for (const StreamCase& row : cases) {
      SCOPED_TRACE(row.why);
      const std::string expected = shift == 0 ? row.tokens : "Space(" + spaces + ") " + row.tokens;
      EXPECT_EQ(expected, scan(spaces + row.input));
    }
  }
}

TEST(Tokenizer, Literals) {
  expectStreams({
      {"'abc''", "String('abc') BadString(')", "a literal ends at the first quote"},
      {"''", "String('')", "empty literal"},
      {"'it''s'", "String('it') String('s')", "a doubled quote splits the literal"},
      {"''''", "String('''')", "three quotes open a literal holding a quote"},
      {"'''a'", "String('''a')", "quote at the start of a longer literal"},
      {"''''''", "String('''') String('')", "two quotes"},
      {"'{x}(*'", "String('{x}(*')", "no comment starts inside a literal"},
      {"'a\r\nb", "BadString('a\\r) Identifier(b)", "cut at CR: the LF after it is dropped"},
      {"'a\nb", "BadString('a\\n) Identifier(b)", "cut at LF: the LF is taken"},
      {"'a", "BadString('a)", "cut at the end of text"},
      {"'''", "BadString(''')", "three quotes then the end"},
      {"'\r'", "BadString('\\r) BadString(')", "a CR right after the opening quote"},
  });
}

TEST(Tokenizer, NumbersAndCharacterCodes) {
  expectStreams({
      {"1..9", "Number(1) Point Point Number(9)", "a range is not a fraction"},
      {"1.5", "Float(1.5)", "fraction"},
      {"1E5 7e", "Number(1E5) Space( ) Number(7e)", "an exponent keeps the kind"},
      {"1E-5", "Number(1E) Minus Number(5)", "a sign ends the number"},
      {"1.2.3e", "Float(1.2.3e)", "every single point is taken"},
      {"2.)", "Float(2.) RoundClose", "a point before ) belongs to the number"},
      {"0x1F", "Number(0) Identifier(x1F)", "letters other than E end a number"},
      {"#13#10#", "CharCode(#13) CharCode(#10) CharCode(#)", "character codes"},
      {"#$0D", "CharCode(#) HexNumber($0D)", "a hex character code is two tokens"},
      {"$FFaa0g$", "HexNumber($FFaa0) Identifier(g) HexNumber($)", "hex digits, any case"},
  });
}

TEST(Tokenizer, WordsAndKeywords) {
  expectStreams({
      {"_a1 B_2", "Identifier(_a1) Space( ) Identifier(B_2)", "words take digits and _"},
      {"begin END;", "Begin Space( ) End Semicolon", "keywords in any case"},
      {"string strings", "StringKeyword Space( ) Identifier(strings)", "STRING keyword"},
      {"Overload on", "Identifier(Overload) Space( ) Identifier(on)", "not in the table"},
  });
}

TEST(Tokenizer, TextEndsAtTheFirstNul) {
  expectStreams({
      {"", "", "the NUL alone"},
      {std::string("a\0b", 3), "Identifier(a)", "nothing after an embedded NUL is seen"},
  });
}

TEST(Tokenizer, NullRepeatsAndChangesNothing) {
  TqPasParser parser;
  parser.Next();  // no text set yet: an empty one
  EXPECT_EQ(TokenKind::Null, parser.Token().Kind());

  const std::string text = "x { open";
  EXPECT_EQ("Identifier(x) Space( ) BraceComment({ open)", scan(parser, text));
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TokenKind::Null, parser.Token().Kind());
    EXPECT_EQ(8, parser.Token().Start());
    EXPECT_EQ(0, parser.Token().Length());
    EXPECT_EQ(8, parser.RunPosition());
    EXPECT_EQ(TqPasParser::CommentState::InBraceComment, parser.commentState());
    parser.Next();
  }
}

TEST(Tokenizer, RunPositionIsTheTokenEndExceptAfterALineBreak) {
  const std::string text = "a := 'b'; (* c\r\n d *) {e}\r\n// f\r\n";
  TqPasParser parser;
  parser.SetText(text);
  for (parser.Next(); parser.Token().Kind() != TokenKind::Null; parser.Next()) {
    const TqPasToken& token = parser.Token();
    SCOPED_TRACE(describe(token));
    const bool lineBreak =
        token.Kind() == TokenKind::LineBreak || token.Kind() == TokenKind::CommentLineBreak;
    EXPECT_EQ(token.Start() + (lineBreak ? 1 : token.Length()), parser.RunPosition());
    EXPECT_EQ(text.substr(static_cast<std::size_t>(token.Start()),
                          static_cast<std::size_t>(token.Length())),
              token.TokenText());
  }
}

TEST(Tokenizer, DepthsCountBracketTokensAndWrapAtEightBits) {
  struct Row {
    std::string input;
    int round;
    int square;
    const char* why;
  } rows[] = {
      {"((x)", 1, 0, "round brackets"},
      {"))", -2, 0, "unbalanced text goes negative"},
      {"[[]", 0, 1, "square brackets"},
      {"(. [ .)", 0, 1, "(. and .) do not count"},
      {"(* ( *) { [ } '(' // [", 0, 0, "brackets in comments and literals do not count"},
      {std::string(128, '('), -128, 0, "127 + 1 wraps to -128"},
      {std::string(256, '['), 0, 0, "256 steps wrap to 0"},
      {std::string(129, ')'), 127, 0, "-128 - 1 wraps to 127"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    TqPasParser parser;
    scan(parser, row.input);
    EXPECT_EQ(row.round, parser.RoundDepth());
    EXPECT_EQ(row.square, parser.SquareDepth());
  }
}

TEST(Tokenizer, SetPositionRereadsWithoutResettingState) {
  const std::string text = "Foo(a, b);";
  TqPasParser parser;
  parser.SetText(text);
  parser.Next();
  const std::int32_t mark = parser.RunPosition();
  parser.Next();
  EXPECT_EQ(1, parser.RoundDepth());
  parser.Next();
  parser.SetPosition(mark);
  EXPECT_EQ(TokenKind::RoundOpen, parser.Token().Kind());
  EXPECT_EQ(2, parser.RoundDepth()) << "depths are not reset";
  parser.Next();
  EXPECT_EQ("a", parser.Token().TokenText());

  parser.SetPosition(-3);
  EXPECT_EQ("Foo", parser.Token().TokenText()) << "clamped to the start";
  parser.SetPosition(1000);
  EXPECT_EQ(TokenKind::Null, parser.Token().Kind()) << "clamped to the end";
  EXPECT_EQ(10, parser.Token().Start());
}

TEST(Tokenizer, SetTextStartsAFreshTokenButKeepsTheCommentState) {
  const std::string longer = "a_rather_long_identifier";
  const std::string shorter = "x";
  TqPasParser parser;
  parser.SetText(longer);
  parser.Next();
  parser.SetText(shorter);  // the old token must not reach past the new text
  EXPECT_EQ(TokenKind::None, parser.Token().Kind());
  EXPECT_EQ("", parser.Token().TokenView());

  const std::string first = "{ a";
  const std::string second = "b } c";
  scan(parser, first);
  EXPECT_EQ("BraceComment(b }) Space( ) Identifier(c)", scan(parser, second));
}

TEST(Tokenizer, IsJunkForBlanksLineBreaksAndComments) {
  struct Row {
    std::string input;
    int skip;  // tokens to pass before the one checked
    bool junk;
  } rows[] = {
      {" ", 0, true},       {"\r\n", 0, true}, {"{\r\n}", 1, true}, {"{a}", 0, true},
      {"(*a*)", 0, true},   {"//a", 0, true},  {"a", 0, false},     {"'a'", 0, false},
      {"'a\r\n", 0, false}, {";", 0, false},   {"begin", 0, false}, {"\x80", 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(escaped(row.input));
    TqPasParser parser;
    parser.SetText(row.input);
    for (int i = 0; i <= row.skip; ++i) parser.Next();
    EXPECT_EQ(row.junk, parser.IsJunk());
  }
}

template <typename Text>
constexpr bool canSetText = requires(TqPasParser& parser) {
  parser.SetText(std::declval<Text>());
};

TEST(Tokenizer, ANewTokenHasKindNoneAndNoText) {
  TqPasParser parser;
  EXPECT_EQ(TokenKind::None, parser.Token().Kind());
  EXPECT_EQ("", parser.Token().TokenText());
  // A temporary string would die before the first Next.
  static_assert(!canSetText<std::string>);
  static_assert(canSetText<const std::string&> && canSetText<const char*>);
}

}  // namespace
}  // namespace parser
