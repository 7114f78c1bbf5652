#include "config-ui/ansi_text.h"

#include "platform/text.h"

namespace vantro {
namespace {

// The five bytes of 0x80..0x9F that the code page leaves unassigned map to
// the C1 control of the same value; everything else as the code page says.
char16_t codePoint(unsigned char byte) {
  const char32_t mapped = platform::windows1252CodePoint(byte);
  return mapped != 0 ? static_cast<char16_t>(mapped) : byte;
}

char ansiByte(char16_t unit) {
  const int byte = platform::windows1252Byte(unit);
  if (byte >= 0) return static_cast<char>(byte);
  const bool unassigned = unit >= 0x80 && unit <= 0x9F && platform::windows1252CodePoint(unit) == 0;
  return unassigned ? static_cast<char>(unit) : '?';
}

}  // namespace

QString fromAnsi(std::string_view text) {
  QString result;
  result.reserve(static_cast<qsizetype>(text.size()));
  for (char c : text) result.append(QChar(codePoint(static_cast<unsigned char>(c))));
  return result;
}

std::string toAnsi(const QString& text) {
  std::string result;
  result.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    QChar c = text.at(i);
    // A surrogate pair is one character outside the code page: one '?'.
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
    result += ansiByte(c.unicode());
  }
  return result;
}

}  // namespace vantro
