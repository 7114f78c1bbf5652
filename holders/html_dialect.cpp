#include "holders/html_dialect.h"

#include "platform/text.h"

namespace holders {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

char32_t codePoint(unsigned char byte) {
  if (byte < 0x20) return byte == '\t' || byte == '\n' || byte == '\r' ? byte : kReplacement;
  if (byte < 0x80 || byte >= 0xA0) return byte;
  const char32_t mapped = platform::windows1252CodePoint(byte);
  return mapped != 0 ? mapped : kReplacement;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) appendUtf8(out, codePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string escapeMarkup(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string HtmlDialect::escape(std::string_view text) const {
  return windows1252ToUtf8(escapeMarkup(text));
}

std::string HtmlDialect::recordHead(std::string_view escapedTypeName) const {
  return "type " + std::string(escapedTypeName) + " = record<br>";
}

std::string HtmlDialect::recordField(std::string_view escapedName,
                                     std::string_view typeText) const {
  return "  " + std::string(escapedName) + ": " + std::string(typeText) + ";<br>";
}

std::string HtmlDialect::bitmapReference(std::string_view fileName) const {
  return "<img class=\"bitmap\" src=\"" + escape(fileName) + "\" alt=\"\"> ";
}

}  // namespace holders
