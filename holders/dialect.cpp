#include "holders/dialect.h"

#include <cstdint>
#include <cstring>

namespace holders {

namespace {

// Whether a byte of the eight in `word` is '\\', '{', '}' or above 127.
bool holdsRtfSpecial(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighs = 0x8080808080808080;
  const auto holdsByte = [](std::uint64_t bytes, unsigned char c) {
    const std::uint64_t differences = bytes ^ (kOnes * c);
    return ((differences - kOnes) & ~differences & kHighs) != 0;
  };
  return (word & kHighs) != 0 || holdsByte(word, '\\') || holdsByte(word, '{') ||
         holdsByte(word, '}');
}

bool isRtfSpecial(char c) {
  return c == '\\' || c == '{' || c == '}' || static_cast<unsigned char>(c) > 127;
}

// Where the next byte that RTF escapes is, from `from` on. Text is mostly
// plain: eight bytes are ruled out at a time.
size_t nextRtfSpecial(std::string_view text, size_t from) {
  size_t at = from;
  for (; at + 8 <= text.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + at, 8);
    if (holdsRtfSpecial(word)) break;
  }
  while (at < text.size() && !isRtfSpecial(text[at])) ++at;
  return at;
}

}  // namespace

std::string RtfDialect::escape(std::string_view text) const {
  std::string out;
  out.reserve(text.size());
  appendEscaped(out, text);
  return out;
}

void RtfDialect::appendEscaped(std::string& out, std::string_view text) const {
  static constexpr char kHex[] = "0123456789abcdef";
  // Text between the bytes that need escaping is copied in runs.
  size_t copied = 0;
  for (size_t i = nextRtfSpecial(text, 0); i < text.size(); i = nextRtfSpecial(text, i + 1)) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    out.append(text, copied, i - copied);
    copied = i + 1;
    if (byte <= 127) {
      out += '\\';
      out += c;
    } else {
      // RTF readers decode \'hh in the document's code page (1252), which is
      // the code page of the source.
      out += "\\'";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  out.append(text, copied);
}

std::string RtfDialect::recordHead(std::string_view escapedTypeName) const {
  return "type " + std::string(escapedTypeName) + " = record \\par\r\n";
}

std::string RtfDialect::recordField(std::string_view escapedName, std::string_view typeText) const {
  return "{\\plain\\fs16\\tab }" + std::string(escapedName) + ": " + std::string(typeText) +
         ";\\par ";
}

std::string RtfDialect::bitmapReference(std::string_view fileName) const {
  // The braces are escaped on purpose: the help compiler reads the reference
  // as text inside the page, not as an RTF group.
  return "\\{bmcwd " + escape(fileName) + "\\} ";
}

const RtfDialect& RtfDialect::instance() {
  static const RtfDialect dialect;
  return dialect;
}

}  // namespace holders
