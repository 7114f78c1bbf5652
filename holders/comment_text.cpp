#include "holders/comment_text.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/byte_search.h"
#include "platform/text.h"

namespace holders {
namespace {

// What ends a word of a description: a delimiter, which is a part of its
// own, or the '<' of a tag. Looked up by table: every byte of every
// description passes through this test.
enum : std::uint8_t { kDelimiter = 1, kWordEnd = 2 };

constexpr std::array<std::uint8_t, 256> kWordEnds = [] {
  std::array<std::uint8_t, 256> ends{};
  for (const char c : std::string_view(" !(),.:;[]^")) {
    ends[static_cast<unsigned char>(c)] = kDelimiter | kWordEnd;
  }
  ends['<'] = kWordEnd;
  return ends;
}();

bool isDelimiter(char c) {
  return (kWordEnds[static_cast<unsigned char>(c)] & kDelimiter) != 0;
}

bool endsWord(char c) {
  return (kWordEnds[static_cast<unsigned char>(c)] & kWordEnd) != 0;
}

}  // namespace

std::string_view DirectiveText(std::string_view text) {
  std::string_view result = platform::trimmedView(text);
  if (!result.empty() && result.front() == '{') result = platform::trimmedView(result.substr(1));
  if (result.empty() || result.front() != '$') return {};
  if (result.back() == '}') result.remove_suffix(1);
  return platform::trimmedView(result);
}

std::string_view DirectiveName(std::string_view text) {
  const std::string_view directive = DirectiveText(text);
  return platform::trimmedView(directive.substr(0, directive.find(' ')));
}

std::string_view DirectiveArgument(std::string_view text) {
  const std::string_view directive = DirectiveText(text);
  const size_t blank = directive.find(' ');
  const std::string_view rest = platform::trimmedView(
      blank == std::string_view::npos ? directive : directive.substr(blank + 1));
  return platform::trimmedView(rest.substr(0, rest.find(' ')));
}

size_t PlainTextPart(std::string_view text) {
  if (text.empty() || text.front() == '<') return 0;
  if (isDelimiter(text.front())) return 1;
  size_t run = 1;
  while (run < text.size() && !endsWord(text[run])) ++run;
  // A '<' that is literal ("<<", or the last byte) joins the word.
  const bool literalFollows = run < text.size() && (run + 1 == text.size() || text[run + 1] == '<');
  return literalFollows ? 0 : run;
}

int NextTextPart(std::string_view& text, std::string& part) {
  part.clear();
  if (text.empty()) return kNoPart;
  bool inTag = false;
  while (!text.empty()) {
    const char c = text.front();
    if (inTag) {
      // A tag runs to its '>'; one left open is a word of what follows '<'.
      const size_t close = text.find('>');
      part.append(text.substr(0, close));
      if (close == std::string_view::npos) {
        text = {};
        return kWordPart;
      }
      text.remove_prefix(close + 1);
      return kTagPart;
    }
    if (c == '<') {
      if (text.size() == 1 || text[1] == '<') {
        part += '<';
        text.remove_prefix(text.size() == 1 ? 1 : 2);
      } else if (!part.empty()) {
        return kWordPart;
      } else {
        inTag = true;
        text.remove_prefix(1);
      }
    } else if (isDelimiter(c)) {
      if (part.empty()) {
        part = c;
        text.remove_prefix(1);
      }
      return kWordPart;
    } else {
      // Copies the run of word bytes up to the next '<' or delimiter.
      size_t run = 1;
      while (run < text.size() && !endsWord(text[run])) ++run;
      part.append(text.substr(0, run));
      text.remove_prefix(run);
    }
  }
  return kWordPart;
}

std::string ReadToEndTag(std::string_view& text, std::string_view tagName) {
  const std::string endTag = "/" + platform::upperCase(tagName);
  std::string inner;
  std::string part;
  for (;;) {
    const int result = NextTextPart(text, part);
    if (result == kNoPart) break;
    if (result == kTagPart && platform::upperCase(part) == endTag) break;
    inner += part;
  }
  return inner;
}

std::string JoinLines(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    if (c == '\r') {
      result += ' ';
    } else if (c != '\n') {
      result += c;
    }
  }
  return result;
}

std::string joinLinesCollapsingBlanks(std::string_view text) {
  std::string result;
  appendLinesCollapsingBlanks(text, result);
  return result;
}

void appendLinesCollapsingBlanks(std::string_view text, std::string& out) {
  // Written through a pointer into room made once: every description read
  // passes through here. Sixteen bytes without a line end and without two
  // blanks in a row (most of a description's text) are copied as they are.
  const size_t start = out.size();
  out.resize(start + text.size());
  char* const begin = out.data() + start;
  char* to = begin;
  char last = '\0';
  size_t at = 0;
  while (at < text.size()) {
    if (text.size() - at >= 17 && !(last == ' ' && text[at] == ' ')) {
      const platform::Bytes16 bytes = platform::load16(text.data() + at);
      const platform::Bytes16 next = platform::load16(text.data() + at + 1);
      const size_t plain = platform::firstMarked((bytes == '\r') | (bytes == '\n') |
                                                 ((bytes == ' ') & (next == ' ')));
      if (plain > 0) {
        std::memcpy(to, text.data() + at, plain);
        to += plain;
        at += plain;
        last = text[at - 1];
        continue;
      }
    }
    char c = text[at++];
    if (c == '\n') continue;
    if (c == '\r') c = ' ';
    if (c == ' ' && last == ' ') continue;
    *to++ = c;
    last = c;
  }
  out.resize(start + static_cast<size_t>(to - begin));
}

}  // namespace holders
