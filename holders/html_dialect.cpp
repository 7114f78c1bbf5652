#include "holders/html_dialect.h"

namespace holders {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code points of bytes 0x80-0x9F; 0 where the code page defines none.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

char32_t codePoint(unsigned char byte) {
  if (byte < 0x20) return byte == '\t' || byte == '\n' || byte == '\r' ? byte : kReplacement;
  if (byte < 0x80 || byte >= 0xA0) return byte;
  const char32_t mapped = kHighControls[byte - 0x80];
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
