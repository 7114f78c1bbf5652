#include "platform/text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace platform {
namespace {

// Code points of bytes 0x80..0x9F; 0 where the code page assigns nothing.
// Every other byte is its own code point (Latin-1).
constexpr std::array<char32_t, 32> kHighBlock = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

}  // namespace

char32_t windows1252CodePoint(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighBlock[byte - 0x80] : byte;
}

int windows1252Byte(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
    return static_cast<int>(codePoint);
  for (size_t i = 0; i < kHighBlock.size(); ++i) {
    if (kHighBlock[i] != 0 && kHighBlock[i] == codePoint) return static_cast<int>(0x80 + i);
  }
  return -1;
}

std::string upperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(detail::kUpper[static_cast<unsigned char>(c)]);
  return result;
}

std::string trim(std::string_view text) {
  return std::string(trimmedView(text));
}

std::string_view trimmedView(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

void trimInPlace(std::string& text) {
  const std::string_view kept = trimmedView(text);
  if (kept.size() == text.size()) return;
  const auto start = static_cast<size_t>(kept.data() - text.data());
  text.erase(start + kept.size());
  text.erase(0, start);
}

int compareText(std::string_view a, std::string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  // Bytes that are the same are the same ignoring case: the names compared
  // (in lookups, mostly equal; in sorts, past a shared prefix) are passed
  // eight bytes at a time up to the first word that differs.
  size_t i = 0;
  for (; i + 8 <= common; i += 8) {
    std::uint64_t wordA;
    std::uint64_t wordB;
    std::memcpy(&wordA, a.data() + i, 8);
    std::memcpy(&wordB, b.data() + i, 8);
    if (wordA != wordB) break;
  }
  for (; i < common; ++i) {
    const int ua = detail::kUpper[static_cast<unsigned char>(a[i])];
    const int ub = detail::kUpper[static_cast<unsigned char>(b[i])];
    if (ua != ub) return ua - ub;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::uint64_t textSortKey(std::string_view text) {
  std::uint64_t key = 0;
  for (size_t i = 0; i < 8; ++i) {
    const unsigned byte = i < text.size() ? upperChar(static_cast<unsigned char>(text[i])) : 0;
    key = (key << 8) | byte;
  }
  return key;
}

bool sameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && compareText(a, b) == 0;
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string joinLinesCrLf(const std::vector<std::string>& lines) {
  size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

bool hasUrlScheme(std::string_view link) {
  const size_t colon = link.find(':');
  if (colon == std::string_view::npos || colon == 0 ||
      std::isalpha(static_cast<unsigned char>(link[0])) == 0)
    return false;
  return std::all_of(link.begin(), link.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
  });
}

}  // namespace platform
