// One reading of one source file: the tokenizer over the file's text, plus
// what the holders need on top of it.
//
// The holders move back to re-read tokens (after a section, after a routine
// name, after a directive list) and skip text for conditional compilation.
// The scanner's bracket depths count every bracket it scans, so re-reading a
// bracket or skipping one would leave them wrong for the rest of the file;
// they are also 8-bit counters, which read 0 again inside 256 nested
// brackets. The reader therefore keeps depths of its own, 32 bits wide, set
// back on each rewind and skip, and re-reads from a mark instead of
// re-scanning the byte before it.
//
// The reader owns the text. It also remembers which include directives of
// its file have been carried out, so that a directive read a second time
// after a rewind is not carried out again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "parser/tokenizer.h"

namespace holders {

using parser::TokenKind;
using parser::TokenKinds;

// CR LF for every line end: an LF without a CR before it and a CR without
// an LF after it included. The tokenizer reads a file with other line ends
// differently (a // comment would run on to the next CR).
std::string normalizeLineEnds(std::string_view text);

// The file's text (resolved ignoring case) with its line ends made CR LF.
// Throws platform::FileError.
std::string readSourceFile(std::string_view path);
// The file's bytes as they are, in a buffer the thread keeps: valid until the
// thread's next readRawSourceFile or readSourceFile. Throws
// platform::FileError.
std::string_view readRawSourceFile(std::string_view path);

// The names the include directives of the text ("{$I name}", "{$INCLUDE
// name}") give, as written, found without reading the text as Pascal:
// directives inside comments or skipped by conditions count too. Tells how
// much more than its own text reading a file takes, and which files it shares
// with others.
std::vector<std::string_view> includedNames(std::string_view text);

class SourceReader {
 public:
  // A place to read from again: the position of a token and the depths
  // before it.
  struct Mark {
    std::int32_t position = 0;
    std::int32_t round = 0;
    std::int32_t square = 0;
  };

  // path names the file for include bookkeeping; it may be empty.
  explicit SourceReader(std::string text, std::string path = {});
  SourceReader(const SourceReader&) = delete;
  SourceReader& operator=(const SourceReader&) = delete;

  void Next();
  // Moves to the next BraceComment token (a whole one or a line of one) or
  // to Null, as Next would, but without making the tokens between or
  // counting their brackets: for text a directive skips.
  void NextBraceComment();
  // Next, passing over tokens that a statement block being skipped does not
  // look at (its brackets still counted): the token reached may be any, but
  // no comment, begin, case, try, asm or end is passed.
  void NextStatementMark();
  // None while a rewound token waits to be read again.
  TokenKind Kind() const { return pending_ ? TokenKind::None : scanner_->Token().Kind(); }
  std::string TokenText() const { return std::string(TokenView()); }
  std::string_view TokenView() const;
  std::int32_t TokenStart() const { return scanner_->Token().Start(); }
  bool IsJunk() const { return !pending_ && scanner_->IsJunk(); }

  std::int32_t RunPosition() const;
  std::int32_t RoundDepth() const { return pending_ ? pendingMark_.round : round_; }
  std::int32_t SquareDepth() const { return pending_ ? pendingMark_.square : square_; }

  // The place after the current token: the next Next reads from here.
  Mark markNext() const;
  // The place of the current token, so that the next Next reads it again.
  Mark markCurrent() const;
  // The next Next reads the token at the mark, with the depths as they were
  // there.
  void rewind(const Mark& mark);
  // Sets the depths back, undoing the brackets of a stretch just skipped.
  void restoreDepths(std::int32_t round, std::int32_t square);

  // The kind of the next token that is not a blank, line break or comment,
  // without moving and without acting on comments. Only Colon, Equal, Comma,
  // Lower and Null are told apart; any other token reads as Identifier. With
  // stopAtDirective, a brace directive on the way ends the look as
  // BraceComment, since what follows it may be skipped.
  TokenKind peekSignificant(bool stopAtDirective = false) const;

  const std::string& path() const { return path_; }
  // True the first time an include directive at this position is seen.
  bool firstIncludeAt(std::int32_t position) { return includesDone_.insert(position).second; }

 private:
  std::string text_;
  std::string path_;
  std::unique_ptr<parser::TqPasParser> scanner_;
  // Adds the brackets of the token just scanned to the depths.
  void countBrackets();

  std::int32_t round_ = 0;
  std::int32_t square_ = 0;
  bool pending_ = false;
  Mark pendingMark_;
  std::unordered_set<std::int32_t> includesDone_;
};

}  // namespace holders
