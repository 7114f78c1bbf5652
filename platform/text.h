// Text rules of the Windows-1252 code page, which all of Korvex's text uses.
//
// Strings hold single bytes; nothing here converts to or from UTF-8. Every
// case-insensitive comparison in the programs goes through compareText so that
// sorted lists, lookups and file-name matching agree with each other.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

// Hashes a std::string and a std::string_view alike, so that a map keyed by
// std::string is searched with a string_view, without copying it.
struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};
template <typename Value>
using TextMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;

namespace detail {

constexpr std::array<unsigned char, 256> makeUpperTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c - 32);
  // Accented small letters à..þ map 32 places down, except the division sign.
  for (int c = 0xE0; c <= 0xFE; ++c) {
    if (c != 0xF7) table[c] = static_cast<unsigned char>(c - 32);
  }
  table[0x9A] = 0x8A;  // š -> Š
  table[0x9C] = 0x8C;  // œ -> Œ
  table[0x9E] = 0x8E;  // ž -> Ž
  table[0xFF] = 0x9F;  // ÿ -> Ÿ
  return table;
}

inline constexpr std::array<unsigned char, 256> kUpper = makeUpperTable();

}  // namespace detail

// The upper-case form of one byte: ASCII letters and the accented Latin
// letters of Windows-1252; every other byte is returned unchanged. Inline:
// every case-insensitive hash and comparison calls it once per byte.
inline unsigned char upperChar(unsigned char c) {
  return detail::kUpper[c];
}
std::string upperCase(std::string_view text);

// The Unicode code point of a Windows-1252 byte; 0 for the five bytes of
// 0x80..0x9F that the code page leaves unassigned.
char32_t windows1252CodePoint(unsigned char byte);
// The Windows-1252 byte of a code point, or -1 when the code page has none.
int windows1252Byte(char32_t codePoint);

// Removes every byte <= 32 (control bytes and blanks) from both ends.
std::string trim(std::string_view text);
// The same without a copy: the trimmed part of text.
std::string_view trimmedView(std::string_view text);
// Trims text where it stands.
void trimInPlace(std::string& text);

// Orders by the upper-cased forms, byte by byte: <0, 0 or >0.
int compareText(std::string_view a, std::string_view b);
bool sameText(std::string_view a, std::string_view b);
inline bool lessText(std::string_view a, std::string_view b) {
  return compareText(a, b) < 0;
}
// The first 8 bytes of text upper-cased, the first as the highest, padded
// with zeros. Keys that differ order as compareText orders the texts (a zero
// of padding marks a text that is a prefix of the other); equal keys leave
// the order to compareText. Sorting by key first saves most comparisons.
std::uint64_t textSortKey(std::string_view text);

// Splits text into lines, accepting CR LF, LF and CR line ends. A final line
// end does not start another (empty) line.
std::vector<std::string> splitLines(std::string_view text);

// Joins lines, each followed by CR LF, as the programs write every text file.
std::string joinLinesCrLf(const std::vector<std::string>& lines);

// True when a link starts with a URL scheme ("https:", "mailto:", "ms-its:"):
// letters, digits, '+', '-' and '.' after a first letter, then a colon. Such a
// link leaves a generated site; anything else names a file in it.
bool hasUrlScheme(std::string_view link);

}  // namespace platform
