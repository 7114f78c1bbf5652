// The Pascal tokenizer over any bytes: scanning must reach Null in at most
// one token per byte, every token must lie inside the text, in order, and
// keywords must be classified as KeywordKind says; moving back to a place
// where a scan began outside a comment must scan the same token again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "parser/tokenizer.h"

namespace {

using parser::TokenKind;
using parser::TqPasParser;

struct Seen {
  std::int32_t from;  // RunPosition before the scan
  std::int32_t start;
  std::int32_t length;
  TokenKind kind;
};

// A line break takes the byte after its CR, which may be the closing NUL.
bool insideText(const parser::TqPasToken& token, std::int32_t textLength) {
  const bool lineBreak =
      token.Kind() == TokenKind::LineBreak || token.Kind() == TokenKind::CommentLineBreak;
  const std::int32_t end = textLength + (lineBreak ? 1 : 0);
  return token.Start() >= 0 && token.Length() >= 0 && token.Start() + token.Length() <= end;
}

void checkWord(const parser::TqPasToken& token) {
  if (token.Kind() != TokenKind::Identifier && !parser::IsKeyword(token.Kind())) return;
  fuzzing::check(parser::KeywordKind(token.TokenView()) == token.Kind(),
                 "a word's kind differs from KeywordKind");
}

// Scans to Null, checking each token; returns the tokens whose scan began
// outside a comment, with the place it began (where a holder may move back
// to: a block comment can skip line feeds before its token starts).
std::vector<Seen> scanAll(TqPasParser& tokenizer) {
  std::vector<Seen> restartable;
  const std::int32_t length = tokenizer.textLength();
  std::int32_t previousStart = 0;
  for (std::int32_t count = 0;; ++count) {
    fuzzing::check(count <= length + 1, "more tokens than bytes: the scan does not advance");
    const bool outsideComment = tokenizer.commentState() == TqPasParser::CommentState::NoComment;
    const std::int32_t from = tokenizer.RunPosition();
    tokenizer.Next();
    const parser::TqPasToken& token = tokenizer.Token();
    fuzzing::check(insideText(token, length), "a token reaches outside the text");
    fuzzing::check(token.Start() >= previousStart, "tokens go backwards");
    fuzzing::check(tokenizer.RunPosition() <= length, "RunPosition passes the end of the text");
    checkWord(token);
    previousStart = token.Start();
    if (token.Kind() == TokenKind::Null) break;
    if (outsideComment && restartable.size() < 256) {
      restartable.push_back({from, token.Start(), token.Length(), token.Kind()});
    }
  }
  return restartable;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(fuzzing::asText(data, size));  // std::string adds the closing NUL
  TqPasParser tokenizer;
  tokenizer.SetText(text);
  const std::vector<Seen> restartable = scanAll(tokenizer);

  tokenizer.Next();
  fuzzing::check(tokenizer.Token().Kind() == TokenKind::Null, "Null is not repeated");
  if (tokenizer.commentState() != TqPasParser::CommentState::NoComment) return 0;
  for (std::size_t i = 0; i < restartable.size(); i += 7) {
    const Seen& seen = restartable[i];
    tokenizer.SetPosition(seen.from);
    const parser::TqPasToken& again = tokenizer.Token();
    fuzzing::check(
        again.Kind() == seen.kind && again.Start() == seen.start && again.Length() == seen.length,
        "SetPosition scans a different token");
    // A comment entered here must not leak into the next probe.
    if (tokenizer.commentState() != TqPasParser::CommentState::NoComment) break;
  }
  return 0;
}
