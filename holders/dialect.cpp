#include "holders/dialect.h"

namespace holders {

std::string RtfDialect::escape(std::string_view text) const {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  // Text between the bytes that need escaping is copied in runs.
  size_t copied = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (c != '\\' && c != '{' && c != '}' && byte <= 127) continue;
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
  return out;
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
