#include "holders/dialect.h"

#include <array>

#include "platform/byte_search.h"

namespace holders {

namespace {

// The bytes RTF escapes: '\\', '{', '}' and those above 127.
constexpr std::array<bool, 256> kRtfSpecial = [] {
  std::array<bool, 256> special{};
  special['\\'] = special['{'] = special['}'] = true;
  for (int c = 128; c < 256; ++c) special[c] = true;
  return special;
}();

// Where the next byte that RTF escapes is, from `from` on. Text is mostly
// plain: sixteen bytes are ruled out at a time.
size_t nextRtfSpecial(std::string_view text, size_t from) {
  size_t at = from;
  while (text.size() - at >= 16) {
    const platform::Bytes16 bytes = platform::load16(text.data() + at);
    const size_t plain =
        platform::firstMarked((bytes == '\\') | (bytes == '{') | (bytes == '}') | (bytes > 127));
    at += plain;
    if (plain < 16) return at;
  }
  while (at < text.size() && !kRtfSpecial[static_cast<unsigned char>(text[at])]) ++at;
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

std::string_view RtfDialect::escapeView(std::string_view text, std::string& scratch) const {
  // Names and most language texts hold nothing to escape.
  if (nextRtfSpecial(text, 0) == text.size()) return text;
  scratch.clear();
  appendEscaped(scratch, text);
  return scratch;
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
