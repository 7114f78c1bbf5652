// Runs the tokenizer over every Pascal file of the Free Pascal sources: it must
// reach Null on each, and the token texts must give the file back byte for
// byte, apart from exactly the bytes that the scanning rules drop.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "parser/tokenizer.h"
#include "platform/sanitized.h"
#include "tests/support/fpc_sources.h"
#include "tests/support/test_support.h"

namespace parser {
namespace {

#ifdef KORVEX_ASAN
constexpr std::size_t kSampleEvery = 4;  // sanitized code is several times slower
#else
constexpr std::size_t kSampleEvery = 1;
#endif

// Every line end (CR LF, LF alone, CR alone) becomes CR LF.
std::string toCrLf(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16);
  std::size_t from = 0;
  for (std::size_t end; (end = bytes.find_first_of("\r\n", from)) != std::string_view::npos;) {
    out.append(bytes.substr(from, end - from)).append("\r\n");
    from = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return out.append(bytes.substr(from));
}

// What the token texts of CR LF text must join to, worked out without the
// tokenizer: the text up to its first NUL, less the LF after every literal
// that a CR cuts off. That is the only byte the rules drop, since every other
// CR forms a line-break token that carries its LF. The scan follows only what
// decides where comments and literals are; note that the scanner closes a
// "(*" comment at a "*)" that shares its star.
std::string expectedTokenTexts(std::string_view text, std::size_t& dropped) {
  text = text.substr(0, text.find('\0'));
  std::string out;
  out.reserve(text.size());
  const auto find = [&](std::size_t from, std::string_view what) {
    const std::size_t at = text.find(what, from);
    return at == std::string_view::npos ? text.size() : at + what.size();
  };
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = i + 1;
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] == '{') {
      end = find(i, "}");
    } else if (text[i] == '(' && next == '*') {
      end = find(i + 1, "*)");
    } else if (text[i] == '/' && next == '/') {
      end = std::min(text.size(), text.find('\r', i));
    } else if (text[i] == '\'') {
      end = std::min(text.size() - 1, text.find_first_of("'\r\n", i + 1)) + 1;
      if (text[end - 1] == '\r' && end < text.size() && text[end] == '\n') {
        out.append(text.substr(i, end - i));
        ++dropped;
        i = end + 1;
        continue;
      }
    }
    out.append(text.substr(i, end - i));
    i = end;
  }
  return out;
}

struct FileResult {
  std::string joined;  // the token texts in order
  std::size_t tokens = 0;
  std::string fault;  // empty when the scan behaved
};

// Scans text (NUL-terminated) to Null, checking each step's position rules.
FileResult scanFile(const std::string& text) {
  FileResult result;
  result.joined.reserve(text.size());
  TqPasParser parser;
  parser.SetText(text);
  const std::size_t limit = 2 * text.size() + 16;  // a scan that stalls cannot hang the test
  for (std::size_t step = 0; step < limit; ++step) {
    const std::int32_t before = parser.RunPosition();
    parser.Next();
    const TqPasToken& token = parser.Token();
    if (token.Kind() == TokenKind::Null) return result;
    const bool lineBreak =
        token.Kind() == TokenKind::LineBreak || token.Kind() == TokenKind::CommentLineBreak;
    const std::int32_t end = token.Start() + (lineBreak ? 1 : token.Length());
    if (token.Start() < before || parser.RunPosition() != end || parser.RunPosition() <= before) {
      result.fault = "bad positions at " + std::to_string(token.Start()) + " (" +
                     std::string(TokenName(token.Kind())) + ")";
      return result;
    }
    result.joined.append(token.TokenView());
    ++result.tokens;
  }
  result.fault = "no Null after " + std::to_string(limit) + " steps";
  return result;
}

std::string firstDifference(const std::string& expected, const std::string& actual) {
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  const std::size_t from = at < 20 ? 0 : at - 20;
  return "first difference at byte " + std::to_string(at) + ": expected \"" +
         expected.substr(from, 40) + "\", got \"" + actual.substr(from, 40) + "\"";
}

TEST(TokenizerCorpus, FreePascalSourcesComeBackFromTheirTokens) {
  const std::optional<std::string> root = testing_support::fpcSourceRoot();
  if (!root) {
    GTEST_SKIP() << "No fpc-source package is installed (dpkg knows none), so the corpus "
                    "of Free Pascal sources is not available; install fpc-source to run this.";
  }
  const std::vector<std::string> files = testing_support::fpcSourceFiles(*root, {".pp", ".pas"});
  ASSERT_FALSE(files.empty()) << "no .pp or .pas files below " << *root;

  const auto started = std::chrono::steady_clock::now();
  std::size_t scanned = 0, bytes = 0, tokens = 0, dropped = 0, withNul = 0, failures = 0;
  for (std::size_t i = 0; i < files.size(); i += kSampleEvery) {
    const std::string text = toCrLf(testing_support::readBytes(files[i]));
    const FileResult result = scanFile(text);
    std::size_t droppedHere = 0;
    const std::string expected = expectedTokenTexts(text, droppedHere);
    if (!result.fault.empty() || result.joined != expected) {
      if (++failures <= 10) {
        ADD_FAILURE() << files[i] << ": "
                      << (result.fault.empty() ? firstDifference(expected, result.joined)
                                               : result.fault);
      }
      continue;
    }
    ++scanned;
    bytes += text.size();
    tokens += result.tokens;
    dropped += droppedHere;
    withNul += text.find('\0') != std::string::npos ? 1 : 0;
  }
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  EXPECT_EQ(0U, failures) << "files that failed (at most 10 shown)";
  std::cout << "[ corpus   ] " << *root << ": " << scanned << " of " << files.size()
            << " files scanned";
  if (kSampleEvery > 1) {
    std::cout << " (every " << kSampleEvery << "th file only: sanitizer build)";
  }
  std::cout << ", " << bytes << " bytes, " << tokens << " tokens, " << dropped
            << " LFs dropped after cut-off literals, " << withNul << " files with a NUL, "
            << seconds << " s\n";
}

}  // namespace
}  // namespace parser
