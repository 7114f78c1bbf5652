#include "config-ui/translation_table.h"

#include <QString>
#include <set>

#include "config-ui/ansi_text.h"
#include "lang/language_center.h"
#include "platform/text.h"

namespace vantro {
namespace {

std::string stripLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  return line;
}

[[noreturn]] void fail(size_t lineNumber, const std::string& what) {
  throw ETranslationTable("line " + std::to_string(lineNumber) + ": " + what);
}

}  // namespace

TranslationTable parseTranslationTable(std::string_view utf8) {
  TranslationTable table;
  std::set<std::string> seen;
  size_t lineNumber = 0;
  size_t start = 0;
  while (start < utf8.size()) {
    size_t end = utf8.find('\n', start);
    if (end == std::string_view::npos) end = utf8.size();
    std::string line = stripLineEnd(std::string(utf8.substr(start, end - start)));
    start = end + 1;
    ++lineNumber;
    if (platform::trim(line).empty() || line.front() == '#') continue;
    size_t equals = line.find('=');
    if (equals == std::string::npos) fail(lineNumber, "expected ID=text");
    std::string id = platform::trim(line.substr(0, equals));
    std::string text = toAnsi(QString::fromUtf8(line.substr(equals + 1)));
    if (id == "LangID") {
      table.LangID = text;
    } else if (id == "LanguageName") {
      table.LanguageName = text;
    } else {
      if (!seen.insert(platform::upperCase(id)).second) fail(lineNumber, "repeated ID " + id);
      table.rows.emplace_back(id, text);
    }
  }
  if (table.LangID.empty() || table.LanguageName.empty())
    throw ETranslationTable("LangID and LanguageName are required");
  return table;
}

void writeTranslation(const TranslationTable& table, const std::vector<std::string>& knownIDs,
                      const std::string& fileName) {
  std::set<std::string> known;
  for (const std::string& id : knownIDs) known.insert(platform::upperCase(id));
  lang::TCustomLanguageCenter center;
  lang::TLanguageSet& language = center.AddLanguage(table.LangID, table.LanguageName);
  for (const auto& [id, text] : table.rows) {
    if (known.count(platform::upperCase(id)) == 0)
      throw ETranslationTable("unknown string ID " + id);
    center.AddString(id, "", text);
  }
  center.SaveToFile(&language, fileName,
                    lang::TCustomLanguageCenter::kPartText | lang::TCustomLanguageCenter::kPartID);
}

}  // namespace vantro
