#include "config-ui/ansi_text.h"

#include <array>

namespace vantro {
namespace {

// The code points of bytes 0x80 to 0x9F; zero marks the five unassigned bytes,
// which map to the C1 control of the same value. The other bytes are Latin-1.
constexpr std::array<char16_t, 32> kHighBlock = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t codePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F && kHighBlock[byte - 0x80] != 0) return kHighBlock[byte - 0x80];
  return byte;
}

char ansiByte(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (size_t i = 0; i < kHighBlock.size(); ++i) {
    if (kHighBlock[i] == unit || (kHighBlock[i] == 0 && unit == 0x80 + i))
      return static_cast<char>(0x80 + i);
  }
  return '?';
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
