#include "lang/language_table.h"

#include <vector>

#include "lang/language_center.h"
#include "platform/text.h"

namespace lang {
namespace {

[[noreturn]] void fail(int line, const std::string& what) {
  throw ETableError("line " + std::to_string(line) + ": " + what);
}

char toWindows1252(char32_t code, int line) {
  const int byte = platform::windows1252Byte(code);
  if (byte >= 0) return static_cast<char>(byte);
  fail(line,
       "character U+" + std::to_string(static_cast<unsigned>(code)) + " has no Windows-1252 byte");
}

struct Entry {
  std::string key;
  std::string value;
  int line;
};

std::vector<Entry> parseTable(std::string_view table) {
  std::vector<Entry> entries;
  int number = 0;
  for (const std::string& raw : platform::splitLines(table)) {
    ++number;
    const std::string line = platform::trim(raw);
    if (line.empty() || line[0] == '#') continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) fail(number, "expected ID=Text");
    entries.push_back({platform::trim(line.substr(0, equals)),
                       utf8ToWindows1252(line.substr(equals + 1), number), number});
  }
  return entries;
}

}  // namespace

std::string utf8ToWindows1252(std::string_view text, int line) {
  std::string result;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) fail(line, "malformed UTF-8");
    char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) fail(line, "malformed UTF-8");
      code = (code << 6) | (next & 0x3F);
    }
    result += toWindows1252(code, line);
    i += static_cast<size_t>(extra) + 1;
  }
  return result;
}

TLanguageSet& AddLanguageFromTable(TCustomLanguageCenter& center, std::string_view table) {
  const std::vector<Entry> entries = parseTable(table);
  std::string langID, name;
  std::vector<int> seenAt(static_cast<size_t>(center.StringCount()), 0);
  for (const Entry& entry : entries) {
    if (entry.key == "@LangID") langID = entry.value;
    if (entry.key == "@LanguageName") name = entry.value;
    if (entry.key[0] == '@') continue;
    const int index = center.IndexOfString(entry.key);
    if (index < 0) fail(entry.line, "unknown string ID " + entry.key);
    if (seenAt[index] != 0) fail(entry.line, "string ID " + entry.key + " repeated");
    seenAt[index] = entry.line;
  }
  if (langID.empty() || name.empty())
    throw ETableError("the table names no @LangID or @LanguageName");
  for (size_t i = 0; i < seenAt.size(); ++i) {
    if (seenAt[i] == 0)
      throw ETableError("string ID " + center.StringIDs(static_cast<int>(i)) +
                        " is not translated");
  }
  TLanguageSet& language = center.AddLanguage(langID, name);
  for (const Entry& entry : entries) {
    if (entry.key[0] != '@') language.SetString(center.IndexOfString(entry.key), entry.value);
  }
  return language;
}

}  // namespace lang
